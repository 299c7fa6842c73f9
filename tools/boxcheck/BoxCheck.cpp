#include "BoxCheck.h"
#include "DelimitedTextReader.h"
#include "FileDescriptor.h"
#include "ShpHandle.h"
#include "SystemError.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <system_error>

#include <fcntl.h>

namespace {

// Fixed notation with two decimals in every locale: the fraction token of
// "1650000.25" is 25, never above 1000, and no exponent can split a value
// into two numbers. The decimals are cut, not rounded: rounding could carry
// into the whole metres (999999.996 would read 1000000.00), and the whole
// metres are what a reader of the line compares.
std::string metres(double value) {
    char buffer[512]; // the longest double in fixed notation, exactly
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer,
                                            value, std::chars_format::fixed);
    if (error != std::errc())
        return "none";
    std::string text(buffer, end);
    std::size_t point = text.find('.');
    if (point == std::string::npos) {
        point = text.size();
        text += '.';
    }
    text.resize(point + 3, '0');
    return text;
}

bool readNumber(std::string_view text, double &value) {
    const char *first = text.data();
    const char *last = first + text.size();
    if (first != last && *first == '+')
        ++first;
    const auto [end, error] = std::from_chars(first, last, value);
    return error == std::errc() && end == last && std::isfinite(value);
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           ::strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// The path as it can stand on one line: a line break in a file name must not
// move the extent off the fourth line.
std::string oneLine(std::string text) {
    for (char &c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = '?';
    return text;
}

// The kind as the report names it: in the first line, and before
// "extent" in the fifth.
struct KindNames {
    const char *kind;     // "a shapefile"
    const char *owner;    // "The Shapefile extent ..."
    const char *unopened; // "Impossible to read the shape file's extent"
};

KindNames namesOf(InputKind kind) {
    switch (kind) {
    case InputKind::GeoPackage:
        return {"a GeoPackage", "The GeoPackage",
                "Impossible to read the GeoPackage's extent"};
    case InputKind::PointList:
        return {"a point list", "The point list",
                "Impossible to read the point list's extent"};
    case InputKind::Shapefile:
        break;
    }
    return {"a shapefile", "The Shapefile",
            "Impossible to read the shape file's extent"};
}

std::string answerText(BoxAnswer answer, InputKind kind) {
    const KindNames names = namesOf(kind);
    switch (answer) {
    case BoxAnswer::CannotOpen:
        return names.unopened;
    case BoxAnswer::WrongParameters:
        return "Wrong parameters";
    case BoxAnswer::Inside:
        return std::string(names.owner) + " extent IS INSIDE the given box";
    case BoxAnswer::PartiallyInside:
        return std::string(names.owner) +
               " extent IS PARTIALLY INSIDE the given box";
    case BoxAnswer::CompletelyOutside:
        return std::string(names.owner) +
               " extent IS COMPLETELY OUTSIDE the given box";
    }
    return "";
}

bool endsWithIgnoringCase(std::string_view text, std::string_view end) {
    return text.size() >= end.size() &&
           equalsIgnoringCase(text.substr(text.size() - end.size()), end);
}

bool finite(const Extent &e) {
    return std::isfinite(e.xMin) && std::isfinite(e.yMin) &&
           std::isfinite(e.xMax) && std::isfinite(e.yMax);
}

// The file that was refused because it is not a regular file (a pipe, a
// device, a folder), for the report; boxcheck checks one shapefile a run.
std::string refusedFile;

// shapelib's open, without waiting: a pipe under the name of the .shp or the
// .shx would block an ordinary open until something writes into it.
SAFile openForShapelib(const char *name, const char *access) {
    FileDescriptor fd = openRegularFile(name, O_RDONLY);
    if (!fd) {
        if (errno == EISDIR || errno == EINVAL)
            refusedFile = name;
        return nullptr;
    }
    FILE *file = ::fdopen(fd.get(), access);
    if (file != nullptr)
        fd.release();
    return reinterpret_cast<SAFile>(file);
}

} // namespace

BoxAnswer classify(const Extent &e, double boxYMin) {
    if (e.xMin >= kBoxXMin && e.xMax <= kBoxXMax && e.yMin >= boxYMin &&
        e.yMax <= kBoxYMax)
        return BoxAnswer::Inside;
    if (e.xMax < kBoxXMin || e.xMin > kBoxXMax || e.yMax < boxYMin ||
        e.yMin > kBoxYMax)
        return BoxAnswer::CompletelyOutside;
    return BoxAnswer::PartiallyInside;
}

std::vector<std::string> report(const std::string &path, double boxYMin,
                                const Extent *extent, BoxAnswer answer,
                                InputKind kind) {
    std::vector<std::string> lines;
    lines.push_back(std::string("boxcheck: the extent of ") +
                    namesOf(kind).kind + " against a box");
    lines.push_back("File: " + oneLine(path));
    if (answer == BoxAnswer::WrongParameters)
        lines.push_back("Box: none");
    else
        lines.push_back(
            "Box Xmin: " + metres(kBoxXMin) + " Ymin: " + metres(boxYMin) +
            " Xmax: " + metres(kBoxXMax) + " Ymax: " + metres(kBoxYMax));
    if (extent) {
        lines.push_back("Extent Xmin: " + metres(extent->xMin) +
                        " Ymin: " + metres(extent->yMin) + " end");
    } else {
        lines.push_back("Extent Xmin: none Ymin: none end");
    }
    lines.push_back(answerText(answer, kind));
    if (extent)
        lines.push_back("Extent Xmax: " + metres(extent->xMax) +
                        " Ymax: " + metres(extent->yMax) + " end");
    if (answer == BoxAnswer::WrongParameters)
        lines.push_back("Usage: boxcheck <shapefile, GeoPackage or point list> "
                        "-YMIN <value>");
    return lines;
}

InputKind inputKindOf(const std::string &path) {
    if (endsWithIgnoringCase(path, ".gpkg"))
        return InputKind::GeoPackage;
    if (endsWithIgnoringCase(path, ".csv"))
        return InputKind::PointList;
    return InputKind::Shapefile;
}

FileExtent readShapefileExtent(const std::string &path) {
    FileExtent result;
    SAHooks hooks;
    SASetupDefaultHooks(&hooks);
    hooks.FOpen = openForShapelib;
    refusedFile.clear();
    ShpHandle handle(SHPOpenLL(path.c_str(), "rb", &hooks));
    int count = 0;
    int type = SHPT_NULL;
    double minimum[4] = {};
    double maximum[4] = {};
    if (!handle) {
        if (!refusedFile.empty())
            result.problem = refusedFile + " is not a regular file";
        return result;
    }
    SHPGetInfo(handle.get(), &count, &type, minimum, maximum);
    result.extent = {minimum[0], minimum[1], maximum[0], maximum[1]};
    // A file without shapes has no extent, whatever its header says.
    result.found = count > 0 && finite(result.extent);
    return result;
}

// Every record of the list, read by the reader KAVRO converts it with, so
// that a list that KAVRO would refuse has no extent either.
FileExtent readPointListExtent(const std::string &path) {
    FileExtent result;
    const FileDescriptor fd = openRegularFile(path, O_RDONLY);
    if (!fd) {
        result.problem = errno == EISDIR || errno == EINVAL
                             ? path + " is not a regular file"
                             : systemErrorText(errno);
        return result;
    }
    DelimitedTextReader reader{DelimitedTextRequest{}};
    if (!reader.start(fd.get())) {
        result.problem = reader.problem();
        return result;
    }
    Extent &e = result.extent;
    bool any = false;
    PointBlock block;
    while (reader.next(block)) {
        for (const PointRecord &record : block.records) {
            const double x = record.xyz[0], y = record.xyz[1];
            if (!any) {
                e = {x, y, x, y};
                any = true;
            }
            e.xMin = std::min(e.xMin, x);
            e.yMin = std::min(e.yMin, y);
            e.xMax = std::max(e.xMax, x);
            e.yMax = std::max(e.yMax, y);
        }
    }
    if (!reader.problem().empty())
        result.problem = reader.problem();
    else if (!any)
        result.problem = "the point list holds no points";
    else
        result.found = finite(e);
    return result;
}

BoxAnswer checkBox(int argc, const char *const argv[],
                   std::vector<std::string> &lines) {
    const std::string path = argc > 1 ? argv[1] : "";
    double boxYMin = 0;
    if (argc != 4 || path.empty() || !equalsIgnoringCase(argv[2], "-YMIN") ||
        !readNumber(argv[3], boxYMin) || boxYMin > kBoxYMax) {
        lines = report(path, 0, nullptr, BoxAnswer::WrongParameters);
        return BoxAnswer::WrongParameters;
    }

    const InputKind kind = inputKindOf(path);
    FileExtent found;
    switch (kind) {
    case InputKind::Shapefile:
        found = readShapefileExtent(path);
        break;
    case InputKind::PointList:
        found = readPointListExtent(path);
        break;
    case InputKind::GeoPackage:
        found = readGeoPackageExtent(path);
        break;
    }
    if (!found.found) {
        lines = report(path, boxYMin, nullptr, BoxAnswer::CannotOpen, kind);
        if (!found.problem.empty())
            lines[4] += ": " + oneLine(found.problem);
        return BoxAnswer::CannotOpen;
    }
    const BoxAnswer answer = classify(found.extent, boxYMin);
    lines = report(path, boxYMin, &found.extent, answer, kind);
    if (!found.unknownCategory.empty())
        lines.push_back(kUnknownCategoryLabel + oneLine(found.unknownCategory));
    return answer;
}
