// Arbitrary bytes as a file that boxcheck reads: a GeoPackage when they
// start as an SQLite database does (the seeds are small GeoPackages, whose
// pages the fuzzer mutates), a point list otherwise. boxcheck answers within
// its statuses, its report keeps the shape the desktop reads (no line break
// inside a line, the fourth line ending in " end", a seventh line only with
// an extent), and an extent it finds is finite and ordered.
#include "BoxCheck.h"
#include "FuzzSupport.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {
void check(bool condition) {
    if (!condition)
        std::abort();
}

bool ordered(const Extent &e) {
    return std::isfinite(e.xMin) && std::isfinite(e.yMin) &&
           std::isfinite(e.xMax) && std::isfinite(e.yMax) && e.xMin <= e.xMax &&
           e.yMin <= e.yMax;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    constexpr char kSqlite[] = "SQLite format 3";
    const bool geoPackage = size >= sizeof kSqlite &&
                            std::memcmp(data, kSqlite, sizeof kSqlite) == 0;
    const std::string path =
        (fuzz::scratch() / (geoPackage ? "in.gpkg" : "in.csv")).string();
    fuzz::writeFile(path, data, size);

    const FileExtent found =
        geoPackage ? readGeoPackageExtent(path) : readPointListExtent(path);
    check(found.found || found.unknownCategory.empty());
    check(!found.found || ordered(found.extent));

    const char *const argv[] = {"boxcheck", path.c_str(), "-YMIN", "2500000"};
    std::vector<std::string> lines;
    const BoxAnswer answer = checkBox(4, argv, lines);
    check(answer != BoxAnswer::WrongParameters);
    check((answer == BoxAnswer::CannotOpen) != found.found);
    check(lines.size() >= 5 && lines.size() <= 7);
    check(lines.size() < 7 || found.found);
    check(lines[3].size() >= 4 &&
          lines[3].compare(lines[3].size() - 4, 4, " end") == 0);
    for (const std::string &line : lines)
        check(line.find('\n') == std::string::npos &&
              line.find('\r') == std::string::npos);
    return 0;
}
