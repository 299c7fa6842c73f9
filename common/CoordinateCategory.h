#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>

// The categories of coordinates that KavroDesk converts from or leaves
// alone, told by the extent of a file's data in whole metres, as boxcheck
// reports it and the desktop reads it. boxcheck uses the same rules to find
// a GeoPackage layer whose declared system contradicts its coordinates.
//
// The minima name the candidate: both below 1 000 000 the shortened
// Gauss-Boaga form, both above Gauss-Boaga (standard), otherwise UTM zone 32
// (easting below, northing above). The candidate holds only when the whole
// extent lies in its box, edges included. A value of 1000 or less is no
// coordinate, and one beyond the 32-bit range no usable one.
enum class CoordinateCategory {
    GaussBoagaShortened = 0,
    GaussBoaga = 1,
    Utm32 = 2,
    Unknown = 3,
};

// Values at or below it are not coordinates (metres).
inline constexpr std::int64_t kSmallestCoordinate = 1000;
// Gauss-Boaga standard values lie above, the shortened form below (metres).
inline constexpr std::int64_t kGboThreshold = 1000000;

struct CategoryBox {
    std::int64_t xMin, xMax, yMin, yMax; // whole metres, edges included
    const char *name;                    // for reasons: "extent outside ..."
};

// The box of each category but Unknown, in the order of the enumeration:
// the shortened form below 1 000 000 in both; Gauss-Boaga West as boxcheck's
// box (X from 1 000 000 to 2 000 000, Y from 2 500 000 to 10 000 000); UTM
// zone 32 with the easting below and the northing above 1 000 000.
inline constexpr CategoryBox kCategoryBoxes[] = {
    {kSmallestCoordinate, kGboThreshold - 1, kSmallestCoordinate,
     kGboThreshold - 1, "the shortened Gauss-Boaga form"},
    {kGboThreshold, 2 * kGboThreshold, 2500000, 10 * kGboThreshold,
     "Gauss-Boaga West"},
    {kSmallestCoordinate, kGboThreshold - 1, kGboThreshold + 1,
     10 * kGboThreshold, "UTM zone 32"},
};
static_assert(std::size(kCategoryBoxes) ==
              static_cast<std::size_t>(CoordinateCategory::Unknown));

// The candidate of the minima alone (Unknown when either is no coordinate).
CoordinateCategory categoryOfMinima(std::int64_t xMin, std::int64_t yMin);

// The category of a whole extent in whole metres: the candidate of its
// minima when the extent lies in that candidate's box, otherwise Unknown.
CoordinateCategory categoryOfExtent(std::int64_t xMin, std::int64_t yMin,
                                    std::int64_t xMax, std::int64_t yMax);

// The same for an extent in metres, each value cut to its whole metres (the
// fraction dropped, as the desktop reads "1650000.75" as 1650000). Values
// that are not finite or beyond the 32-bit range give Unknown.
CoordinateCategory categoryOfExtent(double xMin, double yMin, double xMax,
                                    double yMax);
