#pragma once

#include "FileConverter.h"
#include "GeoPackageFile.h"
#include "GeoPackageGeometry.h"
#include "GeoPackageRtree.h"
#include "SqliteHandle.h"

#include <cstdint>
#include <string>
#include <vector>

// GeoPackages: the output is the input with the geometries of its feature
// tables converted and nothing else changed. The input is copied whole
// (SQLite's backup, so that a database in WAL mode comes with what its log
// holds) under a temporary name beside the output; there every geometry
// blob is overwritten in place with its converted twin, which has the same
// size (same structure, srs_id, envelope kind and byte orders), so that
// attributes, other tables, styles, metadata, extensions and triggers keep
// their bytes. Then the R-tree indexes are brought up to date, the target
// system gets its row in gpkg_spatial_ref_sys, the converted layers point
// at it and their extents and last_change are renewed, and the whole file
// is renamed into place.
//
// A layer is converted when its system is the script's source by its
// defining parameters, or undefined (srs_id 0 or -1, or a definition that
// cannot be read); a layer that declares another system fails the file. The
// script must name its target system, which the output records.
class GeoPackageConverter final : public FileConverter {
  public:
    using FileConverter::FileConverter;
    ~GeoPackageConverter() override; // removes an output left unfinished

    // Opens the input read-only, checks that it is a GeoPackage whose
    // layers can be converted by the script, and copies it under a
    // temporary name beside the output. Refuses an output that is the
    // input, without touching any file.
    bool open() override;
    // Converts every layer, then renames the whole output into place. False
    // when a geometry cannot be read or converted (errorMessage() names the
    // feature by its id and the layer) or the output cannot be written; the
    // temporary file is then removed and the file under the final name is
    // left as it was.
    bool convert() override;

  private:
    bool fail(std::string message);
    bool failConversion(std::string message);
    bool failWrite();
    bool checkSystems();
    bool copyInput(sqlite3 *input);
    bool convertLayer(const GeoPackageLayer &layer, std::int32_t srsId);
    bool findTargetSrs(std::int64_t &srsId);
    bool recordLayer(const GeoPackageLayer &layer, std::int64_t srsId);
    void removeTemporaryFile();

    std::vector<GeoPackageLayer> layers_;
    bool inputInWal_ = false;
    SqliteDb output_;
    std::string temporaryPath_; // while the output is written, else empty
    // Of the layer being converted: its extent, its number of non-empty
    // geometries and, up to kKeptBoxes of them, their R-tree boxes in the
    // order of their ids (none when there are more).
    gpkg::Bounds extent_;
    std::int64_t nonEmpty_ = 0;
    std::vector<FeatureBox> boxes_;
    static constexpr std::size_t kKeptBoxes = std::size_t{1} << 18; // 6 MiB
};
