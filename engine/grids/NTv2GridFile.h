#pragma once

// NTv2 grid shift files (.gsb), read and interpolated the way PROJ 9 does it,
// so that a grid gives KAVRO the numbers it gives PROJ. Only the standard
// library is used: the engine, the fuzz target and the desktop program read
// grids with this unit alone.
//
// The file is a sequence of 16-byte records, an 8-byte key and an 8-byte
// value (an int32 in its first 4 bytes, a double, or 8 characters): an
// overview header of 11 records, then per sub-grid a header of 11 records
// followed by its nodes, one record of four float32 each (latitude shift,
// longitude shift positive west, two accuracies that are not used), all in
// arc-seconds. The first node is the south-east corner; rows run south to
// north, each row east to west. The byte order is little-endian when byte 8
// of the file (the first value byte) is 11, big-endian otherwise. Only
// GS_TYPE SECONDS is read. The keys of the overview header are not checked
// (files differ there: SYSTEM_F or DATUM_F); each sub-grid header must begin
// with SUB_NAME.

#include <cstddef>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

// PROJ's tolerance at the edges of a grid, in units of resX + resY: a point
// this far outside a grid still lies in it, and a longitude more than this
// outside is taken a turn further (see wrapLongitude).
inline constexpr double kGridEdgeTolerance = 1e-5;

// PROJ's rule for a longitude near a grid that is not around the whole
// world: one more than epsilon west of [low, high] is taken 2 pi further
// east, one more than epsilon east of it 2 pi further west (radians).
double wrapLongitude(double lon, double low, double high, double epsilon);

// One sub-grid. Angles are radians, longitudes positive EAST (the file's are
// positive west).
struct NTv2SubGrid {
    std::string name;   // SUB_NAME, its 8 characters as the file has them
    std::string parent; // PARENT, likewise
    double west = 0, south = 0, east = 0, north = 0;
    double resX = 0, resY = 0; // node spacing in longitude and latitude
    int columns = 0, rows = 0;
    // Two floats per node, longitude shift (positive east) then latitude
    // shift, radians rounded to float as PROJ rounds them; nodes row by row
    // from the south-west corner, each row west to east.
    std::vector<float> shifts;
    // The sub-grids whose PARENT is this one's SUB_NAME, in file order
    // (indices into NTv2GridSet::grids).
    std::vector<std::size_t> children;

    // PROJ's tolerance at this grid's edges (radians).
    double edgeTolerance() const { return (resX + resY) * kGridEdgeTolerance; }

    // Whether the point lies in the grid, within edgeTolerance() and with
    // the longitude wrapped as wrapLongitude does.
    bool contains(double lon, double lat) const;

    // The longitude's offset east of the west edge, wrapped as
    // wrapLongitude does with the tolerance epsilon (PROJ does this before
    // it interpolates).
    double offsetFromWest(double lon, double epsilon) const;

    // The shift at an offset (lon, lat) from the south-west corner, bilinear
    // between the four nodes around it; false when the offset lies outside
    // the nodes (beyond PROJ's snap of 1e-4 of a cell at the edges).
    bool interpolate(double lon, double lat, double &dLon, double &dLat) const;
};

// The sub-grids of one file, in file order, with their tree: a sub-grid
// whose PARENT names the SUB_NAME of an earlier one is its child (of the
// latest of that name); the others are top-level.
struct NTv2GridSet {
    std::vector<NTv2SubGrid> grids;
    std::vector<std::size_t> topLevel;
    bool bigEndian = false;

    // The grid that serves a point (radians, longitude positive east): the
    // first top-level grid that contains it, then the first of its children
    // that contains it, and so on down; nullptr when no top-level grid does.
    const NTv2SubGrid *subGridAt(double lon, double lat) const;
};

struct NTv2ReadResult {
    std::shared_ptr<const NTv2GridSet> grids; // null when the file is refused
    std::string error; // names the file and the problem when it is refused
};

// Reads a whole grid from the stream (binary); fileName only names it in
// the error text. A file is refused when it ends early, when GS_TYPE is not
// SECONDS, when a sub-grid's extent or increments are not consistent, when
// GS_COUNT does not fit its columns and rows, when a shift is not a finite
// number, or when it holds no sub-grid.
NTv2ReadResult readNTv2Grid(std::istream &in, const std::string &fileName);

// The same from a file.
NTv2ReadResult readNTv2GridFile(const std::string &path);
