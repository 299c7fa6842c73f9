#pragma once

#include <string>
#include <vector>

// The answers of boxcheck, which are also its exit status.
enum class BoxAnswer {
    CannotOpen = 0,
    WrongParameters = 1,
    Inside = 2,
    PartiallyInside = 3,
    CompletelyOutside = 4,
};

struct Extent {
    double xMin, yMin, xMax, yMax;
};

// The kinds of file boxcheck reads, told by the path's extension in any
// letter case: ".gpkg" a GeoPackage, ".csv" a point list (read as KAVRO's
// -FT CSV reads it), anything else a shapefile.
enum class InputKind { Shapefile, GeoPackage, PointList };
InputKind inputKindOf(const std::string &path);

// What boxcheck found in a file: its extent, or why it has none; and, for
// a file with an extent, why the category of its coordinates is unknown all
// the same (a GeoPackage whose layers declare systems that disagree with
// each other or with their coordinates), else empty.
struct FileExtent {
    bool found = false;
    Extent extent{};
    std::string problem;
    std::string unknownCategory;
};

// The extent of the file's data: for a shapefile the one in its header; for
// a point list that of its x and y columns over every record; for a
// GeoPackage that of the geometries of every feature table, read from the
// geometries themselves, with unknownCategory set when the layers declare
// different systems, or one declares a system that is not the one of the
// category its coordinates are in (GeoPackageExtent.cpp).
FileExtent readShapefileExtent(const std::string &path);
FileExtent readPointListExtent(const std::string &path);
FileExtent readGeoPackageExtent(const std::string &path);

// The box of the Gauss-Boaga West zone: X from 1 000 000 to 2 000 000 and
// Y from a given lower bound to 10 000 000 (metres).
inline constexpr double kBoxXMin = 1000000;
inline constexpr double kBoxXMax = 2000000;
inline constexpr double kBoxYMax = 10000000;

// Where the extent lies against the box; its edges belong to the box, so an
// extent that touches the box from outside is partially inside.
BoxAnswer classify(const Extent &extent, double boxYMin);

// The report, one line per entry. Its fourth line carries the extent's
// minimum X and Y as "Extent Xmin: <x> Ymin: <y> end", written with two
// decimals and never in exponent form, so that a reader that splits the
// line at "." and blanks takes the first two numbers above 1000 as the
// whole metres of X and Y. Without an extent that line has no number, and
// the path (which could hold digits) is never written on it. The first and
// fifth lines name the kind of file.
std::vector<std::string> report(const std::string &path, double boxYMin,
                                const Extent *extent, BoxAnswer answer,
                                InputKind kind = InputKind::Shapefile);

// The seventh line's start: a file with an extent whose category cannot
// be trusted says why on a line after the sixth, which readers of the
// first six lines pass over.
inline constexpr const char *kUnknownCategoryLabel = "Unknown category: ";

// Reads the arguments "<file> -YMIN <value>" and the file's extent, and
// returns the report and the answer.
BoxAnswer checkBox(int argc, const char *const argv[],
                   std::vector<std::string> &lines);
