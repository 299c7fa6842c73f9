#include "NTv2GridShift.h"
#include "ChainStatus.h"
#include "NTv2TestGrids.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>

using kavrotest::contains;
using kavrotest::ntv2File;
using kavrotest::TestSubGrid;
namespace fs = std::filesystem;

namespace {

// cct's own conversions between degrees and radians.
constexpr double kDegToRad = 0.017453292519943296;
constexpr double kRadToDeg = 57.295779513082321;
constexpr double kProjAgreement = 1e-11; // degrees

class NTv2Test : public kavrotest::ScratchFolderTest {
  protected:
    std::string writeGrid(const std::string &name, const std::string &bytes) {
        kavrotest::writeFile(dir_ / name, bytes);
        return path(name);
    }
    // The operation as the loader makes it, sharing this test's context.
    std::unique_ptr<NTv2GridShift> shift(const std::string &grid,
                                         const char *direction = "Forward") {
        auto op = std::make_unique<NTv2GridShift>();
        op->parameters().setParameter("GridFile", grid);
        op->parameters().setParameter("Direction", direction);
        context_.status = &status_;
        ParameterProblem problem;
        EXPECT_TRUE(op->acquire(context_, problem)) << problem.description;
        op->prepare();
        return op;
    }

    ChainStatus status_;
    LoadContext context_;
};

// Degrees in, degrees out, as cct takes and gives them; false when the
// operation refused the point.
bool apply(NTv2GridShift &op, ChainStatus &status, double lon, double lat,
           double &outLon, double &outLat, std::string *reason = nullptr) {
    Point p{{lon * kDegToRad, lat * kDegToRad}, 7};
    op.transform(p);
    if (status.failed()) {
        const std::string why = status.take();
        if (reason != nullptr)
            *reason = why;
        return false;
    }
    EXPECT_EQ(p.z, 7);
    outLon = p.x * kRadToDeg;
    outLat = p.y * kRadToDeg;
    return true;
}

} // namespace

// Reference: PROJ 9.1.1's cct on Debian's grids (tests/data/ntv2/README.md).
// Every stored point, both directions: PROJ's value within 1e-11 degrees,
// and a failure where PROJ reported one. Where PROJ's reverse returned a
// point that its own forward does not take back ("unconverged"), KAVRO
// reports the point as not converging instead.
TEST_F(NTv2Test, MatchesProjOnDebianGrids) {
    for (const char *grid :
         {"BETA2007", "ntf_r93", "CHENYX06_etrs", "nzgd2kgrid0005"}) {
        SCOPED_TRACE(grid);
        const std::string path =
            std::string("/usr/share/proj/") + grid + ".gsb";
        ASSERT_TRUE(fs::exists(path))
            << path << " is missing: scripts/deps.sh installs proj-data";
        auto forward = shift(path, "Forward");
        auto reverse = shift(path, "Reverse");
        std::ifstream data(std::string(KAVRO_TEST_DATA_DIR) + "/ntv2/" + grid +
                           ".txt");
        ASSERT_TRUE(data);
        std::map<std::string, int> counts;
        std::string line;
        while (std::getline(data, line)) {
            if (line.empty() || line[0] == '#')
                continue;
            std::istringstream fields(line);
            double lon = 0, lat = 0;
            fields >> lon >> lat;
            for (NTv2GridShift *op : {forward.get(), reverse.get()}) {
                SCOPED_TRACE(line +
                             (op == forward.get() ? " forward" : " reverse"));
                std::string word;
                fields >> word;
                double projLon = 0, projLat = 0, gotLon = 0, gotLat = 0;
                std::string reason;
                const bool converted =
                    apply(*op, status_, lon, lat, gotLon, gotLat, &reason);
                if (word == "outside") {
                    EXPECT_FALSE(converted);
                    ++counts["outside"];
                    continue;
                }
                if (word == "unconverged") {
                    // Either PROJ's guess, which KAVRO refuses, or a point
                    // just beyond the forward's tolerance, where both agree.
                    fields >> projLon >> projLat;
                    if (converted) {
                        EXPECT_NEAR(gotLon, projLon, kProjAgreement);
                        EXPECT_NEAR(gotLat, projLat, kProjAgreement);
                        ++counts["compared"];
                    } else {
                        EXPECT_TRUE(contains(reason, "does not converge in "
                                                     "the grid " +
                                                         path));
                        ++counts["unconverged"];
                    }
                    continue;
                }
                projLon = std::stod(word);
                fields >> projLat;
                ASSERT_TRUE(converted) << reason;
                EXPECT_NEAR(gotLon, projLon, kProjAgreement);
                EXPECT_NEAR(gotLat, projLat, kProjAgreement);
                ++counts["compared"];
            }
        }
        // The data holds all three kinds for every grid.
        EXPECT_GT(counts["compared"], 3000);
        EXPECT_GT(counts["outside"], 100);
        EXPECT_GT(counts["unconverged"], 100);
    }
}

// The serving grid: the first top-level grid that contains the point (with
// PROJ's tolerance), then the first child, then the grandchild. Each grid
// shifts by its own constant, so the shift tells which one served.
TEST_F(NTv2Test, PicksTheDeepestSubGrid) {
    auto grid = [](const char *name, const char *parent, double w, double s,
                   double e, double n, float latShift) {
        TestSubGrid g;
        g.name = name;
        g.parent = parent;
        g.west = w, g.south = s, g.east = e, g.north = n;
        g.lonInc = g.latInc = 0.125;
        g.shift = [latShift](int, int, float &lat, float &lon) {
            lat = latShift;
            lon = 0;
        };
        return g;
    };
    const std::string path = writeGrid(
        "tree.gsb",
        ntv2File({grid("A", "NONE", 10, 45, 12, 47, 1),
                  grid("B", "NONE", 11, 46, 13, 48, 2), // overlaps A
                  grid("A1", "A", 10.5, 45.5, 11.5, 46.5, 3),
                  grid("A1a", "A1", 10.75, 45.75, 11, 46, 4),
                  grid("A2", "A", 10.5, 45.5, 11.5, 46.5, 5), // A1 wins
                  grid("NONE", "XXX", 20, 20, 21, 21, 6)}));
    auto op = shift(path);
    const double tolerance = 0.25e-5; // degrees: (0.125 + 0.125) * 1e-5
    struct Case {
        double lon, lat;
        float latShift; // 0: outside every grid
    };
    const Case cases[] = {
        {10.2, 45.2, 1},
        {11.9, 46.9, 1}, // in A and B: A comes first
        {12.5, 47.5, 2},
        {10.6, 45.6, 3},
        {10.8, 45.8, 4},
        {11 + 0.5 * tolerance, 45.8, 4}, // within the tolerance
        {11 + 2 * tolerance, 45.8, 3},   // beyond it: the parent
        {10.5 - 0.5 * tolerance, 46, 3},
        {20.5, 20.5, 6}, // a top-level grid named NONE
        {14, 46, 0},
        {13 + 2 * tolerance, 47, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.lon << ' ' << c.lat);
        double lon = 0, lat = 0;
        const bool converted = apply(*op, status_, c.lon, c.lat, lon, lat);
        EXPECT_EQ(converted, c.latShift != 0);
        if (converted) {
            EXPECT_NEAR((lat - c.lat) * 3600, c.latShift, 1e-6);
        }
    }
}

// The reverse takes back the forward, moves on to the neighbouring grid
// when an iterate leaves the one chosen at the input, and fails where the
// iteration cannot settle.
TEST_F(NTv2Test, ReverseIteration) {
    TestSubGrid smooth;
    smooth.shift = [](int c, int r, float &lat, float &lon) {
        lat = 3.0f + 0.7f * static_cast<float>(c * r);
        lon = -5.0f + 1.3f * static_cast<float>(c - r * r);
    };
    auto forward = shift(writeGrid("smooth.gsb", ntv2File({smooth})));
    auto reverse = shift((dir_ / "smooth.gsb").string(), "Reverse");
    for (const auto &[lon, lat] :
         {std::pair{10.3, 45.2}, {10.95, 45.95}, {10.01, 45.5}}) {
        SCOPED_TRACE(testing::Message() << lon << ' ' << lat);
        double fLon = 0, fLat = 0, rLon = 0, rLat = 0;
        ASSERT_TRUE(apply(*forward, status_, lon, lat, fLon, fLat));
        ASSERT_TRUE(apply(*reverse, status_, fLon, fLat, rLon, rLat));
        EXPECT_NEAR(rLon, lon, 1e-12 * kRadToDeg);
        EXPECT_NEAR(rLat, lat, 1e-12 * kRadToDeg);
    }

    // West-going shift of 20": the reverse of a point near the east edge of
    // the child A1 lies outside it, in its parent A.
    auto westward = [](const char *name, const char *parent, double w,
                       double e) {
        TestSubGrid g;
        g.name = name;
        g.parent = parent;
        g.west = w, g.east = e;
        g.shift = [](int, int, float &lat, float &lon) {
            lat = 0;
            lon = -20;
        };
        return g;
    };
    auto pair =
        shift(writeGrid("pair.gsb", ntv2File({westward("A", "NONE", 10, 12),
                                              westward("A1", "A", 10.5, 11)})),
              "Reverse");
    auto alone = shift(
        writeGrid("alone.gsb", ntv2File({westward("A1", "NONE", 10.5, 11)})),
        "Reverse");
    const double nearEdge = 11 - 10.0 / 3600;
    double lon = 0, lat = 0;
    ASSERT_TRUE(apply(*pair, status_, nearEdge, 45.5, lon, lat));
    EXPECT_NEAR(lon, nearEdge + 20.0 / 3600, 1e-9); // 20" in float
    std::string reason;
    EXPECT_FALSE(apply(*alone, status_, nearEdge, 45.5, lon, lat, &reason));
    EXPECT_TRUE(contains(reason, "does not converge in the grid " +
                                     (dir_ / "alone.gsb").string()));

    // A shift that grows as fast as the position: the iterates swing
    // between two points of the grid and never settle.
    TestSubGrid steep;
    steep.lonInc = steep.latInc = 1.0 / 3600;
    steep.east = 10 + 40.0 / 3600;
    steep.north = 45 + 4.0 / 3600;
    steep.shift = [](int c, int, float &lat, float &lon) {
        lat = 0;
        lon = static_cast<float>(c);
    };
    auto wild = shift(writeGrid("steep.gsb", ntv2File({steep})), "Reverse");
    EXPECT_FALSE(
        apply(*wild, status_, 10 + 20.0 / 3600, 45.0005, lon, lat, &reason));
    EXPECT_TRUE(contains(reason, "does not converge in the grid"));
    // The failed point is not left to pass for a result.
    Point p{{(10 + 20.0 / 3600) * kDegToRad, 45.0005 * kDegToRad}, 0};
    wild->transform(p);
    EXPECT_TRUE(std::isnan(p.x) && std::isnan(p.y));
    status_.take();
}

// Steps naming one file share it; a bad Direction or an empty GridFile is
// refused.
TEST_F(NTv2Test, AcquireSharesGridsAndRefusesBadParameters) {
    const std::string path = writeGrid("g.gsb", ntv2File({TestSubGrid{}}));
    auto a = shift(path);
    auto b = shift((dir_ / "." / "g.gsb").string(), "Reverse");
    EXPECT_EQ(a->grids(), b->grids());
    EXPECT_TRUE(b->reverse());
    struct Case {
        const char *grid, *direction, *problem;
    };
    const Case cases[] = {
        {" \n ", "Forward", "GridFile \"\" names no grid file"},
        {"g.gsb", "forward",
         "Direction \"forward\" is neither Forward nor "
         "Reverse"},
        {"/nowhere/g.gsb", "", "GridFile \"/nowhere/g.gsb\" is not found"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.problem);
        NTv2GridShift op;
        op.parameters().setParameter("GridFile", c.grid);
        op.parameters().setParameter("Direction", c.direction);
        ParameterProblem problem;
        EXPECT_FALSE(op.acquire(context_, problem));
        EXPECT_EQ(problem.description, c.problem);
    }
}
