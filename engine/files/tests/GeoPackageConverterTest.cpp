#include "GeoPackageConverter.h"
#include "GeoPackageRtree.h"
#include "GeoPackageTestFiles.h"
#include "TestFiles.h"
#include "TransformationScript.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <map>
#include <set>

namespace fs = std::filesystem;
using namespace gpkgtest;
using kavrotest::readFile;

namespace {

// Every value of a database as text, table by table in row order, except
// the geometry columns of the layers and the three tables a conversion
// rewrites: what must come through unchanged.
using Contents = std::map<std::string, std::vector<std::string>>;

Contents contentsBesideGeometries(sqlite3 *db) {
    const std::set<std::string> rewritten = {
        "gpkg_contents", "gpkg_geometry_columns", "gpkg_spatial_ref_sys"};
    std::set<std::string> geometryColumns;
    SqliteStatement columns =
        prepareSqlite(db, "SELECT table_name || '.' || column_name FROM "
                          "gpkg_geometry_columns");
    while (sqlite3_step(columns.get()) == SQLITE_ROW)
        geometryColumns.insert(columnText(columns.get(), 0));
    std::vector<std::string> tables;
    SqliteStatement list = prepareSqlite(
        db, "SELECT name FROM sqlite_master WHERE type = 'table' AND name "
            "NOT LIKE 'rtree_%' AND name NOT LIKE 'sqlite_%' ORDER BY name");
    while (sqlite3_step(list.get()) == SQLITE_ROW)
        tables.push_back(columnText(list.get(), 0));
    Contents contents;
    for (const std::string &table : tables) {
        if (rewritten.count(table))
            continue;
        SqliteStatement rows = prepareSqlite(
            db, "SELECT * FROM " + quoteSqlIdentifier(table) + " ORDER BY 1");
        std::vector<std::string> &values = contents[table];
        while (sqlite3_step(rows.get()) == SQLITE_ROW) {
            for (int i = 0; i < sqlite3_column_count(rows.get()); ++i) {
                if (geometryColumns.count(table + "." +
                                          sqlite3_column_name(rows.get(), i)))
                    continue;
                values.push_back(
                    std::to_string(sqlite3_column_type(rows.get(), i)) + ":" +
                    columnText(rows.get(), i));
            }
        }
    }
    SqliteStatement schema = prepareSqlite(
        db, "SELECT type || ' ' || name || ': ' || ifnull(sql, '') FROM "
            "sqlite_master ORDER BY name");
    while (sqlite3_step(schema.get()) == SQLITE_ROW)
        contents["schema"].push_back(columnText(schema.get(), 0));
    return contents;
}

struct Feature {
    std::int64_t id;
    Bytes blob;
};

std::vector<Feature> features(sqlite3 *db, const std::string &table) {
    std::vector<Feature> result;
    SqliteStatement rows =
        prepareSqlite(db, "SELECT fid, geom FROM " + quoteSqlIdentifier(table) +
                              " ORDER BY fid");
    while (sqlite3_step(rows.get()) == SQLITE_ROW) {
        const std::span<const std::uint8_t> geometry =
            columnBlob(rows.get(), 1);
        result.push_back({sqlite3_column_int64(rows.get(), 0),
                          Bytes(geometry.begin(), geometry.end())});
    }
    return result;
}

SqliteDb openDatabase(const fs::path &path) {
    SqliteDb db;
    std::string reason;
    EXPECT_TRUE(openSqlite(path.string(), SQLITE_OPEN_READONLY, db, reason))
        << reason;
    return db;
}

// The folder's entries that are not the named ones: what a run left.
std::vector<std::string> others(const fs::path &folder,
                                std::set<std::string> expected) {
    std::vector<std::string> left;
    for (const auto &entry : fs::directory_iterator(folder))
        if (!expected.count(entry.path().filename().string()))
            left.push_back(entry.path().filename().string());
    return left;
}

class GeoPackageConverterTest : public testing::Test {
  protected:
    void SetUp() override {
        dir_ = kavrotest::freshFolder("kavro_gpkgconv_");
        ASSERT_TRUE(script_.load());
    }
    void TearDown() override { kavrotest::removeFolder(dir_); }
    fs::path path(const std::string &name) const { return dir_ / name; }
    bool run(const fs::path &input, const fs::path &output) {
        converter_.setInputPath(input.string());
        converter_.setOutputPath(output.string());
        return converter_.open() && converter_.convert();
    }

    fs::path dir_;
    std::string scriptPath_ =
        std::string(KAVRO_ENGINE_DIR) + "/script/GBO-UTM32ETRS89-VLM.xml";
    TransformationScript script_{scriptPath_};
    GeoPackageConverter converter_{script_};
};

// The whole promise on one file: every vertex converted by the chain and
// nothing else of the blob changed but the srs_id and the envelope; every
// other value, table and schema entry the same; the layers in the target
// system with their extents; the R-trees those of the new geometries; the
// input untouched.
TEST_F(GeoPackageConverterTest, ConvertsTheGeometriesAndKeepsEverythingElse) {
    writeMixedGeoPackage(path("in.gpkg"));
    const std::string inputBytes = readFile(path("in.gpkg"));
    ASSERT_TRUE(run(path("in.gpkg"), path("out.gpkg")))
        << converter_.errorMessage();
    EXPECT_EQ(readFile(path("in.gpkg")), inputBytes);
    EXPECT_EQ(others(dir_, {"in.gpkg", "out.gpkg"}),
              std::vector<std::string>{});

    const SqliteDb in = openDatabase(path("in.gpkg"));
    const SqliteDb out = openDatabase(path("out.gpkg"));
    EXPECT_EQ(contentsBesideGeometries(out.get()),
              contentsBesideGeometries(in.get()));

    const ScriptSystem &target = *script_.targetSystem();
    SqliteStatement srs = prepareSqlite(
        out.get(), "SELECT srs_id, organization, organization_coordsys_id, "
                   "definition FROM gpkg_spatial_ref_sys WHERE srs_id = ?1");
    sqlite3_bind_int(srs.get(), 1, target.epsgCode);
    ASSERT_EQ(sqlite3_step(srs.get()), SQLITE_ROW);
    EXPECT_EQ(columnText(srs.get(), 1), "EPSG");
    EXPECT_EQ(sqlite3_column_int(srs.get(), 2), target.epsgCode);
    EXPECT_EQ(columnText(srs.get(), 3), target.ogcWkt);

    for (const char *layer : {"punti", "linee", "poligoni", "curve"}) {
        SCOPED_TRACE(layer);
        gpkg::Bounds extent;
        const std::vector<Feature> before = features(in.get(), layer);
        const std::vector<Feature> after = features(out.get(), layer);
        ASSERT_EQ(after.size(), before.size());
        std::map<std::int64_t, gpkg::Bounds> bounds;
        for (std::size_t i = 0; i < after.size(); ++i) {
            SCOPED_TRACE(after[i].id);
            if (before[i].blob.empty()) {
                EXPECT_TRUE(after[i].blob.empty());
                continue;
            }
            gpkg::GeometryBlob old, now;
            std::vector<gpkg::VertexRun> runs, newRuns;
            std::string reason;
            ASSERT_TRUE(
                gpkg::readGeometryBlob(before[i].blob, old, runs, reason));
            ASSERT_TRUE(
                gpkg::readGeometryBlob(after[i].blob, now, newRuns, reason));
            EXPECT_EQ(now.srsId, target.epsgCode);
            std::vector<Point> expected(gpkg::vertexCount(runs));
            gpkg::takeVertices(before[i].blob, runs, expected.data());
            std::vector<Point> got(expected.size());
            gpkg::takeVertices(after[i].blob, runs, got.data());
            gpkg::Bounds own;
            for (std::size_t v = 0; v < expected.size(); ++v) {
                ASSERT_TRUE(script_.transformPoint(expected[v]));
                EXPECT_EQ(got[v].x, expected[v].x);
                EXPECT_EQ(got[v].y, expected[v].y);
                own.addXY(got[v].x, got[v].y);
            }
            // Apart from the vertices' x and y and the header's srs_id and
            // envelope, the bytes are the input's.
            Bytes masked = after[i].blob, original = before[i].blob;
            for (Bytes *b : {&masked, &original}) {
                std::fill(b->begin() + 4, b->begin() + old.headerSize, 0);
                for (const gpkg::VertexRun &run : runs)
                    for (std::uint32_t k = 0; k < run.count; ++k)
                        std::fill_n(b->begin() + run.offset + k * run.stride,
                                    16, 0);
            }
            EXPECT_EQ(masked, original);
            gpkg::Bounds stated;
            if (gpkg::headerBounds(after[i].blob, stated)) {
                EXPECT_EQ(stated.minX, own.minX);
                EXPECT_EQ(stated.maxY, own.maxY);
            }
            extent.addXY(own);
            if (own.hasXY())
                bounds[after[i].id] = own;
        }

        SqliteStatement contents = prepareSqlite(
            out.get(), "SELECT c.srs_id, g.srs_id, min_x, min_y, max_x, "
                       "max_y, last_change FROM gpkg_contents c JOIN "
                       "gpkg_geometry_columns g USING (table_name) WHERE "
                       "table_name = ?1");
        sqlite3_bind_text(contents.get(), 1, layer, -1, SQLITE_STATIC);
        ASSERT_EQ(sqlite3_step(contents.get()), SQLITE_ROW);
        EXPECT_EQ(sqlite3_column_int(contents.get(), 0), target.epsgCode);
        EXPECT_EQ(sqlite3_column_int(contents.get(), 1), target.epsgCode);
        EXPECT_EQ(sqlite3_column_double(contents.get(), 2), extent.minX);
        EXPECT_EQ(sqlite3_column_double(contents.get(), 3), extent.minY);
        EXPECT_EQ(sqlite3_column_double(contents.get(), 4), extent.maxX);
        EXPECT_EQ(sqlite3_column_double(contents.get(), 5), extent.maxY);
        EXPECT_NE(columnText(contents.get(), 6), "2001-01-01T00:00:00.000Z");

        // The index holds every non-empty geometry with the bounds SQLite
        // stores for it, and its tree is sound.
        const std::string rtree = std::string("rtree_") + layer + "_geom";
        SqliteStatement entries = prepareSqlite(
            out.get(), "SELECT id, minx, maxx, miny, maxy FROM " + rtree);
        std::size_t count = 0;
        while (sqlite3_step(entries.get()) == SQLITE_ROW) {
            ++count;
            const auto found =
                bounds.find(sqlite3_column_int64(entries.get(), 0));
            ASSERT_NE(found, bounds.end());
            const gpkg::Bounds &b = found->second;
            EXPECT_EQ(sqlite3_column_double(entries.get(), 1),
                      rtreeLowerBound(b.minX));
            EXPECT_EQ(sqlite3_column_double(entries.get(), 2),
                      rtreeUpperBound(b.maxX));
            EXPECT_EQ(sqlite3_column_double(entries.get(), 3),
                      rtreeLowerBound(b.minY));
            EXPECT_EQ(sqlite3_column_double(entries.get(), 4),
                      rtreeUpperBound(b.maxY));
        }
        EXPECT_EQ(count, bounds.size());
        SqliteStatement check =
            prepareSqlite(out.get(), "SELECT rtreecheck('" + rtree + "')");
        ASSERT_EQ(sqlite3_step(check.get()), SQLITE_ROW);
        EXPECT_EQ(columnText(check.get(), 0), "ok");
    }
}

// An index whose tree is deep, refreshed in place (with the boxes the
// conversion kept, or with its features read back from the table), and
// indexes that do not match their table (an entry missing, one for no
// feature), built anew: each ends with exactly the geometries' bounds in a
// sound tree.
TEST_F(GeoPackageConverterTest, RtreesEndWithTheNewBoundsWhateverTheyWere) {
    const struct {
        const char *name;
        const char *damage; // SQL run on the input's index
        bool kept;          // the tree keeps its shape
        bool readBack;      // refreshed in place without kept boxes
    } cases[] = {
        {"whole", "", true, false},
        {"boxes wrong, read back",
         "UPDATE rtree_points_geom SET minx = minx - 9, maxy = maxy + 9", true,
         true},
        {"an entry missing", "DELETE FROM rtree_points_geom WHERE id = 77",
         false, false},
        {"an entry for no feature",
         "INSERT INTO rtree_points_geom VALUES (999999, 1, 2, 3, 4)", false,
         false},
    };
    // Which leaf holds which feature.
    const auto leaves = [](sqlite3 *db) {
        std::string shape;
        SqliteStatement rows = prepareSqlite(
            db, "SELECT rowid, nodeno FROM rtree_points_geom_rowid ORDER BY 1");
        while (sqlite3_step(rows.get()) == SQLITE_ROW)
            shape += columnText(rows.get(), 0) + ":" +
                     columnText(rows.get(), 1) + " ";
        return shape;
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        writePointLayer(path("in.gpkg"), 10000);
        {
            SqliteDb db;
            std::string reason;
            ASSERT_TRUE(openSqlite(path("in.gpkg").string(),
                                   SQLITE_OPEN_READWRITE, db, reason));
            ASSERT_TRUE(executeSqlite(db.get(), c.damage));
        }
        const std::string before = leaves(openDatabase(path("in.gpkg")).get());
        if (c.readBack) {
            SqliteDb db;
            std::vector<GeoPackageLayer> layers;
            std::string reason;
            ASSERT_TRUE(openSqlite(path("in.gpkg").string(),
                                   SQLITE_OPEN_READWRITE, db, reason) &&
                        readGeoPackageLayers(db.get(), layers, reason));
            ASSERT_TRUE(refreshRtree(db.get(), layers.at(0), 10000, {}, reason))
                << reason;
        } else {
            ASSERT_TRUE(run(path("in.gpkg"), path("out.gpkg")))
                << converter_.errorMessage();
        }
        const SqliteDb out =
            openDatabase(path(c.readBack ? "in.gpkg" : "out.gpkg"));
        EXPECT_EQ(leaves(out.get()) == before, c.kept);
        std::map<std::int64_t, gpkg::Bounds> bounds;
        for (const Feature &f : features(out.get(), "points")) {
            std::string reason;
            ASSERT_TRUE(gpkg::geometryBounds(f.blob, bounds[f.id], reason));
        }
        SqliteStatement entries = prepareSqlite(
            out.get(),
            "SELECT id, minx, maxx, miny, maxy FROM rtree_points_geom");
        std::size_t count = 0;
        while (sqlite3_step(entries.get()) == SQLITE_ROW) {
            ++count;
            const gpkg::Bounds &b =
                bounds.at(sqlite3_column_int64(entries.get(), 0));
            ASSERT_EQ(sqlite3_column_double(entries.get(), 1),
                      rtreeLowerBound(b.minX));
            ASSERT_EQ(sqlite3_column_double(entries.get(), 4),
                      rtreeUpperBound(b.maxY));
        }
        EXPECT_EQ(count, bounds.size());
        SqliteStatement check = prepareSqlite(
            out.get(),
            "SELECT rtreecheck('rtree_points_geom'), (SELECT "
            "max(length(data) > 4 AND substr(data, 1, 2) != "
            "x'0000') FROM rtree_points_geom_node WHERE nodeno = 1)");
        ASSERT_EQ(sqlite3_step(check.get()), SQLITE_ROW);
        EXPECT_EQ(columnText(check.get(), 0), "ok");
        EXPECT_EQ(sqlite3_column_int(check.get(), 1), 1)
            << "a tree of one level";
    }
}

// The bounds SQLite's R*Tree stores: never inside the value, at most a
// relative 2^-23 beyond it.
TEST(GeoPackageRtree, RoundsBoundsOutwardsAsSqliteDoes) {
    for (const double v : {0.0, 1.0, -1.0, 0.1, -0.1, 5103702.47, -5103702.47,
                           1e-30, 3.4e38, 16777217.0}) {
        SCOPED_TRACE(v);
        EXPECT_LE(rtreeLowerBound(v), v);
        EXPECT_GE(rtreeUpperBound(v), v);
        EXPECT_LE(std::abs(rtreeUpperBound(v) - rtreeLowerBound(v)),
                  std::abs(v) * 2.5e-7);
    }
}

// What cannot be converted fails with its reason, writes nothing under the
// final name, keeps an earlier output there and leaves no temporary file.
TEST_F(GeoPackageConverterTest, RefusalsSayWhyAndLeaveNothingHalfWritten) {
    const auto geoPackage =
        [&](const std::string &name,
            const std::function<void(GeoPackageBuilder &)> &fill) {
            GeoPackageBuilder g(path(name));
            fill(g);
        };
    kavrotest::writeFile(path("text.gpkg"), "x y\n1 2\n");
    {
        SqliteDb db;
        std::string reason;
        openSqlite(path("plain.gpkg").string(),
                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, db, reason);
        executeSqlite(db.get(), "CREATE TABLE t (a)");
    }
    geoPackage("tiles.gpkg", [](GeoPackageBuilder &) {});
    geoPackage("cut.gpkg", [](GeoPackageBuilder &g) {
        g.addLayer("roads", "LINESTRING", 3003);
        g.addFeature("roads", 1, blob(lineString({{1, 2}, {3, 4}})));
        Bytes cut = blob(lineString({{1, 2}, {3, 4}}));
        cut.resize(cut.size() - 3);
        g.addFeature("roads", 2, cut);
    });
    geoPackage("text geometry.gpkg", [](GeoPackageBuilder &g) {
        g.addLayer("roads", "LINESTRING", 3003);
        g.execute("INSERT INTO roads VALUES (5, 'LINESTRING (1 2, 3 4)')");
    });
    geoPackage("view.gpkg", [](GeoPackageBuilder &g) {
        g.addLayer("roads", "LINESTRING", 3003);
        g.execute("CREATE VIEW v AS SELECT * FROM roads; INSERT INTO "
                  "gpkg_contents (table_name, data_type) VALUES ('v', "
                  "'features'); INSERT INTO gpkg_geometry_columns VALUES "
                  "('v', 'geom', 'LINESTRING', 3003, 0, 0)");
    });
    fs::create_directory(path("folder.gpkg"));

    const struct {
        const char *input;
        const char *output;
        const char *message;
    } cases[] = {
        {"missing.gpkg", "out.gpkg",
         "Unable to open the input GeoPackage: No such file or directory"},
        {"text.gpkg", "out.gpkg",
         "The input is not a GeoPackage: file is not a database"},
        {"plain.gpkg", "out.gpkg",
         "The input is not a GeoPackage: it has no table gpkg_spatial_ref_sys"},
        {"tiles.gpkg", "out.gpkg",
         "The input GeoPackage has no feature tables"},
        {"cut.gpkg", "out.gpkg",
         "Unable to convert feature 2 of layer roads: the blob ends inside "
         "its 2 coordinates"},
        {"text geometry.gpkg", "out.gpkg",
         "Unable to convert feature 5 of layer roads: its geometry is not a "
         "blob"},
        {"view.gpkg", "out.gpkg",
         "Layer v is a view; its geometries belong to the tables it reads"},
        {"cut.gpkg", "cut.gpkg",
         "Output GeoPackage is the input GeoPackage; it was left untouched"},
        {"tiles.gpkg", "folder.gpkg",
         "Unable to create the output GeoPackage: it is a folder"},
    };
    kavrotest::writeFile(path("out.gpkg"), "an earlier output");
    const std::set<std::string> inputs = {
        "text.gpkg", "plain.gpkg", "tiles.gpkg",  "cut.gpkg",
        "view.gpkg", "out.gpkg",   "folder.gpkg", "text geometry.gpkg"};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.input);
        EXPECT_FALSE(run(path(c.input), path(c.output)));
        EXPECT_EQ(converter_.errorMessage(), c.message);
        EXPECT_EQ(readFile(path("out.gpkg")), "an earlier output");
        EXPECT_EQ(others(dir_, inputs), std::vector<std::string>{});
    }
}

// A database in WAL mode whose log holds rows that its file does not: the
// output has them, converted, is in WAL mode itself, and has no log beside
// it.
TEST_F(GeoPackageConverterTest, TakesWhatTheLogOfADatabaseInWalModeHolds) {
    {
        GeoPackageBuilder g(path("in.gpkg"));
        g.addLayer("roads", "LINESTRING", 3003);
        g.addFeature(
            "roads", 1,
            blob(lineString({{1600000, 5000000}, {1600100, 5000100}})));
    }
    SqliteDb writer;
    std::string reason;
    ASSERT_TRUE(openSqlite(path("in.gpkg").string(), SQLITE_OPEN_READWRITE,
                           writer, reason));
    ASSERT_TRUE(executeSqlite(writer.get(), "PRAGMA journal_mode = WAL; "
                                            "PRAGMA wal_autocheckpoint = 0"));
    const Bytes logged =
        blob(lineString({{1610000, 5010000}, {1610100, 5010100}}));
    SqliteStatement insert =
        prepareSqlite(writer.get(), "INSERT INTO roads VALUES (2, ?1)");
    sqlite3_bind_blob(insert.get(), 1, logged.data(),
                      static_cast<int>(logged.size()), SQLITE_STATIC);
    ASSERT_EQ(sqlite3_step(insert.get()), SQLITE_DONE);
    ASSERT_GT(fs::file_size(path("in.gpkg-wal")), 0u);

    ASSERT_TRUE(run(path("in.gpkg"), path("out.gpkg")))
        << converter_.errorMessage();
    insert.reset();
    writer.reset();
    EXPECT_FALSE(fs::exists(path("out.gpkg-wal")));
    EXPECT_FALSE(fs::exists(path("out.gpkg-shm")));
    const SqliteDb out = openDatabase(path("out.gpkg"));
    SqliteStatement mode = prepareSqlite(out.get(), "PRAGMA journal_mode");
    ASSERT_EQ(sqlite3_step(mode.get()), SQLITE_ROW);
    EXPECT_EQ(columnText(mode.get(), 0), "wal");
    const std::vector<Feature> rows = features(out.get(), "roads");
    ASSERT_EQ(rows.size(), 2u);
    Point start{{1610000, 5010000}};
    ASSERT_TRUE(script_.transformPoint(start));
    gpkg::GeometryBlob info;
    std::vector<gpkg::VertexRun> runs;
    ASSERT_TRUE(gpkg::readGeometryBlob(rows[1].blob, info, runs, reason));
    std::vector<Point> vertices(gpkg::vertexCount(runs));
    gpkg::takeVertices(rows[1].blob, runs, vertices.data());
    EXPECT_EQ(vertices.at(0).x, start.x);
    EXPECT_EQ(vertices.at(0).y, start.y);
}

} // namespace
