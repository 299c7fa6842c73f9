#pragma once

// A small GeoPackage in Gauss-Boaga for the tests of the whole window, its
// pictures and the desktop's bench, written with SQLite as any GeoPackage
// writer lays it out.
#include <QByteArray>
#include <QDataStream>
#include <QFile>
#include <QList>
#include <QPointF>
#include <QString>
#include <QtMath>

#include <sqlite3.h>

#include <algorithm>

namespace DeskTest {

// A geometry blob with an envelope, little endian: a point (type 1) or a
// line (type 2) in Monte Mario / Italy zone 1.
inline QByteArray geometryBlob(quint32 type, const QList<QPointF> &points) {
    QByteArray bytes("GP\x00\x03", 4); // little endian, xy envelope
    QDataStream out(&bytes, QIODevice::Append);
    out.setByteOrder(QDataStream::LittleEndian);
    out.setFloatingPointPrecision(QDataStream::DoublePrecision);
    double xMin = qInf(), yMin = qInf(), xMax = -qInf(), yMax = -qInf();
    for (const QPointF &p : points) {
        xMin = std::min(xMin, p.x()), xMax = std::max(xMax, p.x());
        yMin = std::min(yMin, p.y()), yMax = std::max(yMax, p.y());
    }
    out << qint32(3003) << xMin << xMax << yMin << yMax << quint8(1) << type;
    if (type != 1)
        out << quint32(points.size());
    for (const QPointF &p : points)
        out << p.x() << p.y();
    return bytes;
}

// A GeoPackage as the standard lays it out, with two feature tables in
// Monte Mario / Italy zone 1 (the definition in the file named, KAVRO's
// gbo_west.wkt): points around Trento (one without geometry) and a line.
inline bool writeGboGeoPackage(const QString &path,
                               const QString &definitionFile) {
    sqlite3 *db = nullptr;
    const bool opened = sqlite3_open(QFile::encodeName(path), &db) == SQLITE_OK;
    const auto run = [&](const QByteArray &sql) {
        return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    };
    QFile definition(definitionFile);
    if (!definition.open(QIODevice::ReadOnly))
        return false;
    const QByteArray wkt = definition.readAll().trimmed();
    bool ok =
        opened &&
        run("PRAGMA application_id = 1196444487; PRAGMA user_version = 10300;"
            "CREATE TABLE gpkg_spatial_ref_sys (srs_name TEXT NOT NULL, srs_id "
            "INTEGER PRIMARY KEY, organization TEXT NOT NULL, "
            "organization_coordsys_id INTEGER NOT NULL, definition TEXT NOT "
            "NULL, description TEXT);"
            "CREATE TABLE gpkg_contents (table_name TEXT NOT NULL PRIMARY KEY, "
            "data_type TEXT NOT NULL, identifier TEXT UNIQUE, description TEXT "
            "DEFAULT '', last_change DATETIME NOT NULL DEFAULT "
            "(strftime('%Y-%m-%dT%H:%M:%fZ','now')), min_x DOUBLE, min_y "
            "DOUBLE, max_x DOUBLE, max_y DOUBLE, srs_id INTEGER);"
            "CREATE TABLE gpkg_geometry_columns (table_name TEXT NOT NULL, "
            "column_name TEXT NOT NULL, geometry_type_name TEXT NOT NULL, "
            "srs_id INTEGER NOT NULL, z TINYINT NOT NULL, m TINYINT NOT NULL, "
            "PRIMARY KEY (table_name, column_name));"
            "INSERT INTO gpkg_spatial_ref_sys VALUES ('Monte Mario / Italy "
            "zone 1', 3003, 'EPSG', 3003, '" +
            wkt + "', NULL);");
    const struct {
        const char *table, *type;
        QList<QByteArray> blobs;
    } layers[] = {
        {"punti",
         "POINT",
         {geometryBlob(1, {{1664000.5, 5103000.25}}),
          geometryBlob(1, {{1664850.25, 5101799.5}}), QByteArray()}},
        {"linee",
         "LINESTRING",
         {geometryBlob(2, {{1659000, 5105000}, {1660000, 5105500.75}})}},
    };
    for (const auto &layer : layers) {
        const QByteArray table = layer.table;
        ok = ok &&
             run("CREATE TABLE " + table +
                 " (fid INTEGER PRIMARY KEY AUTOINCREMENT, geom " + layer.type +
                 ", name TEXT); INSERT INTO gpkg_contents (table_name, "
                 "data_type, identifier, srs_id) VALUES ('" +
                 table + "', 'features', '" + table +
                 "', 3003); INSERT INTO gpkg_geometry_columns VALUES ('" +
                 table + "', 'geom', '" + layer.type + "', 3003, 0, 0);");
        for (const QByteArray &geometry : layer.blobs) {
            sqlite3_stmt *insert = nullptr;
            ok = ok && sqlite3_prepare_v2(db,
                                          "INSERT INTO " + table +
                                              " (geom, name) VALUES (?1, "
                                              "'Rilievo – Trento')",
                                          -1, &insert, nullptr) == SQLITE_OK;
            if (ok && !geometry.isEmpty())
                sqlite3_bind_blob(insert, 1, geometry.constData(),
                                  int(geometry.size()), SQLITE_TRANSIENT);
            ok = ok && sqlite3_step(insert) == SQLITE_DONE;
            sqlite3_finalize(insert);
        }
    }
    return sqlite3_close(db) == SQLITE_OK && ok;
}

} // namespace DeskTest
