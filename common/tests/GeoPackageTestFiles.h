#pragma once

// GeoPackages for the tests, written through SQLite as the GeoPackage
// standard lays them out (core tables, the required systems, feature tables
// with the R-tree index and its triggers), and the geometry blobs in them,
// in either byte order and with any envelope kind.

#include "GeoPackageGeometry.h"
#include "SqliteHandle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

namespace gpkgtest {

using Bytes = std::vector<std::uint8_t>;

struct Vertex {
    double x = 0, y = 0, z = 0, m = 0;
};

// The coordinates a vertex has; the number is the ISO type's thousands.
enum class Dims { XY = 0, XYZ = 1, XYM = 2, XYZM = 3 };

using enum gpkg::WkbType;

// Well-known binary, written piece by piece in one byte order.
class Wkb {
  public:
    explicit Wkb(bool littleEndian = true, Dims dims = Dims::XY)
        : littleEndian_(littleEndian), dims_(dims) {}

    Wkb &type(std::uint32_t base) {
        bytes_.push_back(littleEndian_ ? 1 : 0);
        return word(base + 1000 * static_cast<std::uint32_t>(dims_));
    }
    Wkb &word(std::uint32_t value) {
        std::uint8_t b[4];
        std::memcpy(b, &value, 4);
        if (!littleEndian_)
            std::swap(b[0], b[3]), std::swap(b[1], b[2]);
        bytes_.insert(bytes_.end(), b, b + 4);
        return *this;
    }
    Wkb &number(double value) {
        std::uint8_t b[8];
        gpkg::detail::storeDouble(b, value, littleEndian_);
        bytes_.insert(bytes_.end(), b, b + 8);
        return *this;
    }
    Wkb &vertex(const Vertex &v) {
        number(v.x).number(v.y);
        if (dims_ == Dims::XYZ || dims_ == Dims::XYZM)
            number(v.z);
        if (dims_ == Dims::XYM || dims_ == Dims::XYZM)
            number(v.m);
        return *this;
    }
    Wkb &vertices(const std::vector<Vertex> &vs) {
        word(static_cast<std::uint32_t>(vs.size()));
        for (const Vertex &v : vs)
            vertex(v);
        return *this;
    }
    Wkb &append(const Bytes &member) {
        bytes_.insert(bytes_.end(), member.begin(), member.end());
        return *this;
    }
    const Bytes &bytes() const { return bytes_; }

  private:
    bool littleEndian_;
    Dims dims_;
    Bytes bytes_;
};

// How a geometry is written: WKB byte order and coordinates.
struct Form {
    bool littleEndian = true;
    Dims dims = Dims::XY;
};

inline Bytes point(const Vertex &v, Form f = {}) {
    return Wkb(f.littleEndian, f.dims).type(kPoint).vertex(v).bytes();
}
inline Bytes lineString(const std::vector<Vertex> &vs, Form f = {},
                        std::uint32_t type = kLineString) {
    return Wkb(f.littleEndian, f.dims).type(type).vertices(vs).bytes();
}
inline Bytes polygon(const std::vector<std::vector<Vertex>> &rings,
                     Form f = {}) {
    Wkb wkb(f.littleEndian, f.dims);
    wkb.type(kPolygon).word(static_cast<std::uint32_t>(rings.size()));
    for (const auto &ring : rings)
        wkb.vertices(ring);
    return wkb.bytes();
}
// A collection type around members written on their own.
inline Bytes collection(std::uint32_t type, const std::vector<Bytes> &members,
                        Form f = {}) {
    Wkb wkb(f.littleEndian, f.dims);
    wkb.type(type).word(static_cast<std::uint32_t>(members.size()));
    for (const Bytes &member : members)
        wkb.append(member);
    return wkb.bytes();
}

// The GeoPackage header before a WKB geometry; the envelope is written
// with zeros, which the converter must replace.
struct Header {
    std::int32_t srsId = 3003;
    gpkg::EnvelopeKind envelope = gpkg::EnvelopeKind::XY;
    bool littleEndian = true;
    bool empty = false;
};

inline Bytes blob(const Bytes &wkb, Header h = {}) {
    Bytes out = {
        'G', 'P', 0,
        static_cast<std::uint8_t>((h.littleEndian ? 1 : 0) |
                                  (static_cast<unsigned>(h.envelope) << 1) |
                                  (h.empty ? 0x10 : 0))};
    Wkb header(h.littleEndian);
    header.word(static_cast<std::uint32_t>(h.srsId));
    for (std::size_t i = 0; i < gpkg::envelopeValues(h.envelope); ++i)
        header.number(0);
    out.insert(out.end(), header.bytes().begin(), header.bytes().end());
    out.insert(out.end(), wkb.begin(), wkb.end());
    return out;
}

// Systems as `projinfo EPSG:<code> -o WKT1_GDAL --single-line -q` (PROJ
// 9.1.1) writes them.
inline const char *const kMonteMarioZone1Wkt =
    R"(PROJCS["Monte Mario / Italy zone 1",GEOGCS["Monte Mario",DATUM["Monte_Mario",SPHEROID["International 1924",6378388,297,AUTHORITY["EPSG","7022"]],AUTHORITY["EPSG","6265"]],PRIMEM["Greenwich",0,AUTHORITY["EPSG","8901"]],UNIT["degree",0.0174532925199433,AUTHORITY["EPSG","9122"]],AUTHORITY["EPSG","4265"]],PROJECTION["Transverse_Mercator"],PARAMETER["latitude_of_origin",0],PARAMETER["central_meridian",9],PARAMETER["scale_factor",0.9996],PARAMETER["false_easting",1500000],PARAMETER["false_northing",0],UNIT["metre",1,AUTHORITY["EPSG","9001"]],AXIS["Easting",EAST],AXIS["Northing",NORTH],AUTHORITY["EPSG","3003"]])";
inline const char *const kUtm32Etrs89Wkt =
    R"(PROJCS["ETRS89 / UTM zone 32N",GEOGCS["ETRS89",DATUM["European_Terrestrial_Reference_System_1989",SPHEROID["GRS 1980",6378137,298.257222101,AUTHORITY["EPSG","7019"]],AUTHORITY["EPSG","6258"]],PRIMEM["Greenwich",0,AUTHORITY["EPSG","8901"]],UNIT["degree",0.0174532925199433,AUTHORITY["EPSG","9122"]],AUTHORITY["EPSG","4258"]],PROJECTION["Transverse_Mercator"],PARAMETER["latitude_of_origin",0],PARAMETER["central_meridian",9],PARAMETER["scale_factor",0.9996],PARAMETER["false_easting",500000],PARAMETER["false_northing",0],UNIT["metre",1,AUTHORITY["EPSG","9001"]],AXIS["Easting",EAST],AXIS["Northing",NORTH],AUTHORITY["EPSG","25832"]])";

// A new GeoPackage with the core tables and the three systems every
// GeoPackage has, plus Monte Mario / Italy zone 1 (srs_id 3003). Feature
// tables are added with addLayer, filled with addFeature and indexed with
// addRtree once filled (the index's triggers call functions that plain
// SQLite lacks, so they are created last). Every failure fails the test.
class GeoPackageBuilder {
  public:
    explicit GeoPackageBuilder(const std::filesystem::path &path) {
        std::filesystem::remove(path);
        std::string reason;
        EXPECT_TRUE(openSqlite(path.string(),
                               SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, db_,
                               reason))
            << reason;
        execute(R"(
PRAGMA synchronous = OFF;
PRAGMA application_id = 1196444487;
PRAGMA user_version = 10300;
CREATE TABLE gpkg_spatial_ref_sys (srs_name TEXT NOT NULL,
  srs_id INTEGER NOT NULL PRIMARY KEY, organization TEXT NOT NULL,
  organization_coordsys_id INTEGER NOT NULL, definition TEXT NOT NULL,
  description TEXT);
CREATE TABLE gpkg_contents (table_name TEXT NOT NULL PRIMARY KEY,
  data_type TEXT NOT NULL, identifier TEXT UNIQUE,
  description TEXT DEFAULT '',
  last_change DATETIME NOT NULL DEFAULT (strftime('%Y-%m-%dT%H:%M:%fZ','now')),
  min_x DOUBLE, min_y DOUBLE, max_x DOUBLE, max_y DOUBLE, srs_id INTEGER,
  CONSTRAINT fk_gc_r_srs_id FOREIGN KEY (srs_id)
    REFERENCES gpkg_spatial_ref_sys(srs_id));
CREATE TABLE gpkg_geometry_columns (table_name TEXT NOT NULL,
  column_name TEXT NOT NULL, geometry_type_name TEXT NOT NULL,
  srs_id INTEGER NOT NULL, z TINYINT NOT NULL, m TINYINT NOT NULL,
  CONSTRAINT pk_geom_cols PRIMARY KEY (table_name, column_name),
  CONSTRAINT uk_gc_table_name UNIQUE (table_name),
  CONSTRAINT fk_gc_tn FOREIGN KEY (table_name)
    REFERENCES gpkg_contents(table_name),
  CONSTRAINT fk_gc_srs FOREIGN KEY (srs_id)
    REFERENCES gpkg_spatial_ref_sys (srs_id));
CREATE TABLE gpkg_extensions (table_name TEXT, column_name TEXT,
  extension_name TEXT NOT NULL, definition TEXT NOT NULL,
  scope TEXT NOT NULL,
  CONSTRAINT ge_tce UNIQUE (table_name, column_name, extension_name));
INSERT INTO gpkg_spatial_ref_sys VALUES
  ('Undefined cartesian SRS', -1, 'NONE', -1, 'undefined',
   'undefined cartesian coordinate reference system'),
  ('Undefined geographic SRS', 0, 'NONE', 0, 'undefined',
   'undefined geographic coordinate reference system'),
  ('WGS 84 geodetic', 4326, 'EPSG', 4326, 'GEOGCS["WGS 84",DATUM["WGS_1984",SPHEROID["WGS 84",6378137,298.257223563,AUTHORITY["EPSG","7030"]],AUTHORITY["EPSG","6326"]],PRIMEM["Greenwich",0,AUTHORITY["EPSG","8901"]],UNIT["degree",0.0174532925199433,AUTHORITY["EPSG","9122"]],AXIS["Latitude",NORTH],AXIS["Longitude",EAST],AUTHORITY["EPSG","4326"]]',
   'longitude/latitude coordinates in decimal degrees on the WGS 84 spheroid');
)");
        addSrs(3003, "EPSG", 3003, "Monte Mario / Italy zone 1",
               kMonteMarioZone1Wkt);
    }

    sqlite3 *db() const { return db_.get(); }

    void execute(const std::string &sql) {
        char *error = nullptr;
        sqlite3_exec(db_.get(), sql.c_str(), nullptr, nullptr, &error);
        EXPECT_EQ(error, nullptr) << error << "\n" << sql;
        sqlite3_free(error);
    }

    void addSrs(std::int64_t id, const std::string &organization,
                std::int64_t code, const std::string &name,
                const std::string &definition) {
        execute("INSERT INTO gpkg_spatial_ref_sys VALUES (" + literal(name) +
                ", " + std::to_string(id) + ", " + literal(organization) +
                ", " + std::to_string(code) + ", " + literal(definition) +
                ", NULL)");
    }

    // A feature table "fid INTEGER PRIMARY KEY AUTOINCREMENT, <column>
    // <type>, <attributes>" registered in gpkg_contents (with a wrong
    // extent, which the converter must replace) and gpkg_geometry_columns.
    void addLayer(const std::string &table, const std::string &type,
                  std::int64_t srsId, int z = 0, int m = 0,
                  const std::string &attributes = "",
                  const std::string &column = "geom") {
        execute("CREATE TABLE " + quoteSqlIdentifier(table) +
                " (fid INTEGER PRIMARY KEY AUTOINCREMENT, " +
                quoteSqlIdentifier(column) + " " + type +
                (attributes.empty() ? "" : ", " + attributes) + ")");
        execute("INSERT INTO gpkg_contents (table_name, data_type, "
                "identifier, min_x, min_y, max_x, max_y, srs_id, "
                "last_change) VALUES (" +
                literal(table) + ", 'features', " + literal(table) +
                ", 0, 0, 1, 1, " + std::to_string(srsId) +
                ", '2001-01-01T00:00:00.000Z')");
        execute("INSERT INTO gpkg_geometry_columns VALUES (" + literal(table) +
                ", " + literal(column) + ", " + literal(type) + ", " +
                std::to_string(srsId) + ", " + std::to_string(z) + ", " +
                std::to_string(m) + ")");
    }

    // One row: its fid, its geometry (NULL when empty) and the attribute
    // values as SQL literals ("'text', 2.5"), in the order of the table's
    // attribute columns.
    void addFeature(const std::string &table, std::int64_t fid,
                    const Bytes &geometry, const std::string &values = "") {
        const std::string sql = "INSERT INTO " + quoteSqlIdentifier(table) +
                                " VALUES (?1, ?2" +
                                (values.empty() ? "" : ", " + values) + ")";
        if (sql != insertSql_) { // the statement of the last row serves
            insert_ = prepareSqlite(db_.get(), sql);
            insertSql_ = sql;
        }
        ASSERT_TRUE(insert_) << sqlite3_errmsg(db_.get());
        sqlite3_bind_int64(insert_.get(), 1, fid);
        if (geometry.empty())
            sqlite3_bind_null(insert_.get(), 2);
        else
            sqlite3_bind_blob(insert_.get(), 2, geometry.data(),
                              static_cast<int>(geometry.size()),
                              SQLITE_TRANSIENT);
        EXPECT_EQ(sqlite3_step(insert_.get()), SQLITE_DONE)
            << sqlite3_errmsg(db_.get());
        sqlite3_reset(insert_.get());
    }

    // The R-tree index of a filled layer, its six triggers as the standard
    // writes them, and its row in gpkg_extensions.
    void addRtree(const std::string &table,
                  const std::string &column = "geom") {
        const std::string rtree = "rtree_" + table + "_" + column;
        const std::string r = quoteSqlIdentifier(rtree);
        const std::string t = quoteSqlIdentifier(table);
        const std::string c = quoteSqlIdentifier(column);
        execute("BEGIN; CREATE VIRTUAL TABLE " + r +
                " USING rtree(id, minx, maxx, miny, maxy)");
        SqliteStatement rows =
            prepareSqlite(db_.get(), "SELECT fid, " + c + " FROM " + t +
                                         " WHERE " + c + " NOT NULL");
        SqliteStatement insert = prepareSqlite(
            db_.get(), "INSERT INTO " + r + " VALUES (?1, ?2, ?3, ?4, ?5)");
        ASSERT_TRUE(rows && insert);
        while (sqlite3_step(rows.get()) == SQLITE_ROW) {
            const std::span<const std::uint8_t> bytes =
                columnBlob(rows.get(), 1);
            gpkg::Bounds bounds;
            std::string reason;
            if (!gpkg::geometryBounds(bytes, bounds, reason) || !bounds.hasXY())
                continue;
            sqlite3_bind_int64(insert.get(), 1,
                               sqlite3_column_int64(rows.get(), 0));
            const double values[] = {bounds.minX, bounds.maxX, bounds.minY,
                                     bounds.maxY};
            for (int i = 0; i < 4; ++i)
                sqlite3_bind_double(insert.get(), i + 2, values[i]);
            EXPECT_EQ(sqlite3_step(insert.get()), SQLITE_DONE);
            sqlite3_reset(insert.get());
        }
        rows.reset();
        insert.reset();
        execute("COMMIT");
        const std::string notEmpty = " NOT NULL AND NOT ST_IsEmpty(NEW." + c +
                                     ")) BEGIN INSERT OR REPLACE INTO " + r +
                                     " VALUES (NEW.fid, ST_MinX(NEW." + c +
                                     "), ST_MaxX(NEW." + c + "), ST_MinY(NEW." +
                                     c + "), ST_MaxY(NEW." + c + ")); END";
        const std::string name = "rtree_" + table + "_" + column + "_";
        execute("CREATE TRIGGER " + quoteSqlIdentifier(name + "insert") +
                " AFTER INSERT ON " + t + " WHEN (new." + c + notEmpty);
        execute("CREATE TRIGGER " + quoteSqlIdentifier(name + "update1") +
                " AFTER UPDATE OF " + c + " ON " + t +
                " WHEN OLD.fid = NEW.fid AND (NEW." + c + notEmpty);
        execute("CREATE TRIGGER " + quoteSqlIdentifier(name + "update2") +
                " AFTER UPDATE OF " + c + " ON " + t +
                " WHEN OLD.fid = NEW.fid AND (NEW." + c +
                " ISNULL OR "
                "ST_IsEmpty(NEW." +
                c + ")) BEGIN DELETE FROM " + r + " WHERE id = OLD.fid; END");
        execute("CREATE TRIGGER " + quoteSqlIdentifier(name + "update3") +
                " AFTER UPDATE ON " + t + " WHEN OLD.fid != NEW.fid AND (NEW." +
                c + " NOT NULL AND NOT ST_IsEmpty(NEW." + c +
                ")) BEGIN DELETE FROM " + r +
                " WHERE id = OLD.fid; INSERT OR REPLACE INTO " + r +
                " VALUES (NEW.fid, ST_MinX(NEW." + c + "), ST_MaxX(NEW." + c +
                "), ST_MinY(NEW." + c + "), ST_MaxY(NEW." + c + ")); END");
        execute("CREATE TRIGGER " + quoteSqlIdentifier(name + "update4") +
                " AFTER UPDATE ON " + t + " WHEN OLD.fid != NEW.fid AND (NEW." +
                c + " ISNULL OR ST_IsEmpty(NEW." + c + ")) BEGIN DELETE FROM " +
                r + " WHERE id IN (OLD.fid, NEW.fid); END");
        execute("CREATE TRIGGER " + quoteSqlIdentifier(name + "delete") +
                " AFTER DELETE ON " + t + " WHEN old." + c +
                " NOT NULL BEGIN DELETE FROM " + r +
                " WHERE id = OLD.fid; END");
        addExtension(table, column, "gpkg_rtree_index",
                     "http://www.geopackage.org/spec120/#extension_rtree",
                     "write-only");
    }

    void addExtension(const std::string &table, const std::string &column,
                      const std::string &name, const std::string &definition,
                      const std::string &scope = "read-write") {
        execute("INSERT INTO gpkg_extensions VALUES (" + literal(table) + ", " +
                literal(column) + ", " + literal(name) + ", " +
                literal(definition) + ", " + literal(scope) + ")");
    }

    static std::string literal(const std::string &text) {
        return quoteSqlText(text);
    }

    void close() {
        insert_.reset();
        db_.reset();
    }

  private:
    SqliteDb db_;
    std::string insertSql_;
    SqliteStatement insert_;
};

// A GeoPackage of one POINT layer "points" in Gauss-Boaga West with its
// R-tree: count points spread over 100 km square, every other one in
// big-endian byte order.
inline void writePointLayer(const std::filesystem::path &path, int count) {
    GeoPackageBuilder g(path);
    g.execute("PRAGMA cache_size = -200000");
    g.addLayer("points", "POINT", 3003);
    g.execute("BEGIN");
    for (int i = 1; i <= count; ++i)
        g.addFeature(
            "points", i,
            blob(point({1600000.0 + (i * std::int64_t{7919}) % 100000,
                        5000000.0 + (i * std::int64_t{104729}) % 100000}),
                 {3003, gpkg::EnvelopeKind::None, i % 2 == 0}));
    g.execute("COMMIT");
    g.addRtree("points");
}

// A GeoPackage of every kind of content a conversion must keep, in
// Gauss-Boaga West (srs_id 3003) over Trento:
//   punti     POINT Z: little and big endian, no and xyz envelope, an empty
//             point, a NULL geometry; text, real, integer and blob values
//   linee     MULTILINESTRING M, parts in both byte orders
//   poligoni  POLYGON with a hole, MULTIPOLYGON; its srs_id is -1
//   curve     CURVEPOLYGON of a circular arc and a line (ZM)
//   notes     attributes, non-ASCII text, an index and a trigger of its own
//   layer_styles, gpkg_metadata and gpkg_metadata_reference
// Each layer has an R-tree; gpkg_contents holds wrong extents.
inline void writeMixedGeoPackage(const std::filesystem::path &path) {
    const double e = 1664000, n = 5103000; // Trento, Gauss-Boaga West
    GeoPackageBuilder g(path);
    g.addLayer("punti", "POINT", 3003, 1, 0,
               "name TEXT, height REAL, storeys INTEGER, photo BLOB");
    const Form z{true, Dims::XYZ}, zBig{false, Dims::XYZ};
    g.addFeature(
        "punti", 1,
        blob(point({e, n, 194.5}, z), {3003, gpkg::EnvelopeKind::None}),
        "'Torre Vanga', 194.5, 5, x'00FF10'");
    g.addFeature("punti", 2,
                 blob(point({e + 850.25, n - 1200.5, 210}, zBig),
                      {3003, gpkg::EnvelopeKind::XYZ, false}),
                 "'Brücke über die Etsch – Ponte', NULL, 0, NULL");
    g.addFeature("punti", 3,
                 blob(point({NAN, NAN, NAN}, z),
                      {3003, gpkg::EnvelopeKind::None, true, true}),
                 "'vuoto', NULL, NULL, NULL");
    g.addFeature("punti", 4, {}, "'senza geometria', 1e300, -7, x''");

    g.addLayer("linee", "MULTILINESTRING", 3003, 0, 1, "code TEXT");
    const Form m{true, Dims::XYM}, mBig{false, Dims::XYM};
    g.addFeature(
        "linee", 10,
        blob(collection(
                 kMultiLineString,
                 {lineString({{e, n, 0, 0}, {e + 100, n + 50, 0, 1.5}}, m),
                  lineString({{e + 300, n, 0, 7},
                              {e + 310, n - 40, 0, 8},
                              {e + 330, n - 90, 0, 9}},
                             mBig)},
                 mBig),
             {3003, gpkg::EnvelopeKind::XYM}),
        "'A22'");
    g.addFeature("linee", 11,
                 blob(collection(kMultiLineString,
                                 {lineString({{e - 5000, n + 2000, 0, -1},
                                              {e - 4000, n + 2500, 0, -2}},
                                             m)},
                                 m),
                      {3003, gpkg::EnvelopeKind::XY, false}),
                 "'SS12 – Brennero'");

    g.addLayer("poligoni", "GEOMETRY", -1, 0, 0, "area REAL");
    const std::vector<Vertex> outer = {
        {e, n}, {e + 400, n}, {e + 400, n + 300}, {e, n + 300}, {e, n}};
    const std::vector<Vertex> hole = {{e + 100, n + 100},
                                      {e + 200, n + 100},
                                      {e + 150, n + 200},
                                      {e + 100, n + 100}};
    g.addFeature("poligoni", 1, blob(polygon({outer, hole}), {-1}), "115000.0");
    g.addFeature(
        "poligoni", 2,
        blob(collection(kMultiPolygon,
                        {polygon({outer}, {false}), polygon({hole})}, {false}),
             {-1, gpkg::EnvelopeKind::XY, false}),
        "NULL");

    g.addLayer("curve", "CURVEPOLYGON", 3003, 1, 1);
    const Form zm{true, Dims::XYZM}, zmBig{false, Dims::XYZM};
    const Bytes arc =
        lineString({{e, n, 1, 2}, {e + 50, n + 50, 3, 4}, {e + 100, n, 5, 6}},
                   zmBig, kCircularString);
    const Bytes chord = lineString({{e + 100, n, 5, 6}, {e, n, 1, 2}}, zm);
    g.addFeature(
        "curve", 1,
        blob(collection(kCurvePolygon,
                        {collection(kCompoundCurve, {arc, chord}, zm)}, zmBig),
             {3003, gpkg::EnvelopeKind::XY}));
    g.addExtension(
        "curve", "geom", "gpkg_geom_CURVEPOLYGON",
        "http://www.geopackage.org/spec120/#extension_geometry_types");

    for (const char *layer : {"punti", "linee", "poligoni", "curve"})
        g.addRtree(layer);

    g.execute(R"(
CREATE TABLE notes (id INTEGER PRIMARY KEY AUTOINCREMENT, text TEXT, at DATETIME);
INSERT INTO notes (text, at) VALUES ('Rilievo 2019 – Comune di Trento', '2019-05-02'),
  ('Größe geschätzt; ½ m genau', NULL);
CREATE INDEX notes_at ON notes(at);
CREATE TRIGGER notes_stamp AFTER UPDATE ON notes BEGIN
  UPDATE notes SET at = '2000-01-01' WHERE id = NEW.id; END;
INSERT INTO gpkg_contents (table_name, data_type, identifier, last_change)
  VALUES ('notes', 'attributes', 'notes', '2019-05-02T10:00:00.000Z');
CREATE TABLE layer_styles (id INTEGER PRIMARY KEY AUTOINCREMENT,
  f_table_catalog TEXT(256), f_table_schema TEXT(256), f_table_name TEXT(256),
  f_geometry_column TEXT(256), styleName TEXT(30), styleQML TEXT,
  styleSLD TEXT, useAsDefault BOOLEAN, description TEXT, owner TEXT(30),
  ui TEXT(30), update_time DATETIME DEFAULT CURRENT_TIMESTAMP);
INSERT INTO layer_styles (f_table_name, f_geometry_column, styleName,
  styleQML, useAsDefault, update_time) VALUES ('punti', 'geom', 'punti',
  '<qgis><renderer-v2 type="singleSymbol"/></qgis>', 1, '2019-05-02 10:00:00');
INSERT INTO gpkg_contents (table_name, data_type, identifier, last_change)
  VALUES ('layer_styles', 'attributes', 'layer_styles', '2019-05-02T10:00:00.000Z');
CREATE TABLE gpkg_metadata (id INTEGER CONSTRAINT m_pk PRIMARY KEY ASC NOT NULL,
  md_scope TEXT NOT NULL DEFAULT 'dataset', md_standard_uri TEXT NOT NULL,
  mime_type TEXT NOT NULL DEFAULT 'text/xml', metadata TEXT NOT NULL DEFAULT '');
CREATE TABLE gpkg_metadata_reference (reference_scope TEXT NOT NULL,
  table_name TEXT, column_name TEXT, row_id_value INTEGER,
  timestamp DATETIME NOT NULL DEFAULT (strftime('%Y-%m-%dT%H:%M:%fZ','now')),
  md_file_id INTEGER NOT NULL, md_parent_id INTEGER,
  CONSTRAINT crmr_mfi_fk FOREIGN KEY (md_file_id) REFERENCES gpkg_metadata(id),
  CONSTRAINT crmr_mpi_fk FOREIGN KEY (md_parent_id) REFERENCES gpkg_metadata(id));
INSERT INTO gpkg_metadata VALUES (1, 'dataset', 'http://www.isotc211.org/2005/gmd',
  'text/xml', '<gmd:MD_Metadata>Comune di Trento</gmd:MD_Metadata>');
INSERT INTO gpkg_metadata_reference VALUES ('table', 'punti', NULL, NULL,
  '2019-05-02T10:00:00.000Z', 1, NULL);
INSERT INTO gpkg_extensions VALUES ('gpkg_metadata', NULL, 'gpkg_metadata',
  'http://www.geopackage.org/spec120/#extension_metadata', 'read-write'),
  ('gpkg_metadata_reference', NULL, 'gpkg_metadata',
  'http://www.geopackage.org/spec120/#extension_metadata', 'read-write');
)");
}

} // namespace gpkgtest
