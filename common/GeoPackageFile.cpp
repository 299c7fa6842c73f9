#include "GeoPackageFile.h"

#include "SqliteHandle.h"

#include <cctype>

namespace {

bool equalIgnoringCase(const std::string &a, const std::string &b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// The type of the schema object of that name ("table", "view"), as SQLite
// matches names (without regard to ASCII case); empty when there is none.
// False when the schema cannot be read.
bool objectType(sqlite3 *db, const std::string &name, std::string &type) {
    const SqliteStatement statement = prepareSqlite(
        db, "SELECT type FROM sqlite_master WHERE type IN ('table', 'view') "
            "AND name = ?1 COLLATE NOCASE");
    if (!statement)
        return false;
    sqlite3_bind_text(statement.get(), 1, name.data(),
                      static_cast<int>(name.size()), SQLITE_STATIC);
    const int step = sqlite3_step(statement.get());
    type = step == SQLITE_ROW ? columnText(statement.get(), 0) : "";
    return step == SQLITE_ROW || step == SQLITE_DONE;
}

// Fills the layer's idColumn and hasColumn from the table's columns.
bool readColumns(sqlite3 *db, GeoPackageLayer &layer) {
    const SqliteStatement statement =
        prepareSqlite(db, "SELECT name, type, pk FROM pragma_table_info(?1)");
    if (!statement)
        return false;
    sqlite3_bind_text(statement.get(), 1, layer.table.data(),
                      static_cast<int>(layer.table.size()), SQLITE_STATIC);
    int keys = 0;
    std::string integerKey;
    int step;
    while ((step = sqlite3_step(statement.get())) == SQLITE_ROW) {
        const std::string name = columnText(statement.get(), 0);
        if (equalIgnoringCase(name, layer.column))
            layer.hasColumn = true;
        if (sqlite3_column_int(statement.get(), 2) > 0) {
            ++keys;
            if (equalIgnoringCase(columnText(statement.get(), 1), "INTEGER"))
                integerKey = name;
        }
    }
    // Only a key of one INTEGER column is the row id.
    layer.idColumn = keys == 1 ? integerKey : "";
    return step == SQLITE_DONE;
}

bool readRtree(sqlite3 *db, GeoPackageLayer &layer) {
    const SqliteStatement statement =
        prepareSqlite(db, "SELECT name FROM sqlite_master WHERE type = "
                          "'table' AND name = ?1 COLLATE NOCASE AND sql LIKE "
                          "'CREATE VIRTUAL TABLE%'");
    if (!statement)
        return false;
    const std::string name = "rtree_" + layer.table + "_" + layer.column;
    sqlite3_bind_text(statement.get(), 1, name.data(),
                      static_cast<int>(name.size()), SQLITE_STATIC);
    const int step = sqlite3_step(statement.get());
    layer.rtree = step == SQLITE_ROW ? columnText(statement.get(), 0) : "";
    return step == SQLITE_ROW || step == SQLITE_DONE;
}

} // namespace

std::string declaredDefinition(const GeoPackageLayer &layer) {
    const auto undefined = [](const std::string &text) {
        return text.empty() || equalIgnoringCase(text, "undefined");
    };
    if (!undefined(layer.definition))
        return layer.definition;
    return undefined(layer.definitionWkt2) ? "" : layer.definitionWkt2;
}

bool isGeoPackage(sqlite3 *db, std::string &reason) {
    for (const char *table : {"gpkg_spatial_ref_sys", "gpkg_contents"}) {
        std::string type;
        if (!objectType(db, table, type)) {
            reason = sqliteErrorText(db);
            return false;
        }
        if (type.empty()) {
            reason = std::string("it has no table ") + table;
            return false;
        }
    }
    return true;
}

bool readGeoPackageLayers(sqlite3 *db, std::vector<GeoPackageLayer> &layers,
                          std::string &reason) {
    layers.clear();
    std::string type;
    if (!objectType(db, "gpkg_geometry_columns", type)) {
        reason = sqliteErrorText(db);
        return false;
    }
    if (type.empty())
        return true;
    const SqliteStatement wkt2 = prepareSqlite(
        db, "SELECT 1 FROM pragma_table_info('gpkg_spatial_ref_sys') WHERE "
            "name = 'definition_12_063'");
    if (!wkt2) {
        reason = sqliteErrorText(db);
        return false;
    }
    const bool hasWkt2 = sqlite3_step(wkt2.get()) == SQLITE_ROW;
    const SqliteStatement statement = prepareSqlite(
        db, std::string("SELECT g.table_name, g.column_name, "
                        "g.geometry_type_name, g.srs_id, s.srs_id IS NOT "
                        "NULL, s.srs_name, s.organization, "
                        "s.organization_coordsys_id, s.definition, ") +
                (hasWkt2 ? "s.definition_12_063" : "NULL") +
                " FROM gpkg_geometry_columns g LEFT JOIN "
                "gpkg_spatial_ref_sys s ON s.srs_id = g.srs_id "
                "ORDER BY g.table_name, g.column_name");
    if (!statement) {
        reason = sqliteErrorText(db);
        return false;
    }
    sqlite3_stmt *row = statement.get();
    int step;
    while ((step = sqlite3_step(row)) == SQLITE_ROW) {
        GeoPackageLayer layer;
        layer.table = columnText(row, 0);
        layer.column = columnText(row, 1);
        layer.geometryType = columnText(row, 2);
        layer.srsId = sqlite3_column_int64(row, 3);
        layer.srsFound = sqlite3_column_int(row, 4) != 0;
        layer.srsName = columnText(row, 5);
        layer.organization = columnText(row, 6);
        layer.organizationCode = sqlite3_column_int64(row, 7);
        layer.definition = columnText(row, 8);
        layer.definitionWkt2 = columnText(row, 9);
        layers.push_back(std::move(layer));
    }
    if (step != SQLITE_DONE) {
        reason = sqliteErrorText(db);
        return false;
    }
    for (GeoPackageLayer &layer : layers) {
        if (!objectType(db, layer.table, layer.objectType) ||
            (layer.objectType == "table" && !readColumns(db, layer)) ||
            !readRtree(db, layer)) {
            reason = sqliteErrorText(db);
            return false;
        }
    }
    return true;
}
