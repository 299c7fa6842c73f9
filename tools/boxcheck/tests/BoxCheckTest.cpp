#include "BoxCheck.h"
#include "GeoPackageTestFiles.h"
#include "ShapeTestFiles.h"
#include "TestFiles.h"
#include "TestProgram.h"

#include <gtest/gtest.h>

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include <sys/stat.h>

namespace fs = std::filesystem;
using namespace shapetest;
using kavrotest::ProgramRun;
using kavrotest::readFile;
using kavrotest::RunOptions;
using kavrotest::runProgram;
using kavrotest::splitLines;

namespace {

// How the desktop reads the fourth line: "." and "," become blanks, the
// line is split at single blanks, and of every token but the last the first
// two that are numbers above 1000 are the values, as whole numbers.
std::vector<long long> readAsTheDesktop(std::string line) {
    for (char &c : line)
        if (c == '.' || c == ',')
            c = ' ';
    std::vector<std::string> tokens;
    std::size_t start = 0;
    for (std::size_t blank; (blank = line.find(' ', start)) != line.npos;
         start = blank + 1)
        tokens.push_back(line.substr(start, blank - start));
    tokens.push_back(line.substr(start));
    std::vector<long long> values;
    for (std::size_t i = 0; i + 1 < tokens.size() && values.size() < 2; ++i) {
        double v = 0;
        const auto &t = tokens[i];
        const auto [end, error] =
            std::from_chars(t.data(), t.data() + t.size(), v);
        if (error == std::errc() && end == t.data() + t.size() && v > 1000)
            values.push_back(static_cast<long long>(v));
    }
    return values;
}

class BoxCheckTest : public kavrotest::ScratchFolderTest {
  protected:
    std::string points(const std::string &name,
                       const std::vector<std::pair<double, double>> &xy) {
        std::vector<Shape> shapes;
        for (const auto &[x, y] : xy)
            shapes.push_back(point(x, y));
        const std::string file = path(name);
        writeShapefile(file, SHPT_POINT, shapes);
        return file;
    }
    // Runs the real boxcheck; one that blocks ends, and its test fails.
    ProgramRun check(const std::vector<std::string> &arguments) const {
        RunOptions options;
        options.timeLimit = std::chrono::seconds(20);
        return runProgram(BOXCHECK_EXE, arguments, dir_, {}, options);
    }
};

TEST_F(BoxCheckTest, WritesTheWholeReportForAFileInsideTheBox) {
    const std::string file =
        points("gbo.shp", {{1650000.25, 5100000.75}, {1700000, 5200000}});
    const ProgramRun r = check({file, "-YMIN", "2500000"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out,
              "boxcheck: the extent of a shapefile against a box\n"
              "File: " +
                  file +
                  "\n"
                  "Box Xmin: 1000000.00 Ymin: 2500000.00 Xmax: 2000000.00 "
                  "Ymax: 10000000.00\n"
                  "Extent Xmin: 1650000.25 Ymin: 5100000.75 end\n"
                  "The Shapefile extent IS INSIDE the given box\n"
                  "Extent Xmax: 1700000.00 Ymax: 5200000.00 end\n");
}

TEST_F(BoxCheckTest, AnswersFromRealFiles) {
    points("partly.shp", {{900000, 5100000}, {1100000, 5200000}});
    points("shortened.shp", {{105000, 60000}, {270000, 214000}});
    points("utm.shp", {{604970.2, 5059979.88}, {769966.46, 5213977.65}});
    points("low.shp", {{1650000, 2000000}, {1660000, 2400000}});
    writeShapefile((dir_ / "empty.shp").string(), SHPT_POINT, {});
    struct Case {
        const char *file;
        int status;
        const char *answer;
        std::vector<long long> desktopValues;
    } const cases[] = {
        {"partly.shp",
         3,
         "The Shapefile extent IS PARTIALLY INSIDE the given box",
         {900000, 5100000}},
        {"shortened.shp",
         4,
         "The Shapefile extent IS COMPLETELY OUTSIDE the given box",
         {105000, 60000}},
        {"utm.shp",
         4,
         "The Shapefile extent IS COMPLETELY OUTSIDE the given box",
         {604970, 5059979}},
        {"low.shp",
         4,
         "The Shapefile extent IS COMPLETELY OUTSIDE the given box",
         {1650000, 2000000}},
        {"missing.shp", 0, "Impossible to read the shape file's extent", {}},
        {"empty.shp", 0, "Impossible to read the shape file's extent", {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        const ProgramRun r =
            check({(dir_ / c.file).string(), "-YMIN", "2500000"});
        EXPECT_EQ(r.status, c.status);
        const auto lines = splitLines(r.out);
        ASSERT_GE(lines.size(), 5u);
        EXPECT_EQ(lines[4], c.answer);
        EXPECT_EQ(readAsTheDesktop(lines[3]), c.desktopValues) << lines[3];
        EXPECT_EQ(lines[3].substr(lines[3].size() - 4), " end");
    }
}

// A pipe where the .shp or the .shx should be, or a folder, gives no extent
// at once: an ordinary open would wait on the pipe for a writer.
TEST_F(BoxCheckTest, RefusesPipesAndFoldersAtOnce) {
    ASSERT_EQ(::mkfifo((dir_ / "pipe.shp").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((dir_ / "pipe.csv").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((dir_ / "pipe.gpkg").c_str(), 0600), 0);
    points("beside.shp", {{1650000, 5100000}});
    fs::remove(dir_ / "beside.shx");
    ASSERT_EQ(::mkfifo((dir_ / "beside.shx").c_str(), 0600), 0);
    fs::create_directories(dir_ / "folder.shp");
    fs::create_directories(dir_ / "folder.csv");
    fs::create_directories(dir_ / "folder.gpkg");
    for (const char *name : {"pipe.shp", "beside.shp", "folder.shp", "pipe.csv",
                             "folder.csv", "pipe.gpkg", "folder.gpkg"}) {
        SCOPED_TRACE(name);
        const ProgramRun r =
            check({(dir_ / name).string(), "-YMIN", "2500000"});
        EXPECT_EQ(r.status, 0);
        const auto lines = splitLines(r.out);
        ASSERT_GE(lines.size(), 5u);
        EXPECT_EQ(lines[3], "Extent Xmin: none Ymin: none end");
        EXPECT_NE(lines[4].find("is not a regular file"), std::string::npos)
            << lines[4];
    }
}

// A point list's extent is that of its x and y columns over every record,
// found and read as KAVRO reads them; a list that KAVRO would refuse has no
// extent, and the fifth line says why.
TEST_F(BoxCheckTest, ReadsPointListsAsKavroDoes) {
    struct Case {
        const char *name;
        const char *text;
        int status;
        const char *minima; // the fourth line, or how the fifth ends
        const char *maxima; // the sixth line, or nullptr
    } const cases[] = {
        {"gbo.csv",
         "Punto;Est;Nord;Quota\r\n1;1515000,125;5035000,5;120,3\r\n"
         "2;1517250,75;5037125,25;118\r\n;;;\r\n3;1509980;5029990,875;\r\n",
         2, "Extent Xmin: 1509980.00 Ymin: 5029990.87 end",
         "Extent Xmax: 1517250.75 Ymax: 5037125.25 end"},
        {"utm.CSV", "name,x,y\n\"a, b\",604970.2,5059979.88\nc,769966.46,5e6\n",
         4, "Extent Xmin: 604970.20 Ymin: 5000000.00 end",
         "Extent Xmax: 769966.46 Ymax: 5059979.88 end"},
        {"short.csv", "E\tN\n105000\t60000\n270000\t214000\n", 4,
         "Extent Xmin: 105000.00 Ymin: 60000.00 end",
         "Extent Xmax: 270000.00 Ymax: 214000.00 end"},
        {"bad.csv", "Est;Nord\n1515000;5035000\n1515000;x\n", 0,
         ": Malformed record 2 in input CSV file, line 3, column 2 \"Nord\": "
         "\"x\" is not a number",
         nullptr},
        {"header.csv", "Est;Nord\n", 0, ": the point list holds no points",
         nullptr},
        {"empty.csv", "", 0, ": the point list holds no points", nullptr},
        {"names.csv", "a;b\n1;2\n", 0, ": No coordinate columns found",
         nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        kavrotest::writeFile(dir_ / c.name, c.text);
        const ProgramRun r =
            check({(dir_ / c.name).string(), "-YMIN", "2500000"});
        EXPECT_EQ(r.status, c.status);
        const auto lines = splitLines(r.out);
        ASSERT_GE(lines.size(), 5u);
        EXPECT_EQ(lines[0],
                  "boxcheck: the extent of a point list against a box");
        if (c.maxima) {
            EXPECT_EQ(lines[3], c.minima);
            ASSERT_EQ(lines.size(), 6u);
            EXPECT_EQ(lines[5], c.maxima);
            EXPECT_EQ(lines[4].rfind("The point list extent IS ", 0), 0u);
        } else {
            EXPECT_EQ(lines[3], "Extent Xmin: none Ymin: none end");
            const std::string start =
                std::string("Impossible to read the point list's extent") +
                c.minima;
            EXPECT_EQ(lines[4].substr(0, start.size()), start);
        }
    }
}

// A GeoPackage's extent is that of the geometries of every feature table,
// whatever gpkg_contents says (wrong on purpose in the builder's files):
// points with Z (an empty one, a NULL geometry), lines with M, polygons with
// holes and multipolygons of an undefined system, a curve polygon with ZM, in
// either byte order.
TEST_F(BoxCheckTest, GeoPackageExtentComesFromEveryGeometry) {
    gpkgtest::writeMixedGeoPackage(dir_ / "mixed.gpkg");
    const ProgramRun r =
        check({(dir_ / "mixed.gpkg").string(), "-YMIN", "2500000"});
    EXPECT_EQ(r.status, 2);
    const auto lines = splitLines(r.out);
    ASSERT_EQ(lines.size(), 6u) << r.out;
    EXPECT_EQ(lines[0], "boxcheck: the extent of a GeoPackage against a box");
    EXPECT_EQ(lines[3], "Extent Xmin: 1659000.00 Ymin: 5101799.50 end");
    EXPECT_EQ(lines[4], "The GeoPackage extent IS INSIDE the given box");
    EXPECT_EQ(lines[5], "Extent Xmax: 1664850.25 Ymax: 5105500.00 end");
}

// What the layers declare against each other and against the category of
// their coordinates; empty layers, damaged geometries and files.
TEST_F(BoxCheckTest, GeoPackageLayersAndTheirSystems) {
    using gpkgtest::blob;
    using gpkgtest::point;
    const std::string shortened = kavrotest::readFile(
        fs::path(KAVRO_SOURCE_DIR) / "data" / "gboshift_west.wkt");
    const gpkgtest::Bytes gbo = blob(point({1650000.5, 5100000.25}));
    const gpkgtest::Bytes utm = blob(point({604970.2, 5059979.88}), {25832});
    const std::string unknown = "Unknown category: ";
    struct Case {
        const char *name;
        std::function<void(gpkgtest::GeoPackageBuilder &)> fill;
        int status;
        std::string last; // the last line, or how the fifth ends
    } const cases[] = {
        {"one layer empty",
         [&](auto &g) {
             g.addLayer("a", "POINT", 3003);
             g.addFeature("a", 1, gbo);
             g.addLayer("b", "LINESTRING", 25832);
         },
         2, "Extent Xmax: 1650000.50 Ymax: 5100000.25 end"},
        {"shortened form in its own system",
         [&](auto &g) {
             g.addSrs(100000, "NONE", 100000, "shortened", shortened);
             g.addLayer("a", "POINT", 100000);
             g.addFeature("a", 1, blob(point({150000, 100000.5}), {100000}));
         },
         4, "Extent Xmax: 150000.00 Ymax: 100000.50 end"},
        {"in UTM",
         [&](auto &g) {
             g.addSrs(25832, "EPSG", 25832, "ETRS89 / UTM zone 32N",
                      gpkgtest::kUtm32Etrs89Wkt);
             g.addLayer("a", "POINT", 25832);
             g.addFeature("a", 1, utm);
         },
         4, "Extent Xmax: 604970.20 Ymax: 5059979.88 end"},
        {"layers in different systems",
         [&](auto &g) {
             g.addSrs(25832, "EPSG", 25832, "ETRS89 / UTM zone 32N",
                      gpkgtest::kUtm32Etrs89Wkt);
             g.addLayer("a", "POINT", 3003);
             g.addFeature("a", 1, gbo);
             g.addLayer("b", "POINT", 25832);
             g.addFeature("b", 1, blob(point({1650001, 5100001}), {25832}));
         },
         2,
         unknown + "layers in different systems: a says Monte Mario / Italy "
                   "zone 1, b says ETRS89 / UTM zone 32N"},
        {"one layer says UTM, holds Gauss-Boaga",
         [&](auto &g) {
             g.addSrs(25832, "EPSG", 25832, "ETRS89 / UTM zone 32N",
                      gpkgtest::kUtm32Etrs89Wkt);
             g.addLayer("a", "POINT", 25832);
             g.addFeature("a", 1, gbo);
             g.addLayer("b", "POINT", 0); // undefined: not compared
             g.addFeature("b", 1, gbo);
         },
         2,
         unknown + "layer a says ETRS89 / UTM zone 32N, its coordinates are "
                   "Gauss-Boaga West"},
        {"no geometries",
         [&](auto &g) {
             g.addLayer("a", "POINT", 3003);
             g.addFeature("a", 1, {});
         },
         0, ": the GeoPackage holds no geometries"},
        {"no feature tables", [](auto &) {}, 0,
         ": the GeoPackage has no feature tables"},
        {"damaged geometry",
         [&](auto &g) {
             g.addLayer("a", "POINT", 3003);
             g.addFeature("a", 1, gbo);
             gpkgtest::Bytes cut = gbo;
             cut.resize(cut.size() - 3);
             g.addFeature("a", 2, cut);
         },
         0, ": layer a, feature 2: "},
        {"layer without its table",
         [&](auto &g) {
             g.addLayer("a", "POINT", 3003);
             g.execute("DROP TABLE a");
         },
         0, ": layer a has no table"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path path = dir_ / "case.gpkg";
        {
            gpkgtest::GeoPackageBuilder g(path);
            c.fill(g);
        }
        const ProgramRun r = check({path.string(), "-YMIN", "2500000"});
        EXPECT_EQ(r.status, c.status);
        const auto lines = splitLines(r.out);
        ASSERT_GE(lines.size(), 5u);
        if (c.status == 0) {
            EXPECT_EQ(lines[3], "Extent Xmin: none Ymin: none end");
            EXPECT_NE(lines[4].find(c.last), std::string::npos) << lines[4];
        } else {
            EXPECT_EQ(lines.back(), c.last);
            EXPECT_EQ(lines.size(), c.last.rfind(unknown, 0) == 0 ? 7u : 6u);
        }
    }
}

// Files that are no GeoPackage, or a damaged one, answer at once with no
// extent.
TEST_F(BoxCheckTest, DamagedGeoPackagesHaveNoExtent) {
    gpkgtest::writeMixedGeoPackage(dir_ / "whole.gpkg");
    const std::string whole = kavrotest::readFile(dir_ / "whole.gpkg");
    const struct {
        const char *name;
        std::string bytes;
    } files[] = {
        {"text.gpkg", "Punto;Est;Nord\n1;1650000;5100000\n"},
        {"empty.gpkg", ""},
        {"cut.gpkg", whole.substr(0, whole.size() / 3)},
        {"torn.gpkg", whole.substr(0, 4096) + std::string(8192, '\xff') +
                          whole.substr(4096 + 8192)},
    };
    for (const auto &file : files) {
        SCOPED_TRACE(file.name);
        kavrotest::writeFile(dir_ / file.name, file.bytes);
        const ProgramRun r =
            check({(dir_ / file.name).string(), "-YMIN", "2500000"});
        EXPECT_EQ(r.status, 0);
        const auto lines = splitLines(r.out);
        ASSERT_GE(lines.size(), 5u);
        EXPECT_EQ(lines[3], "Extent Xmin: none Ymin: none end");
        EXPECT_EQ(
            lines[4].rfind("Impossible to read the GeoPackage's extent: ", 0),
            0u)
            << lines[4];
    }
}

TEST_F(BoxCheckTest, NeverPutsThePathOnTheExtentLine) {
    fs::create_directories(dir_ / "1650000 5100000 x");
    const ProgramRun r =
        check({(dir_ / "1650000 5100000 x/4000000.shp").string(), "-YMIN",
               "2500000"});
    EXPECT_EQ(r.status, 0);
    const auto lines = splitLines(r.out);
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[3], "Extent Xmin: none Ymin: none end");

    // A line break in a file name does not move the extent line.
    const std::string broken = points("a\nb.shp", {{1650000, 5100000}});
    const auto brokenLines = splitLines(check({broken, "-YMIN", "1"}).out);
    ASSERT_GE(brokenLines.size(), 5u);
    EXPECT_EQ(brokenLines[3], "Extent Xmin: 1650000.00 Ymin: 5100000.00 end");
}

TEST_F(BoxCheckTest, RefusesWrongParameters) {
    const std::string file = points("gbo.shp", {{1650000, 5100000}});
    const std::vector<std::string> wrong[] = {
        {},
        {file},
        {file, "-YMIN"},
        {file, "-XMIN", "2500000"},
        {file, "-YMIN", "2.5e6x"},
        {file, "-YMIN", "nan"},
        {file, "-YMIN", "2500000", "extra"},
        {file, "-YMIN", "20000000"},
    };
    for (const auto &arguments : wrong) {
        SCOPED_TRACE(testing::PrintToString(arguments));
        const ProgramRun r = check(arguments);
        EXPECT_EQ(r.status, 1);
        const auto lines = splitLines(r.out);
        ASSERT_GE(lines.size(), 5u);
        EXPECT_EQ(lines[4], "Wrong parameters");
        EXPECT_TRUE(readAsTheDesktop(lines[3]).empty()) << lines[3];
    }
    EXPECT_EQ(check({file, "-ymin", "+2500000"}).status, 2);
}

TEST(BoxCheck, EdgesOfTheBoxBelongToIt) {
    struct Case {
        Extent extent;
        BoxAnswer answer;
    } const cases[] = {
        {{1000000, 2500000, 2000000, 10000000}, BoxAnswer::Inside},
        {{999999.99, 2500000, 1500000, 3000000}, BoxAnswer::PartiallyInside},
        {{1500000, 2499999, 1600000, 2600000}, BoxAnswer::PartiallyInside},
        {{900000, 2000000, 1000000, 2500000}, BoxAnswer::PartiallyInside},
        {{900000, 2000000, 2100000, 11000000}, BoxAnswer::PartiallyInside},
        {{2000000.01, 5000000, 2100000, 5100000}, BoxAnswer::CompletelyOutside},
        {{1500000, 10000000.5, 1600000, 10000001},
         BoxAnswer::CompletelyOutside},
        {{1500000, 100, 1600000, 2499999.99}, BoxAnswer::CompletelyOutside},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.extent.xMin << ' ' << c.extent.yMin << ' '
                     << c.extent.xMax << ' ' << c.extent.yMax);
        EXPECT_EQ(classify(c.extent, 2500000), c.answer);
    }
}

TEST(BoxCheck, ExtentLineReadsAsWholeMetres) {
    const double values[][2] = {{1650000.999, 5100000.001},
                                {150000.5, 100000.25},
                                {1e9, 1e9 + 1},
                                {999999.996, 2499999.9999999995}};
    for (const auto &v : values) {
        const Extent e{v[0], v[1], v[0], v[1]};
        const auto lines = report("x", 0, &e, classify(e, 0));
        SCOPED_TRACE(lines[3]);
        const auto read = readAsTheDesktop(lines[3]);
        ASSERT_EQ(read.size(), 2u);
        EXPECT_EQ(read[0], static_cast<long long>(std::floor(v[0])));
        EXPECT_EQ(read[1], static_cast<long long>(std::floor(v[1])));
    }
}

} // namespace
