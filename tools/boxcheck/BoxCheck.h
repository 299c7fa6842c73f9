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
// the path (which could hold digits) is never written on it.
std::vector<std::string> report(const std::string &path, double boxYMin,
                                const Extent *extent, BoxAnswer answer);

// Reads the arguments "<shapefile> -YMIN <value>" and the file's extent
// from its header, and returns the report and the answer.
BoxAnswer checkBox(int argc, const char *const argv[],
                   std::vector<std::string> &lines);
