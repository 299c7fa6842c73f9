// The shipped Italian scripts against PROJ on points over both Gauss-Boaga
// zones (tests/data/italy; its README has the commands), the round trips of
// each forward and reverse pair, and the grid step alone. The grid scripts
// run on the synthetic stand-in of the national grid, which PROJ was given
// under the same name.
#include "ItalianTestGrid.h"
#include "NTv2GridShift.h"
#include "TestFiles.h"
#include "TransformationScript.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr double kDegree = 0.017453292519943295;
// The shortened Gauss-Boaga form: this much less in E and in N.
constexpr double kShortE = 1500000, kShortN = 5000000;

// One line of a reference file: input and PROJ's output, metres (grid.txt:
// degrees, the reverse after the forward).
std::vector<std::vector<double>> reference(const std::string &name) {
    std::ifstream in(std::string(KAVRO_TEST_DATA_DIR) + "/italy/" + name);
    std::vector<std::vector<double>> rows;
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        std::vector<double> row;
        for (double value; fields >> value;)
            row.push_back(value);
        rows.push_back(row);
    }
    return rows;
}

class ItalianScriptsTest : public testing::Test {
  protected:
    void SetUp() override {
        folder_ = kavrotest::freshFolder("kavro italy ");
        kavrotest::writeFile(folder_ / kavrotest::kItalianGridName,
                             kavrotest::italianTestGrid());
        if (const char *old = std::getenv("KAVRO_GRID_PATH"))
            oldGridPath_ = old;
        ::setenv("KAVRO_GRID_PATH", folder_.c_str(), 1);
    }
    void TearDown() override {
        if (oldGridPath_.empty())
            ::unsetenv("KAVRO_GRID_PATH");
        else
            ::setenv("KAVRO_GRID_PATH", oldGridPath_.c_str(), 1);
        kavrotest::removeFolder(folder_);
    }

    // The script keeps a reference to its file name.
    struct Shipped {
        explicit Shipped(const std::string &name)
            : path(std::string(KAVRO_SOURCE_DIR) + "/data/script/" + name) {}
        std::string path;
        TransformationScript script{path};
    };

    // The shipped script, loaded; nullptr (and a failure) when it cannot be.
    static std::unique_ptr<Shipped> load(const std::string &name) {
        auto shipped = std::make_unique<Shipped>(name);
        if (!shipped->script.load()) {
            ADD_FAILURE() << name << " does not load";
            return nullptr;
        }
        return shipped;
    }

    // Converts (e, n) as a two-dimensional shapefile does: the height starts
    // at 0 and what the chain makes of it is dropped.
    static bool convert(const Shipped &shipped, double &e, double &n) {
        Point p{{e, n}, 0};
        const bool converted = shipped.script.transformPoint(p);
        e = p.x;
        n = p.y;
        return converted;
    }

    fs::path folder_;
    std::string oldGridPath_;
};

// Each script against PROJ's result for the same EPSG pair. The non-grid ones
// differ from PROJ by its exact transverse Mercator against the series and
// its inverse of the Helmert, which takes the transposed rotation; the grid
// ones by the series only.
TEST_F(ItalianScriptsTest, AgreeWithProj) {
    constexpr double kTolerance = 0.003; // metres
    struct Case {
        const char *script, *data;
        bool shortIn, shortOut; // the shortened form on that side
    };
    const Case cases[] = {
        {"GBO-UTM32ETRS89-VLM.xml", "west_1659_fwd.txt", false, false},
        {"GBOSHIFT-UTM32ETRS89-VLM.xml", "west_1659_fwd.txt", true, false},
        {"UTM32ETRS89-GBO-VLM.xml", "west_1659_rev.txt", false, false},
        {"UTM32ETRS89-GBOSHIFT-VLM.xml", "west_1659_rev.txt", false, true},
        {"GBOEAST-UTM33RDN2008-VLM.xml", "east_1659_fwd.txt", false, false},
        {"UTM33RDN2008-GBOEAST-VLM.xml", "east_1659_rev.txt", false, false},
        {"GBO-UTM32RDN2008-GRID-VLM.xml", "west_9734_fwd.txt", false, false},
        {"GBOSHIFT-UTM32RDN2008-GRID-VLM.xml", "west_9734_fwd.txt", true,
         false},
        {"UTM32RDN2008-GBO-GRID-VLM.xml", "west_9734_rev.txt", false, false},
        {"UTM32RDN2008-GBOSHIFT-GRID-VLM.xml", "west_9734_rev.txt", false,
         true},
        {"GBOEAST-UTM33RDN2008-GRID-VLM.xml", "east_9734_fwd.txt", false,
         false},
        {"UTM33RDN2008-GBOEAST-GRID-VLM.xml", "east_9734_rev.txt", false,
         false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.script);
        const auto script = load(c.script);
        const auto rows = reference(c.data);
        ASSERT_TRUE(script);
        ASSERT_GE(rows.size(), 200u) << c.data;
        double worst = 0;
        for (const std::vector<double> &row : rows) {
            ASSERT_EQ(row.size(), 4u);
            double e = row[0] - (c.shortIn ? kShortE : 0);
            double n = row[1] - (c.shortIn ? kShortN : 0);
            ASSERT_TRUE(convert(*script, e, n)) << row[0] << " " << row[1];
            e += c.shortOut ? kShortE : 0;
            n += c.shortOut ? kShortN : 0;
            worst = std::max(worst, std::hypot(e - row[2], n - row[3]));
            EXPECT_NEAR(e, row[2], kTolerance) << row[0] << " " << row[1];
            EXPECT_NEAR(n, row[3], kTolerance) << row[0] << " " << row[1];
        }
        RecordProperty(c.script, std::to_string(worst * 1000) + " mm");
    }
}

// Forward then reverse returns to the start: the transverse Mercator series
// there and back leave about a millimetre at 3 degrees from the central
// meridian, the Helmert step nothing.
TEST_F(ItalianScriptsTest, RoundTripsReturnToTheStart) {
    constexpr double kTolerance = 0.002; // metres
    struct Case {
        const char *forward, *reverse, *data;
        bool shortened;
    };
    const Case cases[] = {
        {"GBO-UTM32ETRS89-VLM.xml", "UTM32ETRS89-GBO-VLM.xml",
         "west_1659_fwd.txt", false},
        {"GBOSHIFT-UTM32ETRS89-VLM.xml", "UTM32ETRS89-GBOSHIFT-VLM.xml",
         "west_1659_fwd.txt", true},
        {"GBOEAST-UTM33RDN2008-VLM.xml", "UTM33RDN2008-GBOEAST-VLM.xml",
         "east_1659_fwd.txt", false},
        {"GBO-UTM32RDN2008-GRID-VLM.xml", "UTM32RDN2008-GBO-GRID-VLM.xml",
         "west_9734_fwd.txt", false},
        {"GBOSHIFT-UTM32RDN2008-GRID-VLM.xml",
         "UTM32RDN2008-GBOSHIFT-GRID-VLM.xml", "west_9734_fwd.txt", true},
        {"GBOEAST-UTM33RDN2008-GRID-VLM.xml",
         "UTM33RDN2008-GBOEAST-GRID-VLM.xml", "east_9734_fwd.txt", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.forward);
        const auto forward = load(c.forward);
        const auto reverse = load(c.reverse);
        ASSERT_TRUE(forward && reverse);
        double worst = 0;
        for (const std::vector<double> &row : reference(c.data)) {
            const double e0 = row[0] - (c.shortened ? kShortE : 0);
            const double n0 = row[1] - (c.shortened ? kShortN : 0);
            double e = e0, n = n0;
            ASSERT_TRUE(convert(*forward, e, n));
            ASSERT_TRUE(convert(*reverse, e, n));
            worst = std::max(worst, std::hypot(e - e0, n - n0));
            EXPECT_NEAR(e, e0, kTolerance) << row[0] << " " << row[1];
            EXPECT_NEAR(n, n0, kTolerance) << row[0] << " " << row[1];
        }
        RecordProperty(c.forward, std::to_string(worst * 1000) + " mm");
    }
}

// The grid step alone, both ways, against PROJ's hgridshift on the same file.
TEST_F(ItalianScriptsTest, GridStepMatchesProj) {
    constexpr double kTolerance = 1e-11; // degrees
    const auto rows = reference("grid.txt");
    ASSERT_GE(rows.size(), 400u);
    for (const bool reverse : {false, true}) {
        NTv2GridShift shift;
        shift.parameters().setParameter(
            "GridFile", (folder_ / kavrotest::kItalianGridName).string());
        shift.parameters().setParameter("Direction",
                                        reverse ? "Reverse" : "Forward");
        ChainStatus status;
        LoadContext context;
        context.status = &status;
        ParameterProblem problem;
        ASSERT_TRUE(shift.acquire(context, problem)) << problem.description;
        shift.prepare();
        for (const std::vector<double> &row : rows) {
            ASSERT_EQ(row.size(), 6u);
            const std::size_t in = reverse ? 2 : 0, out = reverse ? 4 : 2;
            Point p{{row[in] * kDegree, row[in + 1] * kDegree}, 0};
            shift.transform(p);
            ASSERT_FALSE(status.failed()) << status.take();
            EXPECT_NEAR(p.x / kDegree, row[out], kTolerance);
            EXPECT_NEAR(p.y / kDegree, row[out + 1], kTolerance);
        }
    }
}

// Each script names the systems its chain converts between, by the shipped
// projection files (read whole, as KAVRO writes them beside its outputs)
// and their OGC definitions.
TEST_F(ItalianScriptsTest, NameTheSystemsTheyConvertBetween) {
    struct System {
        const char *label, *name, *file;
    };
    const System west{"EPSG:3003", "Monte Mario / Italy zone 1", "gbo_west"},
        east{"EPSG:3004", "Monte Mario / Italy zone 2", "gbo_east"},
        shortened{"Gauss-Boaga West, shortened",
                  "Monte Mario / Italy zone 1, shortened", "gboshift_west"},
        etrs89{"EPSG:25832", "ETRS89 / UTM zone 32N", "utm_etrs89"},
        rdn32{"EPSG:7791", "RDN2008 / UTM zone 32N", "utm32_rdn2008"},
        rdn33{"EPSG:7792", "RDN2008 / UTM zone 33N", "utm33_rdn2008"};
    struct Case {
        const char *script;
        const System &source, &target;
    };
    const Case cases[] = {
        {"GBO-UTM32ETRS89-VLM.xml", west, etrs89},
        {"GBOSHIFT-UTM32ETRS89-VLM.xml", shortened, etrs89},
        {"UTM32ETRS89-GBO-VLM.xml", etrs89, west},
        {"UTM32ETRS89-GBOSHIFT-VLM.xml", etrs89, shortened},
        {"GBOEAST-UTM33RDN2008-VLM.xml", east, rdn33},
        {"UTM33RDN2008-GBOEAST-VLM.xml", rdn33, east},
        {"GBO-UTM32RDN2008-GRID-VLM.xml", west, rdn32},
        {"GBOSHIFT-UTM32RDN2008-GRID-VLM.xml", shortened, rdn32},
        {"UTM32RDN2008-GBO-GRID-VLM.xml", rdn32, west},
        {"UTM32RDN2008-GBOSHIFT-GRID-VLM.xml", rdn32, shortened},
        {"GBOEAST-UTM33RDN2008-GRID-VLM.xml", east, rdn33},
        {"UTM33RDN2008-GBOEAST-GRID-VLM.xml", rdn33, east},
    };
    const fs::path data = fs::path(KAVRO_SOURCE_DIR) / "data";
    for (const Case &c : cases) {
        SCOPED_TRACE(c.script);
        const auto shipped = load(c.script);
        ASSERT_TRUE(shipped);
        for (const auto &[named, expected] :
             {std::pair(shipped->script.sourceSystem(), &c.source),
              std::pair(shipped->script.targetSystem(), &c.target)}) {
            ASSERT_NE(named, nullptr);
            EXPECT_EQ(named->label, expected->label);
            EXPECT_EQ(named->name, expected->name);
            EXPECT_EQ(named->epsgCode,
                      expected == &shortened
                          ? 0
                          : std::stoi(std::string(expected->label).substr(5)));
            const std::string file = expected->file;
            EXPECT_EQ(named->esriWkt,
                      kavrotest::readFile(data / (file + ".prj")));
            EXPECT_EQ(named->ogcWkt,
                      kavrotest::readFile(data / (file + ".wkt")));
        }
    }
}

} // namespace
