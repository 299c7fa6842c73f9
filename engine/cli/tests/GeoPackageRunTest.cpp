// GeoPackage conversions through the real KAVRO with the shipped scripts:
// the bundled samples as GeoPackage layers against the same samples
// converted as shapefiles, refusals of layers in another system, workspace
// runs, closed folders, full disks and killed runs, memory on a large file,
// and GDAL's own reading and validation of the output where GDAL is
// installed.
#include "GeoPackageTestFiles.h"
#include "KavroProgram.h"
#include "ShapeTestFiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using namespace gpkgtest;
using namespace kavrotest;
using namespace shapetest;

namespace {

struct XY {
    double x = 0, y = 0;
};

constexpr double kMillimetre = 1e-3; // metres
const char *const kFailed = " conversion failed! (";

std::string engineFile(const std::string &name) {
    return std::string(KAVRO_ENGINE_DIR) + "/" + name;
}
std::string shippedScript(const std::string &name) {
    return engineFile("script/" + name);
}

SqliteDb openDatabase(const std::string &path) {
    SqliteDb db;
    std::string reason;
    EXPECT_TRUE(openSqlite(path, SQLITE_OPEN_READONLY, db, reason)) << reason;
    return db;
}

// One row of a query as text, values separated by "|".
std::vector<std::string> rows(sqlite3 *db, const std::string &sql) {
    std::vector<std::string> result;
    SqliteStatement statement = prepareSqlite(db, sql);
    EXPECT_TRUE(statement) << sqlite3_errmsg(db) << ": " << sql;
    while (statement && sqlite3_step(statement.get()) == SQLITE_ROW) {
        std::string row;
        for (int i = 0; i < sqlite3_column_count(statement.get()); ++i) {
            if (i > 0)
                row += '|';
            row += columnText(statement.get(), i);
        }
        result.push_back(row);
    }
    return result;
}

// The rows of a table without its geometry column.
std::vector<std::string> attributeRows(sqlite3 *db, const std::string &table) {
    std::string columns;
    for (const std::string &name :
         rows(db, "SELECT name FROM pragma_table_info('" + table +
                      "') WHERE name != 'geom'"))
        columns += (columns.empty() ? "" : ", ") + quoteSqlIdentifier(name);
    return rows(db, "SELECT " + columns + " FROM " + quoteSqlIdentifier(table) +
                        " ORDER BY fid");
}

// The x and y of every vertex of a layer, feature after feature.
std::vector<XY> layerVertices(const std::string &path,
                              const std::string &layer) {
    const SqliteDb db = openDatabase(path);
    std::vector<XY> vertices;
    SqliteStatement statement = prepareSqlite(
        db.get(), "SELECT geom FROM \"" + layer + "\" ORDER BY fid");
    while (sqlite3_step(statement.get()) == SQLITE_ROW) {
        const std::span<const std::uint8_t> bytes =
            columnBlob(statement.get(), 0);
        gpkg::GeometryBlob blob;
        std::vector<gpkg::VertexRun> runs;
        std::string reason;
        EXPECT_TRUE(gpkg::readGeometryBlob(bytes, blob, runs, reason))
            << reason;
        const std::size_t first = vertices.size();
        vertices.resize(first + gpkg::vertexCount(runs));
        gpkg::takeVertices(bytes, runs, vertices.data() + first);
    }
    return vertices;
}

// A shapefile as a layer of a GeoPackage in Gauss-Boaga West: points as
// POINT, lines as MULTILINESTRING, polygons as POLYGON with every ring;
// every other feature in big-endian byte order; the attribute table's
// fields as TEXT columns with their values.
void addShapefileLayer(GeoPackageBuilder &g, const std::string &base,
                       const std::string &layer) {
    const Shapefile file = readShapefile(base + ".shp");
    DBFHandle table = DBFOpen((base + ".dbf").c_str(), "rb");
    ASSERT_NE(table, nullptr);
    std::vector<std::string> fields;
    std::string columns;
    for (int i = 0; i < DBFGetFieldCount(table); ++i) {
        char name[12] = {};
        DBFGetFieldInfo(table, i, name, nullptr, nullptr);
        fields.push_back(name);
        columns +=
            std::string(i ? ", " : "") + quoteSqlIdentifier(name) + " TEXT";
    }
    const std::string type = file.type == SHPT_POINT ? "POINT"
                             : file.type == SHPT_ARC ? "MULTILINESTRING"
                                                     : "POLYGON";
    g.addLayer(layer, type, 3003, 0, 0, columns);
    for (std::size_t s = 0; s < file.shapes.size(); ++s) {
        const Shape &shape = file.shapes[s];
        const Form form{s % 2 == 0, Dims::XY};
        std::vector<std::vector<Vertex>> parts;
        for (std::size_t p = 0;
             p < std::max<std::size_t>(1, shape.partStarts.size()); ++p) {
            const std::size_t end = p + 1 < shape.partStarts.size()
                                        ? shape.partStarts[p + 1]
                                        : shape.x.size();
            std::vector<Vertex> part;
            for (std::size_t v = shape.partStarts.empty() ? 0
                                                          : shape.partStarts[p];
                 v < end; ++v)
                part.push_back({shape.x[v], shape.y[v]});
            parts.push_back(part);
        }
        Bytes wkb;
        if (type == "POINT") {
            wkb = point(parts[0][0], form);
        } else if (type == "POLYGON") {
            wkb = polygon(parts, form);
        } else {
            std::vector<Bytes> lines;
            for (const auto &part : parts)
                lines.push_back(lineString(part, {!form.littleEndian}));
            wkb = collection(kMultiLineString, lines, form);
        }
        std::string values;
        for (std::size_t f = 0; f < fields.size(); ++f)
            values += std::string(f ? ", " : "") +
                      GeoPackageBuilder::literal(DBFReadStringAttribute(
                          table, static_cast<int>(s), static_cast<int>(f)));
        g.addFeature(layer, static_cast<std::int64_t>(s) + 1,
                     blob(wkb, {3003,
                                type == "POINT" ? gpkg::EnvelopeKind::None
                                                : gpkg::EnvelopeKind::XY,
                                s % 3 != 0}),
                     values);
    }
    DBFClose(table);
    g.addRtree(layer);
}

// GDAL's tools where they are installed: its GeoPackage validator (run by
// Debian's Python, which has GDAL's bindings), ogrinfo and ogr2ogr.
struct Gdal {
    std::string python = "/usr/bin/python3";
    std::string validator;
    std::string ogrinfo = "/usr/bin/ogrinfo";
    std::string ogr2ogr = "/usr/bin/ogr2ogr";
    bool present = false;
};

Gdal gdal() {
    Gdal tools;
    for (const char *candidate :
         {"/usr/lib/python3/dist-packages/osgeo_utils/samples/validate_gpkg.py",
          "/usr/share/doc/python3-gdal/examples/validate_gpkg.py"})
        if (fs::exists(candidate)) {
            tools.validator = candidate;
            break;
        }
    tools.present = !tools.validator.empty() &&
                    ::access(tools.python.c_str(), X_OK) == 0 &&
                    ::access(tools.ogrinfo.c_str(), X_OK) == 0 &&
                    ::access(tools.ogr2ogr.c_str(), X_OK) == 0 &&
                    std::system("/usr/bin/python3 -c 'import osgeo.ogr' "
                                ">/dev/null 2>&1") == 0;
    return tools;
}

class GeoPackageRunTest : public KavroProgramTest {
  protected:
    KavroRun convert(const std::string &input, const std::string &output,
                     const std::string &script = "GBO-UTM32ETRS89-VLM.xml",
                     const RunOptions &options = {}) const {
        return run({"-FT", "GPKG", "-IF", input, "-OF", output, "-TS",
                    shippedScript(script)},
                   options);
    }
    static std::string converted(const std::string &input,
                                 const std::string &output) {
        return input + " converted to " + output + "\n";
    }
    // The scratch folder's entries other than the named ones.
    std::vector<std::string> othersThan(std::set<std::string> names) const {
        std::vector<std::string> left;
        for (const auto &entry : fs::directory_iterator(root_))
            if (!names.count(entry.path().filename().string()))
                left.push_back(entry.path().filename().string());
        return left;
    }
};

// The samples as one GeoPackage of three layers, converted with the shipped
// script, against the same samples converted as shapefiles: the same
// coordinates, the attributes as they were, the target system recorded in
// gpkg_spatial_ref_sys with the shipped OGC definition.
TEST_F(GeoPackageRunTest, SamplesConvertAsTheirShapefilesDo) {
    const std::string samples =
        std::string(KAVRO_SOURCE_DIR) + "/data/samples/";
    const char *const kinds[] = {"points", "lines", "polygons"};
    {
        GeoPackageBuilder g(path("gbo.gpkg"));
        for (const char *kind : kinds)
            addShapefileLayer(g, samples + "gbo_" + kind, kind);
    }
    const KavroRun gpkgRun = convert(path("gbo.gpkg"), path("utm.gpkg"));
    EXPECT_EQ(gpkgRun.report(), converted(path("gbo.gpkg"), path("utm.gpkg")));

    const SqliteDb in = openDatabase(path("gbo.gpkg"));
    const SqliteDb out = openDatabase(path("utm.gpkg"));
    for (const char *kind : kinds) {
        SCOPED_TRACE(kind);
        const std::string shp = path(std::string("utm_") + kind + ".shp");
        const KavroRun shpRun =
            run({"-IF", samples + "gbo_" + kind + ".shp", "-OF", shp, "-TS",
                 shippedScript("GBO-UTM32ETRS89-VLM.xml")});
        ASSERT_EQ(shpRun.reportLines().size(), 1u) << shpRun.out;
        std::vector<XY> expected;
        for (const Shape &s : readShapefile(shp).shapes)
            for (std::size_t v = 0; v < s.x.size(); ++v)
                expected.push_back({s.x[v], s.y[v]});
        const std::vector<XY> got = layerVertices(path("utm.gpkg"), kind);
        ASSERT_EQ(got.size(), expected.size());
        for (std::size_t v = 0; v < got.size(); ++v) {
            EXPECT_NEAR(got[v].x, expected[v].x, kMillimetre) << v;
            EXPECT_NEAR(got[v].y, expected[v].y, kMillimetre) << v;
        }
        EXPECT_EQ(attributeRows(out.get(), kind),
                  attributeRows(in.get(), kind));
    }
    EXPECT_EQ(rows(out.get(), "SELECT organization, organization_coordsys_id, "
                              "definition FROM gpkg_spatial_ref_sys WHERE "
                              "srs_id = 25832"),
              std::vector<std::string>{"EPSG|25832|" +
                                       readFile(engineFile("utm_etrs89.wkt"))});
    EXPECT_EQ(rows(out.get(), "SELECT DISTINCT srs_id FROM gpkg_contents "
                              "WHERE data_type = 'features' UNION SELECT "
                              "DISTINCT srs_id FROM gpkg_geometry_columns"),
              std::vector<std::string>{"25832"});
}

// A layer that declares another system than the script converts from fails
// the file, naming both, and nothing is written; one whose srs_id is
// undefined is converted as the script says.
TEST_F(GeoPackageRunTest, LayersInAnotherSystemAreRefusedWithBothNamed) {
    const auto write = [&](const std::string &name, std::int64_t srsId,
                           const std::string &definitionFile) {
        GeoPackageBuilder g(path(name));
        if (!definitionFile.empty())
            g.addSrs(srsId, "EPSG", srsId, "declared",
                     readFile(engineFile(definitionFile)));
        g.addLayer("roads", "LINESTRING", srsId);
        g.addFeature("roads", 1,
                     blob(lineString({{1664000, 5103000}, {1664100, 5103050}}),
                          {static_cast<std::int32_t>(srsId)}));
        g.addLayer("streams", "LINESTRING", 3003);
    };
    write("utm.gpkg", 25832, "utm_etrs89.wkt");
    write("east.gpkg", 3004, "gbo_east.wkt");
    write("undefined.gpkg", -1, "");
    const struct {
        const char *input;
        std::string report;
    } cases[] = {
        {"utm.gpkg", path("utm.gpkg") + kFailed +
                         "layer roads says ETRS89 / UTM zone 32N, the script "
                         "converts from Monte Mario / Italy zone 1)\n"},
        {"east.gpkg", path("east.gpkg") + kFailed +
                          "layer roads says Monte Mario / Italy zone 2, the "
                          "script converts from Monte Mario / Italy zone 1)\n"},
        {"undefined.gpkg", converted(path("undefined.gpkg"), path("out.gpkg"))},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.input);
        const KavroRun result = convert(path(c.input), path("out.gpkg"));
        EXPECT_EQ(result.report(), c.report);
    }
    EXPECT_EQ(rows(openDatabase(path("out.gpkg")).get(),
                   "SELECT srs_id FROM gpkg_geometry_columns ORDER BY 1"),
              (std::vector<std::string>{"25832", "25832"}));
}

// A target without an EPSG code (the shortened Gauss-Boaga form) is
// recorded as a system of the file's own, numbered from 100000, and found
// again by its definition: there and back, the coordinates return and the
// layer points at the EPSG row it had.
TEST_F(GeoPackageRunTest, SystemsWithoutAnEpsgCodeAreRecordedAsTheFilesOwn) {
    const Vertex start{680000.25, 5110000.5};
    {
        GeoPackageBuilder g(path("utm.gpkg"));
        g.addSrs(25832, "EPSG", 25832, "ETRS89 / UTM zone 32N",
                 readFile(engineFile("utm_etrs89.wkt")));
        g.addLayer("wells", "POINT", 25832);
        g.addFeature("wells", 1, blob(point(start), {25832}));
    }
    ASSERT_EQ(convert(path("utm.gpkg"), path("short.gpkg"),
                      "UTM32ETRS89-GBOSHIFT-VLM.xml")
                  .report(),
              converted(path("utm.gpkg"), path("short.gpkg")));
    const SqliteDb shortened = openDatabase(path("short.gpkg"));
    EXPECT_EQ(rows(shortened.get(),
                   "SELECT srs_id, organization, organization_coordsys_id, "
                   "definition = '" +
                       readFile(engineFile("gboshift_west.wkt")) +
                       "', description IS NOT NULL FROM gpkg_spatial_ref_sys "
                       "WHERE srs_id >= 100000"),
              std::vector<std::string>{"100000|NONE|100000|1|1"});
    EXPECT_EQ(rows(shortened.get(), "SELECT srs_id FROM gpkg_geometry_columns"),
              std::vector<std::string>{"100000"});

    ASSERT_EQ(convert(path("short.gpkg"), path("back.gpkg"),
                      "GBOSHIFT-UTM32ETRS89-VLM.xml")
                  .report(),
              converted(path("short.gpkg"), path("back.gpkg")));
    EXPECT_EQ(rows(openDatabase(path("back.gpkg")).get(),
                   "SELECT srs_id FROM gpkg_geometry_columns UNION ALL SELECT "
                   "count(*) FROM gpkg_spatial_ref_sys WHERE srs_id = 25832"),
              (std::vector<std::string>{"25832", "1"}));
    const std::vector<XY> back = layerVertices(path("back.gpkg"), "wells");
    ASSERT_EQ(back.size(), 1u);
    EXPECT_NEAR(back[0].x, start.x, 5 * kMillimetre);
    EXPECT_NEAR(back[0].y, start.y, 5 * kMillimetre);
}

// A vertex that the chain cannot convert (outside a grid) fails the file
// with the vertex, the feature and the layer named, and nothing is written.
TEST_F(GeoPackageRunTest, AVertexOutsideTheGridFailsTheFileNamingIt) {
    const std::string script =
        writeScript("grid.xml", R"(  <Description>grid</Description>
  <TargetSystem>
    <EPSG>25832</EPSG>
    <ProjectionFile>utm_etrs89.prj</ProjectionFile>
  </TargetSystem>
  <Transformation Name="to radians">
    <UnitsConversion><In>DecimalDegree</In><Out>Radian</Out></UnitsConversion>
  </Transformation>
  <Transformation Name="shift">
    <NTv2GridShift>
      <GridFile>/usr/share/proj/BETA2007.gsb</GridFile>
      <Direction>Forward</Direction>
    </NTv2GridShift>
  </Transformation>
)");
    {
        GeoPackageBuilder g(path("in.gpkg"));
        g.addLayer("roads", "LINESTRING", 0);
        for (int fid = 1; fid <= 5000; ++fid)
            g.addFeature(
                "roads", fid,
                blob(lineString({{10, 50}, {fid == 4321 ? 30.0 : 11, 51}}),
                     {0}));
    }
    const KavroRun result = run({"-FT", "GPKG", "-IF", path("in.gpkg"), "-OF",
                                 path("out.gpkg"), "-TS", script});
    EXPECT_EQ(result.report(),
              path("in.gpkg") + kFailed +
                  "vertex 1 of feature 4321 of layer roads lies outside the "
                  "grid /usr/share/proj/BETA2007.gsb)\n");
    EXPECT_FALSE(fs::exists(path("out.gpkg")));
}

// A workspace run takes the .gpkg files of the folder, and nothing that an
// earlier killed run left.
TEST_F(GeoPackageRunTest, WorkspaceRunsTakeGeoPackages) {
    fs::create_directories(root_ / "in");
    fs::create_directories(root_ / "out");
    for (const char *name : {"a.gpkg", "b.gpkg", ".a.kavro-part-x7Qb2k.gpkg"}) {
        GeoPackageBuilder g(root_ / "in" / name);
        g.addLayer("roads", "LINESTRING", 3003);
        g.addFeature(
            "roads", 1,
            blob(lineString({{1664000, 5103000}, {1664100, 5103050}})));
    }
    writeFile(root_ / "in" / "c.shp", "not looked at");
    const KavroRun result =
        run({"-FT", "GPKG", "-IWS", path("in"), "-OWS", path("out"), "-TS",
             shippedScript("GBO-UTM32ETRS89-VLM.xml")});
    std::vector<std::string> lines = result.reportLines();
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(
        lines,
        (std::vector<std::string>{
            path("in") + "/a.gpkg converted to " + path("out") + "/a.gpkg",
            path("in") + "/b.gpkg converted to " + path("out") + "/b.gpkg"}));
}

// A folder the user may not write to, a disk that fills up, a run killed
// in the middle: the file fails with its reason (or is not there at all),
// nothing stands under the output's name and no temporary file is left but
// the killed run's hidden one; the input does not change.
TEST_F(GeoPackageRunTest, ClosedFoldersFullDisksAndKilledRunsLeaveNoOutput) {
    writePointLayer(path("big.gpkg"), 50000);
    const std::string input = readFile(path("big.gpkg"));
    const auto size = static_cast<rlim_t>(input.size());

    RunOptions limited;
    limited.fileSizeLimit = size / 2;
    KavroRun result = convert(path("big.gpkg"), path("out.gpkg"),
                              "GBO-UTM32ETRS89-VLM.xml", limited);
    EXPECT_EQ(result.report(), path("big.gpkg") + kFailed +
                                   "Unable to copy the input GeoPackage: File "
                                   "too large)\n");
    EXPECT_EQ(othersThan({"big.gpkg", "TransformationScript.xsd", "stdout.txt",
                          "stderr.txt", "peak.txt"}),
              std::vector<std::string>{});

    // Run as a user that permissions bind, when that can be arranged and
    // that user can read the scripts.
    fs::create_directories(root_ / "closed");
    fs::permissions(root_, fs::perms::all);
    fs::permissions(path("big.gpkg"), fs::perms::owner_all |
                                          fs::perms::group_read |
                                          fs::perms::others_read);
    fs::permissions(root_ / "closed",
                    fs::perms::owner_read | fs::perms::owner_exec |
                        fs::perms::others_read | fs::perms::others_exec);
    const std::optional<RunOptions> user = unprivileged();
    if (user &&
        convert(path("big.gpkg"), path("probe.gpkg"), "GBO-UTM32ETRS89-VLM.xml",
                *user)
                .report() == converted(path("big.gpkg"), path("probe.gpkg"))) {
        result = convert(path("big.gpkg"), path("closed/out.gpkg"),
                         "GBO-UTM32ETRS89-VLM.xml", *user);
        EXPECT_EQ(result.report(),
                  path("big.gpkg") + kFailed +
                      "Unable to create the output GeoPackage: Permission "
                      "denied)\n");
        EXPECT_TRUE(fs::is_empty(root_ / "closed"));
    }

    // Killed once its temporary copy is there: only that hidden file stays.
    EXPECT_TRUE(killWhen(
        {"-FT", "GPKG", "-IF", path("big.gpkg"), "-OF", path("killed.gpkg"),
         "-TS", shippedScript("GBO-UTM32ETRS89-VLM.xml")},
        [&] {
            for (const auto &entry : fs::directory_iterator(root_))
                if (entry.path().filename().string().rfind(
                        ".killed.kavro-part-", 0) == 0)
                    return true;
            return false;
        }));
    EXPECT_FALSE(fs::exists(path("killed.gpkg")));
    EXPECT_EQ(readFile(path("big.gpkg")), input);
}

// Memory does not grow with the number of features: 200,000 points with
// their R-tree convert in the memory of a small file, under 64 MB.
TEST_F(GeoPackageRunTest, ConvertsManyFeaturesInBoundedMemory) {
    if (std::getenv("KAVRO_SKIP_MEMORY_TESTS"))
        GTEST_SKIP() << "KAVRO_SKIP_MEMORY_TESTS is set";
    for (const int count : {100, 200000})
        writePointLayer(path(std::to_string(count) + ".gpkg"), count);
    const KavroRun small = convert(path("100.gpkg"), path("small.gpkg"));
    const KavroRun large = convert(path("200000.gpkg"), path("large.gpkg"));
    EXPECT_EQ(large.report(),
              converted(path("200000.gpkg"), path("large.gpkg")));
    if (peakIsProgramsOwn()) {
        EXPECT_LT(large.peakResidentKiB, 64 * 1024);
        EXPECT_LT(large.peakResidentKiB, small.peakResidentKiB + 40 * 1024);
    }
}

// Where GDAL is installed: the output of a GeoPackage that GDAL wrote and of
// one with every kind of content passes GDAL's own validator, and ogrinfo
// reads the layers in the target system. (The validator of GDAL 3.6 reads
// the empty flag from the wrong bit and refuses GDAL's own empty
// geometries, so the empty point is left out here.)
TEST_F(GeoPackageRunTest, GdalValidatesAndReadsTheOutput) {
    const Gdal tools = gdal();
    if (!tools.present)
        GTEST_SKIP() << "GDAL's validator, ogrinfo or ogr2ogr is not installed";
    const std::string samples =
        std::string(KAVRO_SOURCE_DIR) + "/data/samples/";
    const ProgramRun made = runProgram(
        tools.ogr2ogr,
        {"-f", "GPKG", "-a_srs", "EPSG:3003", "-nlt", "PROMOTE_TO_MULTI",
         path("gdal.gpkg"), samples + "gbo_lines.shp"},
        root_);
    ASSERT_EQ(made.status, 0) << made.err;
    writeMixedGeoPackage(path("mixed.gpkg"));
    {
        SqliteDb db;
        std::string reason;
        ASSERT_TRUE(
            openSqlite(path("mixed.gpkg"), SQLITE_OPEN_READWRITE, db, reason));
        ASSERT_TRUE(executeSqlite(db.get(), "DELETE FROM punti WHERE fid = 3"));
    }
    for (const char *name : {"gdal", "mixed"}) {
        SCOPED_TRACE(name);
        const std::string input = path(std::string(name) + ".gpkg");
        const std::string output = path(std::string(name) + "_utm.gpkg");
        ASSERT_EQ(convert(input, output).report(), converted(input, output));
        const ProgramRun validated =
            runProgram(tools.python, {tools.validator, output}, root_);
        EXPECT_EQ(validated.status, 0) << validated.out << validated.err;
        EXPECT_EQ(validated.out + validated.err, "");
        const ProgramRun info =
            runProgram(tools.ogrinfo, {"-so", "-al", output}, root_);
        EXPECT_EQ(info.status, 0) << info.err;
        // Each layer's system is EPSG:25832.
        const auto count = [&](const std::string &text) {
            std::size_t n = 0;
            for (std::size_t at = info.out.find(text); at != std::string::npos;
                 at = info.out.find(text, at + 1))
                ++n;
            return n;
        };
        EXPECT_GT(count("Geometry Column = "), 0u);
        EXPECT_EQ(count("ID[\"EPSG\",25832]]"), count("Geometry Column = "))
            << info.out;
    }
}

} // namespace
