// Shapefile conversions through the real KAVRO with the shipped scripts and
// the bundled samples: accuracy, the report lines, what is written beside the
// output, and memory on a large file.
#include "KavroProgram.h"
#include "ShapeTestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace shapetest;
using namespace kavrotest;

namespace {

constexpr double kTenthMillimetre = 1e-4; // metres

struct ControlPoint {
    std::string label;
    double gboE, gboN, utmE, utmN; // utm: the series evaluation of the chain
};

// Reference points, Gauss-Boaga West and UTM zone 32 on ETRS89, from an
// independent evaluation of the same chain (see tests/data).
std::vector<ControlPoint> controlPoints() {
    std::ifstream in(std::string(KAVRO_TEST_DATA_DIR) +
                     "/gbo_control_points.csv");
    std::vector<ControlPoint> points;
    std::string line;
    std::getline(in, line); // label,gbo_e,gbo_n,utm_e,utm_n,series_utm_e,...
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::vector<std::string> f;
        for (std::string field; std::getline(fields, field, ',');)
            f.push_back(field);
        if (f.size() == 7)
            points.push_back({f[0], std::stod(f[1]), std::stod(f[2]),
                              std::stod(f[5]), std::stod(f[6])});
    }
    return points;
}

class ShapefileRunTest : public KavroProgramTest {
  protected:
    void SetUp() override {
        KavroProgramTest::SetUp();
        fs::create_directories(root_ / "in");
        fs::create_directories(root_ / "out");
    }

    static fs::path scriptDir() {
        return fs::path(KAVRO_ENGINE_DIR) / "script";
    }
    std::string in(const std::string &name) const {
        return (root_ / "in" / name).string();
    }
    std::string out(const std::string &name) const {
        return (root_ / "out" / name).string();
    }

    KavroRun kavro(const std::string &input, const std::string &output,
                   const std::string &script) const {
        return run({"-FT", "SHP", "-IF", input, "-OF", output, "-TS", script});
    }
    std::string script(const char *name) const {
        return (scriptDir() / name).string();
    }
    // A script of the test's own beside the grammar.
    std::string testScript(const std::string &name, const std::string &body) {
        return writeScript(name, "<Description>test</Description>\n" + body);
    }
};

TEST_F(ShapefileRunTest, SamplesReproduceTheControlPoints) {
    const std::vector<ControlPoint> points = controlPoints();
    ASSERT_EQ(points.size(), 5u);
    const fs::path samples = fs::path(KAVRO_SOURCE_DIR) / "data/samples";
    struct Form {
        const char *prefix, *script;
        double shiftE, shiftN;
    } const forms[] = {
        {"gbo_", "GBO-UTM32ETRS89-VLM.xml", 0, 0},
        {"gboshift_", "GBOSHIFT-UTM32ETRS89-VLM.xml", 1500000, 5000000},
    };
    for (const Form &form : forms)
        for (const char *layer : {"points", "lines", "polygons"}) {
            const std::string name = std::string(form.prefix) + layer;
            SCOPED_TRACE(name);
            const std::string input = (samples / (name + ".shp")).string();
            const std::string output = out(name + "_utm.shp");
            const KavroRun run = kavro(input, output, script(form.script));
            ASSERT_EQ(
                run.reportLines(),
                std::vector<std::string>{input + " converted to " + output});
            EXPECT_EQ(readFile(out(name + "_utm.dbf")),
                      readFile(samples / (name + ".dbf")));
            EXPECT_EQ(readFile(out(name + "_utm.cpg")), "UTF-8");

            const Shapefile before = readShapefile(input);
            const Shapefile after = readShapefile(output);
            ASSERT_EQ(after.shapes.size(), before.shapes.size());
            std::vector<int> seen(points.size());
            for (std::size_t s = 0; s < before.shapes.size(); ++s) {
                const Shape &a = before.shapes[s];
                const Shape &b = after.shapes[s];
                ASSERT_EQ(b.x.size(), a.x.size());
                EXPECT_EQ(b.partStarts, a.partStarts);
                for (std::size_t v = 0; v < a.x.size(); ++v)
                    for (std::size_t p = 0; p < points.size(); ++p) {
                        if (std::abs(a.x[v] + form.shiftE - points[p].gboE) >
                                1e-3 ||
                            std::abs(a.y[v] + form.shiftN - points[p].gboN) >
                                1e-3)
                            continue;
                        ++seen[p];
                        SCOPED_TRACE(points[p].label);
                        EXPECT_NEAR(b.x[v], points[p].utmE, kTenthMillimetre);
                        EXPECT_NEAR(b.y[v], points[p].utmN, kTenthMillimetre);
                    }
            }
            for (std::size_t p = 0; p < points.size(); ++p)
                EXPECT_GT(seen[p], 0) << points[p].label << " not in the file";
        }
}

TEST_F(ShapefileRunTest, HeaderBoundsAreThoseOfTheConvertedPoints) {
    writeShapefile(in("p.shp"), SHPT_POINT,
                   {point(1664097.77, 5103702.47), point(1605000, 5060000),
                    point(1770000, 5214000)});
    writeFile(root_ / "in/p.dbf", "table");
    kavro(in("p.shp"), out("p.shp"), script("GBO-UTM32ETRS89-VLM.xml"));
    const Shapefile result = readShapefile(out("p.shp"));
    ASSERT_EQ(result.shapes.size(), 3u);
    EXPECT_NEAR(result.shapes[0].x[0], 664066.675693, kTenthMillimetre);
    EXPECT_EQ(result.minBound[0], result.shapes[1].x[0]);
    EXPECT_EQ(result.minBound[1], result.shapes[1].y[0]);
    EXPECT_EQ(result.maxBound[0], result.shapes[2].x[0]);
    EXPECT_EQ(result.maxBound[1], result.shapes[2].y[0]);
}

// The chain is given z = 0 for every vertex, and whatever it makes of z is
// dropped: here x' = x + z and z' = z + 1000, so a Z value that reached the
// chain would move x, and one taken back would change Z.
TEST_F(ShapefileRunTest, KeepsZAndMAndGivesTheChainZeroHeights) {
    const std::string zIntoX = testScript(
        "zx.xml", "<Transformation Name=\"z into x\">\n"
                  "<AffineGeneralParametricTransformation>"
                  "<A0>10</A0><A1>1</A1><A3>1</A3><B2>1</B2><C0>1000</C0>"
                  "<C3>1</C3></AffineGeneralParametricTransformation>"
                  "</Transformation>\n");
    const Shape line{SHPT_ARCZ,          {0, 2},   {}, {1, 2, 3}, {4, 5, 6},
                     {250, -7.5, 0.125}, {1, 2, 3}};
    writeShapefile(in("z.shp"), SHPT_ARCZ, {line});
    writeFile(root_ / "in/z.dbf", "table");
    const KavroRun run = kavro(in("z.shp"), out("z.shp"), zIntoX);
    EXPECT_EQ(run.reportLines(),
              std::vector<std::string>{in("z.shp") + " converted to " +
                                       out("z.shp")});
    const Shapefile result = readShapefile(out("z.shp"));
    ASSERT_EQ(result.shapes.size(), 1u);
    Shape expected = normalized(line);
    expected.x = {11, 12, 13};
    EXPECT_EQ(result.shapes[0], expected);
    EXPECT_EQ(result.minBound[2], -7.5);
    EXPECT_EQ(result.maxBound[2], 250);
}

TEST_F(ShapefileRunTest, ReportLinesOfShapefiles) {
    writeShapefile(in("nodbf.shp"), SHPT_POINT, {point(1, 2)});
    writeShapefile(in("empty.shp"), SHPT_POINT, {});
    writeShapefile(in("same.shp"), SHPT_POINT, {point(1, 2)});
    writeFile(root_ / "in/same.dbf", "table");
    const std::string identity = testScript("identity.xml", "");
    struct Case {
        std::string input, output, report;
        bool outputWritten;
    } const cases[] = {
        {in("nodbf.shp"), out("nodbf.shp"),
         in("nodbf.shp") + " conversion failed! (Unable to copy the "
                           "attribute table: No such file or directory)",
         true},
        {in("empty.shp"), out("empty.shp"),
         in("empty.shp") + " conversion failed! (Empty shape file)", false},
        {in("same.shp"), (root_ / "out/../in/same.shp").string(),
         in("same.shp") + " conversion failed! (Output shape file is the "
                          "input shape file; it was left untouched)",
         false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.input);
        const KavroRun run = kavro(c.input, c.output, identity);
        EXPECT_EQ(run.reportLines(), std::vector<std::string>{c.report});
        const std::string base = c.output.substr(0, c.output.size() - 4);
        const bool written =
            c.output != (root_ / "out/../in/same.shp").string() &&
            fs::exists(base + ".shp") && fs::exists(base + ".shx");
        EXPECT_EQ(written, c.outputWritten);
    }
    EXPECT_EQ(readShapefile(in("same.shp")).shapes.size(), 1u);
}

// Five million vertices convert in memory that does not grow with the file:
// one shape is held at a time. The figure is the child's peak resident size
// as the kernel reports it to its parent.
TEST_F(ShapefileRunTest, ConvertsFiveMillionVerticesInConstantMemory) {
    if (std::getenv("KAVRO_SKIP_MEMORY_TESTS"))
        GTEST_SKIP() << "KAVRO_SKIP_MEMORY_TESTS is set";
    constexpr int kShapes = 5000;
    constexpr int kVerticesPerShape = 1000;
    {
        ShpHandle handle(SHPCreate(in("big.shp").c_str(), SHPT_ARC));
        ASSERT_TRUE(handle);
        std::vector<double> x(kVerticesPerShape), y(kVerticesPerShape);
        for (int s = 0; s < kShapes; ++s) {
            for (int v = 0; v < kVerticesPerShape; ++v) {
                x[v] = 1600000 + s * 30 + v * 0.03;
                y[v] = 5050000 + s * 30 + v * 0.01;
            }
            ShpObject line(SHPCreateSimpleObject(SHPT_ARC, kVerticesPerShape,
                                                 x.data(), y.data(), nullptr));
            ASSERT_GE(SHPWriteObject(handle.get(), -1, line.get()), 0);
        }
    }
    writeFile(root_ / "in/big.dbf", "table");
    const KavroRun run =
        kavro(in("big.shp"), out("big.shp"), script("GBO-UTM32ETRS89-VLM.xml"));
    EXPECT_EQ(run.reportLines(),
              std::vector<std::string>{in("big.shp") + " converted to " +
                                       out("big.shp")});
    EXPECT_LT(run.peakResidentKiB, 30 * 1024) << "peak resident size in KiB";
    RecordProperty("PeakResidentKiB", std::to_string(run.peakResidentKiB));
    EXPECT_EQ(fs::file_size(out("big.shp")), fs::file_size(in("big.shp")));
}

} // namespace
