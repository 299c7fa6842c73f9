#pragma once

#include <cstdint>

// The check result of one task before a run (a 32-bit signed integer). The
// Start command tests the conditions in this order and takes the first that
// holds; any result but ErrorNone refuses the whole run. The task list shows
// each value in its Info column ("Output-Directory does not exist", ...);
// values outside this list show as ErrorNone does.
using enumErrorType = std::int32_t;
// Every check passed; the Info column is cleared.
inline constexpr enumErrorType ErrorNone = 0;
// The output's folder does not exist (also: the path names no folder).
inline constexpr enumErrorType ErrorOutputFolder = 1;
// The output .shp exists already (the output file, for a GeoPackage or a
// point list).
inline constexpr enumErrorType ErrorOutputExists = 2;
// The output's extension is not that of the input's kind ("shp", "gpkg",
// "csv") in any case.
inline constexpr enumErrorType ErrorFileExtension = 3;
// A spatial index (.sbn or .sbx) lies beside the output's name.
inline constexpr enumErrorType ErrorSpatialIndex = 4;
// The task's data are UTM WGS84-ETRS89 already (shape type 2).
inline constexpr enumErrorType ErrorAlreadyUTM = 5;
// The output's path (or the input's) holds a double quote or a line break,
// which cannot be written into the conversion batch (an OutputSuffix or
// OutputFolder with one); tested before the others.
inline constexpr enumErrorType ErrorNameNotPassable = 6;
