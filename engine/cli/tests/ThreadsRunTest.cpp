// The real KAVRO with one thread and with four (also on fewer cores): every
// kind of file, and a workspace run, give the same output bytes and the
// same report lines, also where a point outside the grid fails a file in
// the middle, where a file fails in the middle of a workspace, and for
// files smaller than one block.
#include "GeoPackageTestFiles.h"
#include "KavroProgram.h"
#include "NTv2TestGrids.h"
#include "ShapeTestFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace kavrotest;

namespace {

// Degrees in and out around a synthetic grid over 10-11 E, 45-46 N whose
// shifts differ from node to node. The target system lets GeoPackages be
// converted; it is only recorded.
std::string gridScript() {
    return R"(  <Description>grid</Description>
  <TargetSystem>
    <EPSG>25832</EPSG>
    <ProjectionFile>utm_etrs89.prj</ProjectionFile>
  </TargetSystem>
  <Transformation Name="to radians">
    <UnitsConversion><In>DecimalDegree</In><Out>Radian</Out></UnitsConversion>
  </Transformation>
  <Transformation Name="shift">
    <NTv2GridShift>
      <GridFile>test.gsb</GridFile>
    </NTv2GridShift>
  </Transformation>
  <Transformation Name="to degrees">
    <UnitsConversion><In>Radian</In><Out>DecimalDegree</Out></UnitsConversion>
  </Transformation>
)";
}

// A point inside the grid, different for each n; 12 E is outside it.
double lonOf(long n) { return 10.01 + 0.98 * double((n * 7919) % 1000) / 1000; }
double latOf(long n) { return 45.01 + 0.98 * double((n * 104729) % 997) / 997; }
constexpr double kOutside = 12;

class ThreadsRunTest : public KavroProgramTest {
  protected:
    void SetUp() override {
        KavroProgramTest::SetUp();
        TestSubGrid grid;
        grid.shift = [](int column, int row, float &lat, float &lon) {
            lat = 1.5f + 0.25f * float(column * row);
            lon = -2.0f + 0.5f * float(column + 3 * row);
        };
        writeFile(root_ / "test.gsb", ntv2File({grid}));
        script_ = writeScript("grid.xml", gridScript());
        fs::create_directories(root_ / "in");
    }

    // Every file in the output folder, by name, with its bytes; of a
    // GeoPackage those after its last_change times have been made equal.
    std::map<std::string, std::string> outputs() const {
        std::map<std::string, std::string> files;
        for (const auto &entry : fs::directory_iterator(root_ / "out")) {
            if (entry.path().extension() == ".gpkg") {
                SqliteDb db;
                std::string reason;
                EXPECT_TRUE(openSqlite(entry.path().string(),
                                       SQLITE_OPEN_READWRITE, db, reason));
                EXPECT_TRUE(executeSqlite(
                    db.get(), "UPDATE gpkg_contents SET last_change = ''"));
            }
            files[entry.path().filename().string()] = readFile(entry.path());
        }
        return files;
    }

    // Runs KAVRO with the arguments, the script and one thread, then with
    // four, each into an empty output folder: the same standard output and
    // the same files. Returns the one-thread run's report.
    std::string sameWithThreads(std::vector<std::string> arguments) {
        arguments.insert(arguments.end(), {"-TS", script_});
        std::string report;
        std::map<std::string, std::string> first;
        for (const char *threads : {"1", "4"}) {
            SCOPED_TRACE(std::string("-TH ") + threads);
            fs::remove_all(root_ / "out");
            fs::create_directories(root_ / "out");
            std::vector<std::string> line = {"-TH", threads};
            line.insert(line.end(), arguments.begin(), arguments.end());
            const KavroRun r = run(line);
            EXPECT_EQ(r.status, 1);
            EXPECT_EQ(r.err, "");
            if (report.empty()) {
                report = r.report();
                first = outputs();
            } else {
                EXPECT_EQ(r.report(), report);
                EXPECT_TRUE(outputs() == first) << "the output files differ";
            }
        }
        return report;
    }

    std::string in(const std::string &name) const { return path("in/" + name); }
    std::string out(const std::string &name) const {
        return path("out/" + name);
    }

    // A text file of `records` records, the one numbered `outside` (from
    // 1; 0 for none) outside the grid; every 7th record spans two lines,
    // the one numbered `longLabel` has a label of 100,000 bytes and the one
    // numbered `outOfRange` a latitude beyond the range of numbers.
    void writeText(const std::string &name, long records, long outside = 0,
                   long longLabel = 0, long outOfRange = 0) const {
        std::FILE *file = std::fopen(in(name).c_str(), "w");
        ASSERT_NE(file, nullptr);
        const std::string label(100000, 'L');
        for (long n = 1; n <= records; ++n) {
            std::fprintf(file, "%.9f%s%.9f%s %.2f ",
                         n == outside ? kOutside : lonOf(n),
                         n % 7 == 0 ? "\n" : " ", latOf(n),
                         n == outOfRange ? "e999" : "", 0.5 * double(n));
            if (n == longLabel)
                std::fprintf(file, "%s\n", label.c_str());
            else
                std::fprintf(file, "P%ld\n", n);
        }
        std::fclose(file);
    }

    std::string script_;
};

} // namespace

TEST_F(ThreadsRunTest, TextFiles) {
    writeText("big.txt", 10000, 9000, 5000);
    writeText("small.txt", 3);
    const std::string big = sameWithThreads(
        {"-FT", "TXT", "-IF", in("big.txt"), "-OF", out("big.txt")});
    EXPECT_TRUE(contains(big, "(point 9000, on line 10285, lies outside"));
    // A number is read on any thread, and where it fails counts as
    // reading stopped there: after the records before it, before those
    // after it, also a point outside the grid.
    writeText("range.txt", 10000, 8000, 0, 7000);
    EXPECT_TRUE(contains(
        sameWithThreads(
            {"-FT", "TXT", "-IF", in("range.txt"), "-OF", out("range.txt")}),
        "(Malformed record 7000 in input text file, line 8000: y is not a "
        "number)"));
    EXPECT_EQ(sameWithThreads({"-FT", "TXT", "-IF", in("small.txt"), "-OF",
                               out("small.txt")}),
              in("small.txt") + " converted to " + out("small.txt") + "\n");
}

TEST_F(ThreadsRunTest, PointLists) {
    // 10,000 points, the 6000th outside the grid and the one numbered
    // `malformed` with a northing that is not a number.
    const auto writeList = [&](const std::string &name, long malformed) {
        std::string text = "Punto;Est;Nord;Quota\r\n";
        char record[128];
        for (long n = 1; n <= 10000; ++n) {
            std::snprintf(record, sizeof record, "P%ld;%.8f;%.8f%s;%ld,5\r\n",
                          n, n == 6000 ? kOutside : lonOf(n), latOf(n),
                          n == malformed ? "x" : "", n);
            text += record;
            if (n % 1000 == 0)
                text += ";;;\r\n"; // a blank row, as spreadsheets write them
        }
        for (char &c : text)
            c = c == '.' ? ',' : c;
        writeFile(in(name), text);
    };
    writeList("list.csv", 0);
    const std::string report = sameWithThreads(
        {"-FT", "CSV", "-IF", in("list.csv"), "-OF", out("list.csv")});
    EXPECT_TRUE(contains(report, "(point 6005, on line 6006, lies outside"));
    // The numbers are read on any thread: the first malformed one still
    // stops the file after the records before it.
    writeList("bad.csv", 5500);
    EXPECT_TRUE(contains(
        sameWithThreads(
            {"-FT", "CSV", "-IF", in("bad.csv"), "-OF", out("bad.csv")}),
        "(Malformed record 5505 in input CSV file, line 5506, column 3 "
        "\"Nord\": \""));
}

TEST_F(ThreadsRunTest, Shapefiles) {
    std::vector<shapetest::Shape> lines;
    for (long n = 0; n < 2000; ++n) {
        shapetest::Shape line{SHPT_ARC, {0}, {}, {}, {}, {}, {}};
        for (long v = 0; v < 25; ++v) {
            line.x.push_back(lonOf(n * 25 + v));
            line.y.push_back(latOf(n * 25 + v));
        }
        lines.push_back(line);
    }
    shapetest::writeShapefile(in("lines.shp"), SHPT_ARC, lines);
    writeFile(in("lines.dbf"), "table");
    EXPECT_EQ(
        sameWithThreads({"-IF", in("lines.shp"), "-OF", out("lines.shp")}),
        in("lines.shp") + " converted to " + out("lines.shp") + "\n");

    std::vector<shapetest::Shape> points;
    for (long n = 0; n < 9000; ++n)
        points.push_back(
            shapetest::point(n == 8000 ? kOutside : lonOf(n), latOf(n)));
    shapetest::writeShapefile(in("points.shp"), SHPT_POINT, points);
    writeFile(in("points.dbf"), "table");
    const std::string report =
        sameWithThreads({"-IF", in("points.shp"), "-OF", out("points.shp")});
    EXPECT_TRUE(contains(report, "(point 8001, vertex 0 of shape 8000, lies"));
}

TEST_F(ThreadsRunTest, GeoPackages) {
    for (const long outside : {0L, 7000L}) {
        const std::string name = "points" + std::to_string(outside) + ".gpkg";
        {
            gpkgtest::GeoPackageBuilder g(in(name));
            g.addLayer("points", "POINT", 3003);
            g.execute("BEGIN");
            for (long n = 1; n <= 10000; ++n)
                g.addFeature(
                    "points", n,
                    gpkgtest::blob(gpkgtest::point(
                        {n == outside ? kOutside : lonOf(n), latOf(n)})));
            g.execute("COMMIT");
            g.addRtree("points");
        }
        const std::string report =
            sameWithThreads({"-FT", "GPKG", "-IF", in(name), "-OF", out(name)});
        EXPECT_TRUE(outside == 0 ? contains(report, " converted to ")
                                 : contains(report, "vertex 0 of feature 7000 "
                                                    "of layer points lies"));
    }
}

// The files of a workspace convert at once and report in their order; a
// file that fails in the middle does not change the others. An input
// reached through a link at another file's output makes the run convert
// its files one after the other, as one thread does.
TEST_F(ThreadsRunTest, Workspaces) {
    writeText("a.txt", 6000);
    writeText("b.txt", 5000, 100);
    writeText("c.txt", 2);
    writeText("d.txt", 9000);
    const std::vector<std::string> workspace = {
        "-FT", "TXT", "-IWS", path("in"), "-F", "*.txt", "-OWS", path("out")};
    const std::string report = sameWithThreads(workspace);
    EXPECT_EQ(splitLines(report).size(), 4u);
    EXPECT_TRUE(contains(report, "b.txt conversion failed! (point 100,"));

    fs::create_symlink(out("c.txt"), in("e.txt"));
    EXPECT_EQ(splitLines(sameWithThreads(workspace)).size(), 5u);
}
