// A GeoPackage's extent for boxcheck: the geometries of every feature
// table read one by one (gpkg_contents keeps an extent too, but a writer may
// leave it stale), and the systems the layers declare held against each
// other and against the category of their own coordinates.
#include "BoxCheck.h"
#include "CategorySystems.h"
#include "CoordinateCategory.h"
#include "CoordinateSystem.h"
#include "GeoPackageFile.h"
#include "GeoPackageGeometry.h"
#include "SqliteHandle.h"
#include "SystemError.h"

#include <cerrno>
#include <cmath>
#include <optional>
#include <span>

#include <sys/stat.h>

namespace {

// How long a writer that holds the file locked is waited for: a listing
// must not stall on one file.
constexpr int kBusyMilliseconds = 1000;

// One layer as boxcheck sees it: its extent and the system it declares.
struct LayerExtent {
    std::string table;
    gpkg::Bounds bounds;
    std::optional<CoordinateSystem> system; // none: undefined or unreadable
    std::string systemName;
};

// The geometries of one layer. False with the reason when one cannot be
// read: a damaged geometry leaves the layer's extent unknown.
bool readLayer(sqlite3 *db, const GeoPackageLayer &layer, gpkg::Bounds &bounds,
               std::string &problem) {
    if (layer.objectType.empty() || !layer.hasColumn) {
        problem =
            "layer " + layer.table + " has no " +
            (layer.objectType.empty() ? "table" : "column " + layer.column);
        return false;
    }
    const SqliteStatement rows =
        prepareSqlite(db, "SELECT " + quoteSqlIdentifier(layer.column) +
                              " FROM " + quoteSqlIdentifier(layer.table));
    if (!rows) {
        problem = "layer " + layer.table + ": " + sqliteErrorText(db);
        return false;
    }
    std::uint64_t row = 0;
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(rows.get())) == SQLITE_ROW) {
        ++row;
        if (sqlite3_column_type(rows.get(), 0) == SQLITE_NULL)
            continue; // a feature without geometry
        const auto *data = static_cast<const std::uint8_t *>(
            sqlite3_column_blob(rows.get(), 0));
        const int size = sqlite3_column_bytes(rows.get(), 0);
        gpkg::Bounds feature;
        std::string reason;
        if (size <= 0 || !gpkg::geometryBounds(
                             std::span(data, static_cast<std::size_t>(size)),
                             feature, reason)) {
            problem = "layer " + layer.table + ", feature " +
                      std::to_string(row) + ": " +
                      (reason.empty() ? "not a geometry" : reason);
            return false;
        }
        if (feature.hasXY())
            bounds.addXY(feature);
    }
    if (step != SQLITE_DONE) {
        problem = "layer " + layer.table + ": " + sqliteErrorText(db);
        return false;
    }
    return true;
}

// The categories' systems, read once.
struct CategorySystem {
    CoordinateCategory category;
    CoordinateSystem system;
};
const std::vector<CategorySystem> &categorySystems() {
    static const std::vector<CategorySystem> systems = [] {
        std::vector<CategorySystem> all;
        const std::pair<CoordinateCategory, const char *> texts[] = {
            {CoordinateCategory::GaussBoagaShortened,
             categorysystems::kGaussBoagaShortened},
            {CoordinateCategory::GaussBoaga, categorysystems::kGaussBoaga},
            {CoordinateCategory::Utm32, categorysystems::kUtm32},
        };
        for (const auto &[category, text] : texts)
            if (const auto system = parseWkt(text))
                all.push_back({category, *system});
        return all;
    }();
    return systems;
}

// The category a declared system stands for; Unknown for a system of none
// of them; nothing when the comparison cannot tell.
std::optional<CoordinateCategory>
categoryOfSystem(const CoordinateSystem &system) {
    bool undecided = false;
    for (const CategorySystem &known : categorySystems()) {
        const SystemComparison comparison =
            compareSystems(system, known.system);
        if (comparison.verdict == SystemComparison::Same)
            return known.category;
        undecided =
            undecided || comparison.verdict == SystemComparison::Undecided;
    }
    if (undecided)
        return std::nullopt;
    return CoordinateCategory::Unknown;
}

CoordinateCategory categoryOf(const gpkg::Bounds &b) {
    return categoryOfExtent(b.minX, b.minY, b.maxX, b.maxY);
}

const char *categoryName(CoordinateCategory category) {
    return kCategoryBoxes[static_cast<int>(category)].name;
}

// Why the layers' systems cannot be trusted, or empty: two layers that
// declare different systems, or a layer whose declared system is not the
// one of the category its coordinates are in.
std::string systemProblem(const std::vector<LayerExtent> &layers) {
    for (std::size_t a = 0; a < layers.size(); ++a) {
        if (!layers[a].system)
            continue;
        for (std::size_t b = a + 1; b < layers.size(); ++b) {
            if (layers[b].system &&
                compareSystems(*layers[a].system, *layers[b].system).verdict ==
                    SystemComparison::Different)
                return "layers in different systems: " + layers[a].table +
                       " says " + layers[a].systemName + ", " +
                       layers[b].table + " says " + layers[b].systemName;
        }
    }
    for (const LayerExtent &layer : layers) {
        if (!layer.system || !layer.bounds.hasXY())
            continue;
        const CoordinateCategory coordinates = categoryOf(layer.bounds);
        if (coordinates == CoordinateCategory::Unknown)
            continue; // the file's extent says unknown, or another layer's
        const std::optional<CoordinateCategory> declared =
            categoryOfSystem(*layer.system);
        if (declared && *declared != coordinates)
            return "layer " + layer.table + " says " + layer.systemName +
                   ", its coordinates are " + categoryName(coordinates);
    }
    return {};
}

} // namespace

FileExtent readGeoPackageExtent(const std::string &path) {
    FileExtent result;
    // SQLite would wait on a pipe for a writer.
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        result.problem = systemErrorText(errno);
        return result;
    }
    if (!S_ISREG(status.st_mode)) {
        result.problem = path + " is not a regular file";
        return result;
    }
    SqliteDb db;
    std::string reason;
    if (!openSqlite(path, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, db,
                    reason)) {
        result.problem = reason;
        return result;
    }
    sqlite3_busy_timeout(db.get(), kBusyMilliseconds);
    std::vector<GeoPackageLayer> layers;
    // One read transaction: the layers listed are the layers read.
    if (!executeSqlite(db.get(), "BEGIN") || !isGeoPackage(db.get(), reason) ||
        !readGeoPackageLayers(db.get(), layers, reason)) {
        result.problem = reason.empty() ? sqliteErrorText(db.get()) : reason;
        return result;
    }
    if (layers.empty()) {
        result.problem = "the GeoPackage has no feature tables";
        return result;
    }
    std::vector<LayerExtent> extents;
    gpkg::Bounds all;
    for (const GeoPackageLayer &layer : layers) {
        LayerExtent &extent = extents.emplace_back();
        extent.table = layer.table;
        if (!readLayer(db.get(), layer, extent.bounds, result.problem))
            return result;
        all.addXY(extent.bounds);
        if (layer.srsFound && !isUndefinedSrs(layer.srsId))
            extent.system = parseWkt(declaredDefinition(layer));
        if (extent.system)
            extent.systemName = readableName(*extent.system);
    }
    if (!all.hasXY()) {
        result.problem = "the GeoPackage holds no geometries";
        return result;
    }
    result.extent = {all.minX, all.minY, all.maxX, all.maxY};
    result.found = std::isfinite(all.minX) && std::isfinite(all.minY) &&
                   std::isfinite(all.maxX) && std::isfinite(all.maxY);
    if (!result.found)
        result.problem = "the GeoPackage's coordinates are not finite";
    else
        result.unknownCategory = systemProblem(extents);
    return result;
}
