#include "NTv2GridShift.h"
#include "ChainStatus.h"
#include "GridSearch.h"
#include "NTv2GridFile.h"
#include "NTv2TestGrids.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>

using kavrotest::ntv2File;
using kavrotest::TestSubGrid;
namespace fs = std::filesystem;

namespace {

// cct's own conversions between degrees and radians.
constexpr double kDegToRad = 0.017453292519943296;
constexpr double kRadToDeg = 57.295779513082321;
constexpr double kArcSecond = kDegToRad / 3600; // radians
constexpr double kProjAgreement = 1e-11;        // degrees

testing::AssertionResult contains(const std::string &text,
                                  const std::string &part) {
    if (text.find(part) != std::string::npos)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << '"' << part << "\" not in: " << text;
}

class NTv2Test : public testing::Test {
  protected:
    void SetUp() override { folder_ = kavrotest::freshFolder("kavro-ntv2-"); }
    void TearDown() override { kavrotest::removeFolder(folder_); }

    std::string writeGrid(const std::string &name, const std::string &bytes) {
        kavrotest::writeFile(folder_ / name, bytes);
        return (folder_ / name).string();
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

    fs::path folder_;
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

// Damaged and unsupported files are refused with the file's name and the
// problem, never read past their end.
TEST_F(NTv2Test, RefusesDamagedFiles) {
    const std::string good = ntv2File({TestSubGrid{}});
    TestSubGrid lying;
    lying.gsCount = static_cast<std::uint32_t>(lying.columns() * 3);
    TestSubGrid nanExtent;
    nanExtent.southSeconds = std::nan("");
    TestSubGrid hugeExtent;
    hugeExtent.southSeconds = -1e300;
    TestSubGrid reversed;
    std::swap(reversed.west, reversed.east);
    TestSubGrid nanShift;
    nanShift.shift = [](int c, int r, float &lat, float &lon) {
        lat = c == 2 && r == 3 ? std::nanf("") : 1.0f;
        lon = 0;
    };
    std::string noSubName = good;
    noSubName.replace(176, 8, "SUBNAME ");
    struct Case {
        const char *name;
        std::string bytes;
        const char *problem;
    };
    const Case cases[] = {
        {"empty", "", "is too short for an NTv2 grid"},
        {"header cut", good.substr(0, 100), "is too short"},
        {"sub-grid header cut", good.substr(0, 176 + 50),
         "ends early, in the header of sub-grid 1 of 1"},
        {"nodes cut", good.substr(0, good.size() - 40),
         "ends early, in the nodes of sub-grid \"GRID\""},
        {"GS_TYPE", ntv2File({TestSubGrid{}}, false, "MINUTES"),
         "has GS_TYPE \"MINUTES\"; only SECONDS is supported"},
        {"lying GS_COUNT", ntv2File({lying}),
         "has GS_COUNT 15 in sub-grid \"GRID\", which does not match its 5 "
         "columns and 5 rows"},
        {"NaN extent", ntv2File({nanExtent}), "has inconsistent extents"},
        {"huge extent", ntv2File({hugeExtent}), "has inconsistent extents"},
        {"west of east", ntv2File({reversed}), "has inconsistent extents"},
        {"NaN shift", ntv2File({nanShift}),
         "has a shift that is not a finite number in sub-grid \"GRID\""},
        {"no SUB_NAME", noSubName, "has no SUB_NAME record"},
        {"no sub-grid", ntv2File({}), "holds no sub-grid"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = writeGrid("bad.gsb", c.bytes);
        const NTv2ReadResult read = readNTv2GridFile(path);
        EXPECT_EQ(read.grids, nullptr);
        EXPECT_TRUE(contains(read.error,
                             "the grid file \"" + path + "\" " + c.problem));
    }
    const NTv2ReadResult missing = readNTv2GridFile((folder_ / "no").string());
    EXPECT_TRUE(contains(missing.error, "cannot be opened: No such file"));
    EXPECT_TRUE(
        contains(readNTv2GridFile(folder_.string()).error, "is a directory"));
}

// Node order (south-east first, rows east to west), west-positive
// longitudes and the byte order: both byte orders give the same grid, and
// each node holds its own record's shift.
TEST_F(NTv2Test, ReadsNodesInPlaceInBothByteOrders) {
    TestSubGrid g;
    g.shift = [](int c, int r, float &lat, float &lon) {
        lat = static_cast<float>(10 * r + c);
        lon = static_cast<float>(-(100 * r + c));
    };
    const NTv2ReadResult little =
        readNTv2GridFile(writeGrid("le.gsb", ntv2File({g}, false)));
    const NTv2ReadResult big =
        readNTv2GridFile(writeGrid("be.gsb", ntv2File({g}, true)));
    ASSERT_TRUE(little.grids) << little.error;
    ASSERT_TRUE(big.grids) << big.error;
    EXPECT_FALSE(little.grids->bigEndian);
    EXPECT_TRUE(big.grids->bigEndian);
    const NTv2SubGrid &a = little.grids->grids.at(0);
    const NTv2SubGrid &b = big.grids->grids.at(0);
    EXPECT_EQ(a.shifts, b.shifts);
    EXPECT_EQ(a.columns, 5);
    EXPECT_EQ(a.rows, 5);
    EXPECT_NEAR(a.west, 10 * kDegToRad, 1e-15);
    EXPECT_NEAR(a.east, 11 * kDegToRad, 1e-15);
    for (int r = 0; r < a.rows; ++r)
        for (int c = 0; c < a.columns; ++c) {
            double dLon = 0, dLat = 0;
            ASSERT_TRUE(a.interpolate(c * a.resX, r * a.resY, dLon, dLat));
            EXPECT_NEAR(dLat, static_cast<float>((10 * r + c) * kArcSecond),
                        1e-18);
            EXPECT_NEAR(dLon, static_cast<float>(-(100 * r + c) * kArcSecond),
                        1e-18);
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
    auto reverse = shift((folder_ / "smooth.gsb").string(), "Reverse");
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
                                     (folder_ / "alone.gsb").string()));

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
    auto b = shift((folder_ / "." / "g.gsb").string(), "Reverse");
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

TEST(GridSearch, FoldersInOrder) {
    using Env = std::map<std::string, std::string>;
    struct Case {
        const char *name;
        Env env;
        std::vector<std::string> folders;
    };
    const Case cases[] = {
        {"everything set",
         {{"KAVRO_GRID_PATH", "/g1::/g2"},
          {"XDG_DATA_HOME", "/data"},
          {"HOME", "/home/u"},
          {"PROJ_DATA", "/p1:/p2"},
          {"PROJ_LIB", "/p3"}},
         {"/s", "/g1", "/g2", "/data/kavro/grids", "/prog/grids",
          "/usr/share/kavro/grids", "/p1", "/p2", "/p3", "/usr/share/proj"}},
        {"relative XDG_DATA_HOME, duplicates",
         {{"XDG_DATA_HOME", "data"},
          {"HOME", "/home/u"},
          {"KAVRO_GRID_PATH", "/s"},
          {"PROJ_LIB", "/usr/share/proj"}},
         {"/s", "/home/u/.local/share/kavro/grids", "/prog/grids",
          "/usr/share/kavro/grids", "/usr/share/proj"}},
        {"no HOME",
         {},
         {"/s", "/prog/grids", "/usr/share/kavro/grids", "/usr/share/proj"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const Env env = c.env;
        const auto lookup = [&env](const char *name) -> const char * {
            const auto found = env.find(name);
            return found == env.end() ? nullptr : found->second.c_str();
        };
        EXPECT_EQ(gridSearchFolders("/s", "/prog", lookup), c.folders);
    }
}

TEST_F(NTv2Test, FindsTheFirstRegularFile) {
    fs::create_directories(folder_ / "a" / "g.gsb"); // a folder of that name
    fs::create_directories(folder_ / "b");
    fs::create_directories(folder_ / "c");
    kavrotest::writeFile(folder_ / "b" / "g.gsb", "x");
    kavrotest::writeFile(folder_ / "c" / "g.gsb", "x");
    const std::vector<std::string> folders = {(folder_ / "a").string(),
                                              (folder_ / "b").string(),
                                              (folder_ / "c").string()};
    GridLocation found = findGridFile("g.gsb", folders);
    EXPECT_EQ(found.path, (folder_ / "b" / "g.gsb").string());
    EXPECT_EQ(found.searched.size(), 2u);
    found = findGridFile("h.gsb", folders);
    EXPECT_EQ(found.path, "");
    EXPECT_EQ(found.searched, folders);
    found = findGridFile((folder_ / "c" / "g.gsb").string(), folders);
    EXPECT_EQ(found.path, (folder_ / "c" / "g.gsb").string());
    EXPECT_TRUE(found.searched.empty());
    EXPECT_EQ(folderOf("script.xml"), ".");
    EXPECT_EQ(folderOf("/x/y/script.xml"), "/x/y");
    EXPECT_FALSE(runningProgramFolder().empty());
}
