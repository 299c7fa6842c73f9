#include "GeoPackageConverter.h"

#include "BlockPipeline.h"
#include "FileCopy.h"
#include "FileDescriptor.h"
#include "GeoPackageRtree.h"
#include "GeometryBlock.h"
#include "PathSafety.h"
#include "SystemError.h"
#include "TemporaryOutput.h"
#include "TransformationScript.h"

#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// How long a reader or writer that holds the input locked is waited for.
constexpr int kBusyMilliseconds = 5000;
// The output's page cache: large enough for the feature tables' upper
// levels and the R-tree's lookups, small beside the 64 MB a run may take.
constexpr const char *kOutputSettings = "PRAGMA journal_mode = OFF; "
                                        "PRAGMA synchronous = OFF; "
                                        "PRAGMA locking_mode = EXCLUSIVE; "
                                        "PRAGMA cache_size = -16384;";
// The first system number a GeoPackage writer gives to a system of its own
// (one without an EPSG code), as GDAL and QGIS do.
constexpr std::int64_t kFirstOwnSrsId = 100000;

std::string layerName(const GeoPackageLayer &layer) {
    return "layer " + layer.table;
}

void bindText(sqlite3_stmt *statement, int index, const std::string &text) {
    sqlite3_bind_text(statement, index, text.data(),
                      static_cast<int>(text.size()), SQLITE_STATIC);
}

// Why a layer cannot be converted whatever its system, or empty.
std::string layerProblem(const GeoPackageLayer &layer) {
    const std::string name = "Layer " + layer.table;
    if (layer.objectType.empty())
        return name + " has no table";
    if (layer.objectType != "table")
        return name + " is a view; its geometries belong to the tables it "
                      "reads";
    if (!layer.hasColumn)
        return name + " has no column " + layer.column;
    if (layer.idColumn.empty())
        return name + " has no INTEGER PRIMARY KEY";
    return {};
}

std::string writeFailure(sqlite3 *out) {
    return "Unable to write the output GeoPackage: " + sqliteErrorText(out);
}

// A block of a layer's rows, read in the table's order and converted on
// any thread.
struct RowBlock {
    GeometryBlock geometries;
    // Why reading stopped after these rows: the file stops before they are
    // converted. Empty when it did not.
    std::string stop;
    ChainStatus status;
    bool converted = false;
    std::size_t failedRow = 0, failedVertex = 0;
};

bool hasColumn(sqlite3 *db, const char *table, const char *column) {
    const SqliteStatement statement = prepareSqlite(
        db, "SELECT 1 FROM pragma_table_info(?1) WHERE name = ?2");
    if (!statement)
        return false;
    sqlite3_bind_text(statement.get(), 1, table, -1, SQLITE_STATIC);
    sqlite3_bind_text(statement.get(), 2, column, -1, SQLITE_STATIC);
    return sqlite3_step(statement.get()) == SQLITE_ROW;
}

} // namespace

GeoPackageConverter::~GeoPackageConverter() {
    output_.reset();
    removeTemporaryFile();
}

bool GeoPackageConverter::fail(std::string message) {
    output_.reset();
    errorMessage_ = std::move(message);
    return false;
}

bool GeoPackageConverter::failConversion(std::string message) {
    fail(std::move(message));
    removeTemporaryFile();
    return false;
}

bool GeoPackageConverter::failWrite() {
    return failConversion(writeFailure(output_.get()));
}

void GeoPackageConverter::removeTemporaryFile() {
    if (temporaryPath_.empty())
        return;
    removeFileIfExists(temporaryPath_);
    // SQLite's companions, should a run have left them.
    for (const char *suffix : {"-journal", "-wal", "-shm"})
        removeFileIfExists(temporaryPath_ + suffix);
    temporaryPath_.clear();
}

bool GeoPackageConverter::open() {
    output_.reset();
    removeTemporaryFile();
    errorMessage_.clear();
    layers_.clear();
    inputInWal_ = false;

    struct stat status {};
    if (::stat(inputPath_.c_str(), &status) != 0)
        return fail("Unable to open the input GeoPackage: " +
                    systemErrorText(errno));
    if (!S_ISREG(status.st_mode))
        return fail(inputPath_ + " is not a regular file");
    if (sameFile(inputPath_, outputPath_))
        return fail("Output GeoPackage is the input GeoPackage; it was left "
                    "untouched");
    if (::stat(outputPath_.c_str(), &status) == 0 &&
        (S_ISDIR(status.st_mode) || ::access(outputPath_.c_str(), W_OK) != 0))
        return fail("Unable to create the output GeoPackage: " +
                    (S_ISDIR(status.st_mode) ? std::string("it is a folder")
                                             : systemErrorText(errno)));

    SqliteDb input;
    std::string reason;
    if (!openSqlite(inputPath_, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX,
                    input, reason))
        return fail("Unable to open the input GeoPackage: " + reason);
    sqlite3_busy_timeout(input.get(), kBusyMilliseconds);
    // One read transaction: the layers checked are the layers copied.
    if (!executeSqlite(input.get(), "BEGIN"))
        return fail("Unable to read the input GeoPackage: " +
                    sqliteErrorText(input.get()));
    if (!isGeoPackage(input.get(), reason))
        return fail("The input is not a GeoPackage: " + reason);
    if (!readGeoPackageLayers(input.get(), layers_, reason))
        return fail("Unable to read the input GeoPackage: " + reason);
    if (layers_.empty())
        return fail("The input GeoPackage has no feature tables");
    for (const GeoPackageLayer &layer : layers_) {
        const std::string problem = layerProblem(layer);
        if (!problem.empty())
            return fail(problem);
    }
    if (!checkSystems())
        return false;
    {
        const SqliteStatement mode =
            prepareSqlite(input.get(), "PRAGMA journal_mode");
        inputInWal_ = mode && sqlite3_step(mode.get()) == SQLITE_ROW &&
                      columnText(mode.get(), 0) == "wal";
    }

    return copyInput(input.get());
}

// The script must say what the output is in, and no layer may say that it
// is in another system than the script converts from.
bool GeoPackageConverter::checkSystems() {
    if (script_.targetSystem() == nullptr)
        return fail("The script does not name its target system, which the "
                    "output GeoPackage must record");
    for (const GeoPackageLayer &layer : layers_) {
        if (isUndefinedSrs(layer.srsId) || !layer.srsFound)
            continue;
        if (const auto contradiction = script_.sourceContradiction(
                declaredDefinition(layer), layerName(layer)))
            return fail(*contradiction);
    }
    return true;
}

// The input, read whole under a temporary name beside the output. A
// database without a write-ahead log is its file, which no writer can
// change while this run's read transaction lasts: its bytes are copied as
// they are. One in WAL mode is copied page by page by SQLite, with what its
// log holds.
bool GeoPackageConverter::copyInput(sqlite3 *input) {
    FileDescriptor to(createTemporaryOutput(outputPath_, temporaryPath_));
    if (!to) {
        temporaryPath_.clear();
        return fail("Unable to create the output GeoPackage: " +
                    systemErrorText(errno));
    }
    bool copied = true;
    int error = 0;
    if (!inputInWal_) {
        const FileDescriptor from = openRegularFile(inputPath_, O_RDONLY);
        copied = from && copyFileContent(from.get(), to.get());
        error = errno;
    }
    if (!to.close() && copied) {
        copied = false;
        error = errno;
    }
    if (!copied)
        return failConversion("Unable to copy the input GeoPackage: " +
                              systemErrorText(error));
    std::string reason;
    if (!openSqlite(temporaryPath_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                    output_, reason))
        return failConversion("Unable to create the output GeoPackage: " +
                              reason);
    sqlite3 *out = output_.get();
    if (!executeSqlite(out, kOutputSettings))
        return failWrite();
    if (!inputInWal_)
        return true;

    sqlite3_backup *backup = sqlite3_backup_init(out, "main", input, "main");
    if (backup == nullptr)
        return failWrite();
    const int stepped = sqlite3_backup_step(backup, -1);
    const int finished = sqlite3_backup_finish(backup);
    if (stepped != SQLITE_DONE || finished != SQLITE_OK) {
        if (stepped != SQLITE_DONE && (stepped & 0xFF) != SQLITE_FULL &&
            (stepped & 0xFF) != SQLITE_IOERR)
            return failConversion("Unable to read the input GeoPackage: " +
                                  sqliteErrorText(input));
        return failWrite();
    }
    // The copy of a database in WAL mode is marked for it too; it is
    // written without a log, and marked again when whole.
    if (!executeSqlite(out, "PRAGMA journal_mode = OFF"))
        return failWrite();
    return true;
}

bool GeoPackageConverter::convert() {
    if (!output_)
        return fail("No GeoPackage is open");
    sqlite3 *out = output_.get();
    std::int64_t srsId = 0;
    if (!executeSqlite(out, "BEGIN") || !findTargetSrs(srsId))
        return failWrite();
    for (const GeoPackageLayer &layer : layers_) {
        if (!convertLayer(layer, static_cast<std::int32_t>(srsId)))
            return false;
        std::string reason;
        if (nonEmpty_ > static_cast<std::int64_t>(kKeptBoxes))
            std::vector<FeatureBox>().swap(boxes_); // too many: read again
        if (!layer.rtree.empty() &&
            !refreshRtree(out, layer, nonEmpty_, boxes_, reason))
            return failConversion("Unable to write the output GeoPackage: " +
                                  reason);
        if (!recordLayer(layer, srsId))
            return failWrite();
    }
    if (!executeSqlite(out, "COMMIT") ||
        (inputInWal_ && !executeSqlite(out, "PRAGMA journal_mode = WAL")))
        return failWrite();
    output_.reset();
    if (!commitTemporaryOutput(temporaryPath_, outputPath_))
        return failConversion("Unable to write the output GeoPackage: " +
                              systemErrorText(errno));
    temporaryPath_.clear();
    return true;
}

bool GeoPackageConverter::convertLayer(const GeoPackageLayer &layer,
                                       std::int32_t srsId) {
    sqlite3 *out = output_.get();
    extent_ = gpkg::Bounds{};
    nonEmpty_ = 0;
    boxes_.clear();
    const std::string select = "SELECT " + quoteSqlIdentifier(layer.idColumn) +
                               ", " + quoteSqlIdentifier(layer.column) +
                               " FROM " + quoteSqlIdentifier(layer.table);
    const std::string order = " ORDER BY " + quoteSqlIdentifier(layer.idColumn);
    const SqliteStatement first = prepareSqlite(out, select + order);
    const SqliteStatement next = prepareSqlite(
        out, select + " WHERE " + quoteSqlIdentifier(layer.idColumn) + " > ?1" +
                 order);
    if (!first || !next)
        return failWrite();

    const auto feature = [&](std::int64_t id) {
        return "feature " + std::to_string(id) + " of " + layerName(layer);
    };
    SqliteBlob blob; // opened on the first row, moved to the others
    sqlite3_stmt *rows = first.get();
    std::int64_t lastId = 0;
    bool exhausted = false;
    std::string failure;
    // Rows are read in blocks, the table's statement reset after each one
    // (the blobs are written while no statement reads), and a row that
    // cannot be read stops the file before its block is converted.
    const auto read = [&](RowBlock &block) {
        block.geometries.clear();
        block.stop.clear();
        if (exhausted)
            return BlockRead::Nothing;
        int step = SQLITE_ROW;
        while (!block.geometries.full()) {
            step = sqlite3_step(rows);
            if (step != SQLITE_ROW) {
                exhausted = true;
                break;
            }
            lastId = sqlite3_column_int64(rows, 0);
            const int type = sqlite3_column_type(rows, 1);
            if (type == SQLITE_NULL)
                continue;
            if (type != SQLITE_BLOB) {
                block.stop = "Unable to convert " + feature(lastId) +
                             ": its geometry is not a blob";
                return BlockRead::Last;
            }
            std::string reason;
            if (!block.geometries.add(lastId, columnBlob(rows, 1), reason)) {
                block.stop =
                    "Unable to convert " + feature(lastId) + ": " + reason;
                return BlockRead::Last;
            }
        }
        if (step != SQLITE_ROW && step != SQLITE_DONE) {
            block.stop = writeFailure(out);
            return BlockRead::Last;
        }
        sqlite3_reset(rows);
        rows = next.get();
        sqlite3_bind_int64(rows, 1, lastId);
        return exhausted ? BlockRead::Last : BlockRead::More;
    };
    const auto convert = [&](RowBlock &block) {
        if (!block.stop.empty())
            return; // not written
        block.status.take();
        block.converted = block.geometries.convert(
            script_, srsId, block.status, block.failedRow, block.failedVertex);
    };
    const auto write = [&](RowBlock &block) {
        if (!block.stop.empty()) {
            failure = block.stop;
            return false;
        }
        if (!block.converted) {
            const GeometryBlock &geometries = block.geometries;
            failure = "vertex " + std::to_string(block.failedVertex) + " of " +
                      feature(geometries.rows()[block.failedRow].id) + " " +
                      block.status.take();
            return false;
        }
        for (const GeometryBlock::Row &converted : block.geometries.rows()) {
            const std::span<const std::uint8_t> bytes =
                block.geometries.bytes(converted);
            int opened;
            if (!blob) {
                sqlite3_blob *handle = nullptr;
                opened = sqlite3_blob_open(out, "main", layer.table.c_str(),
                                           layer.column.c_str(), converted.id,
                                           1, &handle);
                blob.reset(handle);
            } else {
                opened = sqlite3_blob_reopen(blob.get(), converted.id);
            }
            if (opened != SQLITE_OK ||
                sqlite3_blob_write(blob.get(), bytes.data(),
                                   static_cast<int>(bytes.size()),
                                   0) != SQLITE_OK) {
                failure = writeFailure(out);
                return false;
            }
            extent_.addXY(converted.bounds);
            if (converted.bounds.hasXY()) {
                ++nonEmpty_;
                if (nonEmpty_ <= static_cast<std::int64_t>(kKeptBoxes))
                    boxes_.push_back(
                        {converted.id, rtreeBox(converted.bounds)});
            }
        }
        return true;
    };
    if (convertInBlocks<RowBlock>(pool_, read, convert, write))
        return true;
    return failConversion(std::move(failure));
}

// The row of gpkg_spatial_ref_sys that names the script's target: one that
// the file has for its EPSG code (or, for a system without one, with its
// very definition), else a new one, numbered with the EPSG code when that
// number is free, else after the highest number in use.
bool GeoPackageConverter::findTargetSrs(std::int64_t &srsId) {
    sqlite3 *out = output_.get();
    const ScriptSystem &target = *script_.targetSystem();
    const std::string definition =
        target.ogcWkt.empty() ? target.esriWkt : target.ogcWkt;
    const bool epsg = target.epsgCode > 0;
    const SqliteStatement existing = prepareSqlite(
        out, epsg ? "SELECT srs_id FROM gpkg_spatial_ref_sys WHERE "
                    "lower(organization) = 'epsg' AND "
                    "organization_coordsys_id = ?1 ORDER BY srs_id"
                  : "SELECT srs_id FROM gpkg_spatial_ref_sys WHERE "
                    "definition = ?1 ORDER BY srs_id");
    if (!existing)
        return false;
    if (epsg)
        sqlite3_bind_int64(existing.get(), 1, target.epsgCode);
    else
        bindText(existing.get(), 1, definition);
    int step = sqlite3_step(existing.get());
    if (step == SQLITE_ROW) {
        srsId = sqlite3_column_int64(existing.get(), 0);
        return true;
    }
    if (step != SQLITE_DONE)
        return false;

    const SqliteStatement free = prepareSqlite(
        out, "SELECT ?1 NOT IN (SELECT srs_id FROM gpkg_spatial_ref_sys), "
             "max(?2, (SELECT max(srs_id) + 1 FROM gpkg_spatial_ref_sys))");
    if (!free)
        return false;
    sqlite3_bind_int64(free.get(), 1, target.epsgCode);
    sqlite3_bind_int64(free.get(), 2, kFirstOwnSrsId);
    if (sqlite3_step(free.get()) != SQLITE_ROW)
        return false;
    srsId = epsg && sqlite3_column_int(free.get(), 0) != 0
                ? target.epsgCode
                : sqlite3_column_int64(free.get(), 1);

    // A file with the WKT 2 extension needs a text there too; the standard's
    // "undefined" says that there is none.
    const bool wkt2 =
        hasColumn(out, "gpkg_spatial_ref_sys", "definition_12_063");
    const SqliteStatement insert = prepareSqlite(
        out, std::string("INSERT INTO gpkg_spatial_ref_sys (srs_name, srs_id, "
                         "organization, organization_coordsys_id, definition, "
                         "description") +
                 (wkt2 ? ", definition_12_063" : "") +
                 ") VALUES (?1, ?2, ?3, ?4, ?5, ?6" +
                 (wkt2 ? ", 'undefined'" : "") + ")");
    if (!insert)
        return false;
    // A system of the file's own is described by the script's label for it.
    const std::string organization = epsg ? "EPSG" : "NONE";
    bindText(insert.get(), 1, target.name);
    sqlite3_bind_int64(insert.get(), 2, srsId);
    bindText(insert.get(), 3, organization);
    sqlite3_bind_int64(insert.get(), 4, epsg ? target.epsgCode : srsId);
    bindText(insert.get(), 5, definition);
    if (!epsg)
        bindText(insert.get(), 6, target.label);
    return sqlite3_step(insert.get()) == SQLITE_DONE;
}

// The layer points at the target system and has its new extent.
bool GeoPackageConverter::recordLayer(const GeoPackageLayer &layer,
                                      std::int64_t srsId) {
    sqlite3 *out = output_.get();
    const SqliteStatement column = prepareSqlite(
        out, "UPDATE gpkg_geometry_columns SET srs_id = ?1 WHERE table_name = "
             "?2 AND column_name = ?3");
    const SqliteStatement contents = prepareSqlite(
        out, "UPDATE gpkg_contents SET srs_id = ?1, min_x = ?3, min_y = ?4, "
             "max_x = ?5, max_y = ?6, "
             "last_change = strftime('%Y-%m-%dT%H:%M:%fZ', 'now') "
             "WHERE table_name = ?2");
    if (!column || !contents)
        return false;
    sqlite3_bind_int64(column.get(), 1, srsId);
    bindText(column.get(), 2, layer.table);
    bindText(column.get(), 3, layer.column);
    sqlite3_bind_int64(contents.get(), 1, srsId);
    bindText(contents.get(), 2, layer.table);
    if (extent_.hasXY()) {
        sqlite3_bind_double(contents.get(), 3, extent_.minX);
        sqlite3_bind_double(contents.get(), 4, extent_.minY);
        sqlite3_bind_double(contents.get(), 5, extent_.maxX);
        sqlite3_bind_double(contents.get(), 6, extent_.maxY);
    }
    return sqlite3_step(column.get()) == SQLITE_DONE &&
           sqlite3_step(contents.get()) == SQLITE_DONE;
}
