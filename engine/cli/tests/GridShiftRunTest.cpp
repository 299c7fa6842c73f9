// NTv2 grid shifts through the real KAVRO: Debian's BETA2007 grid on a text
// file and on a shapefile, a point outside the grid failing its file, and a
// script whose grid is missing.
#include "KavroProgram.h"
#include "ShapeTestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace kavrotest;

namespace {

const std::string kBeta = "/usr/share/proj/BETA2007.gsb";
constexpr double kEightDecimals = 0.6e-8; // degrees, the output's rounding

// Degrees in and out around the grid shift.
std::string gridScript(const std::string &grid) {
    return R"(  <Description>BETA2007</Description>
  <Transformation Name="to radians">
    <UnitsConversion><In>DecimalDegree</In><Out>Radian</Out></UnitsConversion>
  </Transformation>
  <Transformation Name="DHDN to ETRS89">
    <NTv2GridShift>
      <GridFile>)" +
           grid + R"(</GridFile>
      <Direction>Forward</Direction>
    </NTv2GridShift>
  </Transformation>
  <Transformation Name="to degrees">
    <UnitsConversion><In>Radian</In><Out>DecimalDegree</Out></UnitsConversion>
  </Transformation>
)";
}

struct Reference {
    double lon, lat, outLon, outLat;
};

// The first forward values that PROJ computed inside BETA2007.
std::vector<Reference> betaReference(std::size_t count) {
    std::ifstream data(KAVRO_SOURCE_DIR
                       "/engine/operations/tests/data/ntv2/BETA2007.txt");
    std::vector<Reference> points;
    for (std::string line; points.size() < count && std::getline(data, line);) {
        std::istringstream fields(line);
        Reference r{};
        std::string forward;
        if (line[0] == '#' || !(fields >> r.lon >> r.lat >> forward) ||
            forward == "outside")
            continue;
        r.outLon = std::stod(forward);
        fields >> r.outLat;
        points.push_back(r);
    }
    return points;
}

class GridShiftRunTest : public KavroProgramTest {
  protected:
    void SetUp() override {
        KavroProgramTest::SetUp();
        ASSERT_TRUE(fs::exists(kBeta))
            << kBeta << " is missing: scripts/deps.sh installs proj-data";
        script_ = writeScript("beta.xml", gridScript("BETA2007.gsb"));
    }

    KavroRun kavro(std::vector<std::string> args) const {
        args.insert(args.end(), {"-TS", script_});
        return run(args);
    }

    std::string script_;
};

} // namespace

TEST_F(GridShiftRunTest, ShiftsATextFileAsProjDoes) {
    const std::vector<Reference> points = betaReference(50);
    ASSERT_EQ(points.size(), 50u);
    std::ostringstream text;
    text.precision(17);
    for (std::size_t i = 0; i < points.size(); ++i)
        text << points[i].lon << ' ' << points[i].lat << " 12.5 P" << i << '\n';
    writeFile(root_ / "in.txt", text.str());
    const KavroRun run =
        kavro({"-FT", "TXT", "-IF", path("in.txt"), "-OF", path("out.txt")});
    EXPECT_EQ(run.lines(),
              (std::vector<std::string>{"Script description:BETA2007",
                                        path("in.txt") + " converted to " +
                                            path("out.txt")}));
    const std::vector<std::string> lines =
        splitLines(readFile(root_ / "out.txt"));
    ASSERT_EQ(lines.size(), points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        std::istringstream fields(lines[i]);
        double lon = 0, lat = 0, z = 0;
        std::string label;
        fields >> lon >> lat >> z >> label;
        EXPECT_NEAR(lon, points[i].outLon, kEightDecimals) << lines[i];
        EXPECT_NEAR(lat, points[i].outLat, kEightDecimals) << lines[i];
        EXPECT_EQ(z, 12.5);
        EXPECT_EQ(label.substr(1), std::to_string(i)); // "P<i>"
    }
}

TEST_F(GridShiftRunTest, ShiftsAShapefileAsProjDoes) {
    const std::vector<Reference> points = betaReference(5);
    shapetest::Shape line{SHPT_ARC, {0}, {}, {}, {}, {}, {}};
    for (const Reference &r : points) {
        line.x.push_back(r.lon);
        line.y.push_back(r.lat);
    }
    shapetest::writeShapefile(path("lines.shp"), SHPT_ARC, {line, line});
    writeFile(root_ / "lines.dbf", "table");
    const KavroRun run =
        kavro({"-IF", path("lines.shp"), "-OF", path("out.shp")});
    EXPECT_EQ(run.lines().back(),
              path("lines.shp") + " converted to " + path("out.shp"));
    const shapetest::Shapefile out = shapetest::readShapefile(path("out.shp"));
    ASSERT_EQ(out.shapes.size(), 2u);
    for (const shapetest::Shape &shape : out.shapes) {
        ASSERT_EQ(shape.x.size(), points.size());
        for (std::size_t i = 0; i < points.size(); ++i) {
            EXPECT_NEAR(shape.x[i], points[i].outLon, 1e-11);
            EXPECT_NEAR(shape.y[i], points[i].outLat, 1e-11);
        }
    }
}

// A point outside the grid fails its file: a text file keeps the records
// before it, a shapefile leaves nothing behind, and the run goes on with the
// next file.
TEST_F(GridShiftRunTest, APointOutsideTheGridFailsItsFile) {
    fs::create_directories(root_ / "in");
    fs::create_directories(root_ / "out");
    writeFile(root_ / "in" / "a.txt",
              "10 50 0 A1\n11 51 0 A2\n\n 100 50 0 A3\n10 52 0 A4\n");
    writeFile(root_ / "in" / "b.txt", "10 50 0 B1\n");
    KavroRun run = kavro(
        {"-FT", "TXT", "-IWS", path("in"), "-F", "*.txt", "-OWS", path("out")});
    std::vector<std::string> lines = run.reportLines();
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, (std::vector<std::string>{
                         path("in") +
                             "/a.txt conversion failed! (point 3, on line "
                             "4, lies outside the grid " +
                             kBeta + ")",
                         path("in") + "/b.txt converted to " + path("out") +
                             "/b.txt"}));
    EXPECT_EQ(splitLines(readFile(root_ / "out" / "a.txt")).size(), 2u);

    shapetest::Shape line{SHPT_ARC, {0}, {}, {10, 11}, {50, 51}, {}, {}};
    shapetest::Shape outside{SHPT_ARC, {0}, {}, {10, 30}, {50, 51}, {}, {}};
    shapetest::writeShapefile(path("lines.shp"), SHPT_ARC,
                              {line, line, outside});
    writeFile(root_ / "lines.dbf", "table");
    run = kavro({"-IF", path("lines.shp"), "-OF", path("out.shp")});
    EXPECT_EQ(run.lines().back(),
              path("lines.shp") +
                  " conversion failed! (point 6, vertex 1 of "
                  "shape 2, lies outside the grid " +
                  kBeta + ")");
    EXPECT_FALSE(fs::exists(root_ / "out.shp"));
    EXPECT_FALSE(fs::exists(root_ / "out.shx"));
    EXPECT_FALSE(fs::exists(root_ / "out.dbf"));
}

// A grid that cannot be found stops the run at the script, naming the file
// and every folder searched; nothing is written.
TEST_F(GridShiftRunTest, AMissingGridRefusesTheScript) {
    script_ = writeScript("missing.xml", gridScript("nowhere.gsb"));
    writeFile(root_ / "in.txt", "10 50 0 A1\n");
    ::setenv("KAVRO_GRID_PATH", "/grids/one:/grids/two", 1);
    const KavroRun run =
        kavro({"-FT", "TXT", "-IF", path("in.txt"), "-OF", path("out.txt")});
    ::unsetenv("KAVRO_GRID_PATH");
    EXPECT_EQ(run.lines(),
              (std::vector<std::string>{
                  "Error in transformation script. Execution terminated"}));
    EXPECT_EQ(run.err.substr(0, run.err.find(" in ")),
              "Transformation script \"" + script_ +
                  "\", line 10, NTv2GridShift \"DHDN to ETRS89\": GridFile "
                  "\"nowhere.gsb\" is not found");
    for (const std::string &folder :
         {root_.string() + ", /grids/one, /grids/two, ",
          std::string("/KAVRO/grids, /usr/share/kavro/grids, "),
          std::string("/usr/share/proj\n")})
        EXPECT_NE(run.err.find(folder), std::string::npos) << run.err;
    EXPECT_EQ(run.status, 0);
    EXPECT_FALSE(fs::exists(root_ / "out.txt"));
}
