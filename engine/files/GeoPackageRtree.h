#pragma once

#include <sqlite3.h>

#include "GeoPackageGeometry.h"

#include <cstdint>
#include <span>
#include <string>

struct GeoPackageLayer;

// The bounds an R*Tree entry stores, as 32-bit floats.
struct RtreeBox {
    float minX, maxX, minY, maxY;
};

// A feature's id and the box of its geometry.
struct FeatureBox {
    std::int64_t id;
    RtreeBox box;
};

// Brings a layer's R-tree spatial index (rtree_<table>_<column>, SQLite's
// R*Tree of 32-bit bounds) up to date with geometries that were rewritten
// in place, without the triggers that would do it row by row.
//
// The tree keeps its shape: every leaf entry gets the bounds of its
// feature's geometry as it is now, rounded outwards to 32 bits exactly as
// SQLite rounds them, and every inner entry the union of the node below.
// That is a valid R-tree for any change of coordinates; after a smooth
// one, such as a change of map projection, its nodes stay as compact as
// before. The leaves are read in batches and their features looked up in
// the order of their ids, so the feature table is read near sequentially.
//
// known holds the boxes of the table's non-empty geometries in the order
// of their ids, when the conversion kept them; then the table is not read
// again. When it is empty, each feature is read back from the table.
//
// When the index does not match the table (an entry without a feature or
// with an empty one, fewer or more entries than non-empty geometries, a
// node that cannot be read) it is built anew from the table instead.
// expectedEntries is the number of non-empty geometries in the table.
// False with reason when the index cannot be written or rebuilt.
bool refreshRtree(sqlite3 *db, const GeoPackageLayer &layer,
                  std::int64_t expectedEntries,
                  std::span<const FeatureBox> known, std::string &reason);

// The box SQLite's R*Tree stores for bounds with x and y.
RtreeBox rtreeBox(const gpkg::Bounds &bounds);

// The 32-bit bounds that SQLite's R*Tree stores for a minimum and for a
// maximum: the nearest float at or below it, at or above it.
float rtreeLowerBound(double value);
float rtreeUpperBound(double value);
