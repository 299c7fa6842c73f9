#include "Angles.h"
#include "GridSearch.h"
#include "NTv2GridFile.h"
#include "NTv2TestGrids.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

using kavrotest::contains;
using kavrotest::ntv2File;
using kavrotest::TestSubGrid;
namespace fs = std::filesystem;

namespace {

// PROJ's conversion from degrees to radians.
constexpr double kDegToRad = 0.017453292519943296;
constexpr double kArcSecond = kDegToRad / 3600; // radians

class GridFilesTest : public kavrotest::ScratchFolderTest {
  protected:
    std::string writeGrid(const std::string &name, const std::string &bytes) {
        kavrotest::writeFile(dir_ / name, bytes);
        return path(name);
    }
};

} // namespace

// Damaged and unsupported files are refused with the file's name and the
// problem, never read past their end.
TEST_F(GridFilesTest, RefusesDamagedFiles) {
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
    const NTv2ReadResult missing = readNTv2GridFile((dir_ / "no").string());
    EXPECT_TRUE(contains(missing.error, "cannot be opened: No such file"));
    EXPECT_TRUE(
        contains(readNTv2GridFile(dir_.string()).error, "is a directory"));
}

// Node order (south-east first, rows east to west), west-positive
// longitudes and the byte order: both byte orders give the same grid, and
// each node holds its own record's shift.
TEST_F(GridFilesTest, ReadsNodesInPlaceInBothByteOrders) {
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

TEST_F(GridFilesTest, FindsTheFirstRegularFile) {
    fs::create_directories(dir_ / "a" / "g.gsb"); // a folder of that name
    fs::create_directories(dir_ / "b");
    fs::create_directories(dir_ / "c");
    kavrotest::writeFile(dir_ / "b" / "g.gsb", "x");
    kavrotest::writeFile(dir_ / "c" / "g.gsb", "x");
    const std::vector<std::string> folders = {
        (dir_ / "a").string(), (dir_ / "b").string(), (dir_ / "c").string()};
    GridLocation found = findGridFile("g.gsb", folders);
    EXPECT_EQ(found.path, (dir_ / "b" / "g.gsb").string());
    EXPECT_EQ(found.searched.size(), 2u);
    found = findGridFile("h.gsb", folders);
    EXPECT_EQ(found.path, "");
    EXPECT_EQ(found.searched, folders);
    found = findGridFile((dir_ / "c" / "g.gsb").string(), folders);
    EXPECT_EQ(found.path, (dir_ / "c" / "g.gsb").string());
    EXPECT_TRUE(found.searched.empty());
    EXPECT_EQ(folderOf("script.xml"), ".");
    EXPECT_EQ(folderOf("/x/y/script.xml"), "/x/y");
    EXPECT_FALSE(runningProgramFolder().empty());
}

// A longitude given on the other side of the antimeridian lies a turn away:
// beyond the tolerance it is taken 2 pi further, within it it stays.
TEST(GridEdges, LongitudesWrapOnlyBeyondTheTolerance) {
    const double low = 3.1, high = 3.2, epsilon = 1e-5;
    const struct {
        double lon;
        int turns; // east
    } cases[] = {
        {3.15, 0},                 // inside
        {low - 0.5 * epsilon, 0},  // within the tolerance
        {high + 0.5 * epsilon, 0}, // likewise
        {low - 2 * epsilon, 1},    // beyond it
        {-3.1, 1},
        {3.25, -1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.lon);
        EXPECT_EQ(wrapLongitude(c.lon, low, high, epsilon),
                  c.lon + c.turns * kTwoPi);
    }

    // A sub-grid takes a point across the antimeridian, with its tolerance.
    NTv2SubGrid grid;
    grid.west = low, grid.east = high, grid.south = 0, grid.north = 0.1;
    grid.resX = grid.resY = 0.5; // edgeTolerance() = 1e-5
    EXPECT_EQ(grid.edgeTolerance(), epsilon);
    EXPECT_TRUE(grid.contains(3.15 - kTwoPi, 0.05));
    EXPECT_TRUE(grid.contains(high + 0.5 * epsilon, 0.05));
    EXPECT_FALSE(grid.contains(high + 2 * epsilon, 0.05));
    EXPECT_NEAR(grid.offsetFromWest(3.15 - kTwoPi, epsilon), 0.05, 1e-15);
}
