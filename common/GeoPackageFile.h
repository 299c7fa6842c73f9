#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <vector>

// The tables of a GeoPackage (OGC 12-128) that say what its feature layers
// are: gpkg_contents, gpkg_geometry_columns and gpkg_spatial_ref_sys.

// One geometry column of a feature table, with the coordinate system it
// declares.
struct GeoPackageLayer {
    std::string table;
    std::string column;
    std::string geometryType; // geometry_type_name ("POINT", "GEOMETRY")
    std::int64_t srsId = 0;
    // The gpkg_spatial_ref_sys row of srsId; srsFound is false when there is
    // none.
    bool srsFound = false;
    std::string srsName;
    std::string organization; // "EPSG", "NONE", ...
    std::int64_t organizationCode = 0;
    std::string definition; // WKT 1, or "undefined"
    // WKT 2 (definition_12_063) where the file has the extension for it.
    std::string definitionWkt2;
    // What the name stands for in the database: "table", "view", or empty
    // when nothing of that name exists.
    std::string objectType;
    // The table's INTEGER PRIMARY KEY (its row id), empty when it has none.
    std::string idColumn;
    bool hasColumn = false; // the geometry column exists in the table
    // The layer's R-tree index, rtree_<table>_<column>, when it exists;
    // else empty.
    std::string rtree;
};

// True when the connection's database is a GeoPackage: a SQLite database
// with the tables gpkg_spatial_ref_sys and gpkg_contents. False with the
// reason otherwise ("file is not a database", "it has no table
// gpkg_contents").
bool isGeoPackage(sqlite3 *db, std::string &reason);

// Every row of gpkg_geometry_columns, ordered by table and column names,
// with what the database says of each; empty when the table is absent.
// False with reason when the tables cannot be read.
bool readGeoPackageLayers(sqlite3 *db, std::vector<GeoPackageLayer> &layers,
                          std::string &reason);

// The layer's definition that says most: WKT 1 unless that is
// "undefined", then WKT 2; empty when there is neither.
std::string declaredDefinition(const GeoPackageLayer &layer);

// The srs_id values 0 and -1, which mean an undefined geographic and an
// undefined Cartesian system.
inline bool isUndefinedSrs(std::int64_t srsId) {
    return srsId == 0 || srsId == -1;
}
