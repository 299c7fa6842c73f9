// Largest horizontal difference between two conversions of the same input:
//
//   kavro_benchcmp txt <a.txt> <b.txt>   first two numbers of each line
//   kavro_benchcmp shp <a.shp> <b.shp>   every vertex, shape by shape
//   kavro_benchcmp csv <a.csv> <b.txt>   a point list's coordinates against
//                                        the lines of b
//   kavro_benchcmp gpkg <a.gpkg> <b.gpkg> every vertex of every layer of a,
//                                        feature by feature, against the
//                                        layer of that name in b
//
// Prints the largest difference in the files' unit and the number of points
// compared; exits 1 when the files do not pair up.

#include "DelimitedTextReader.h"
#include "GeoPackageFile.h"
#include "GeoPackageGeometry.h"
#include "SqliteHandle.h"

#include <shapefil.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

bool firstTwo(const std::string &line, double &x, double &y) {
    const char *p = line.c_str();
    char *end = nullptr;
    x = std::strtod(p, &end);
    if (end == p)
        return false;
    p = end;
    y = std::strtod(p, &end);
    return end != p;
}

int compareText(const char *a, const char *b) {
    std::ifstream fa(a), fb(b);
    if (!fa || !fb) {
        std::fprintf(stderr, "cannot open %s or %s\n", a, b);
        return 1;
    }
    std::string la, lb;
    double worst = 0;
    long count = 0;
    while (std::getline(fa, la)) {
        if (!std::getline(fb, lb)) {
            std::fprintf(stderr, "%s has fewer lines than %s\n", b, a);
            return 1;
        }
        double xa, ya, xb, yb;
        if (!firstTwo(la, xa, ya) || !firstTwo(lb, xb, yb)) {
            std::fprintf(stderr, "line %ld is not a point\n", count + 1);
            return 1;
        }
        worst = std::fmax(worst, std::hypot(xa - xb, ya - yb));
        ++count;
    }
    if (std::getline(fb, lb)) {
        std::fprintf(stderr, "%s has more lines than %s\n", b, a);
        return 1;
    }
    std::printf("%.9g %ld\n", worst, count);
    return 0;
}

int compareList(const char *a, const char *b) {
    const int fd = ::open(a, O_RDONLY | O_CLOEXEC);
    std::ifstream fb(b);
    DelimitedTextReader reader({});
    if (fd < 0 || !fb || !reader.start(fd)) {
        std::fprintf(stderr, "cannot read %s or %s: %s\n", a, b,
                     reader.problem().c_str());
        return 1;
    }
    double worst = 0;
    long count = 0;
    PointBlock block;
    std::string line;
    while (reader.next(block)) {
        for (const PointRecord &record : block.records) {
            double x, y;
            if (!std::getline(fb, line) || !firstTwo(line, x, y)) {
                std::fprintf(stderr, "%s has fewer points than %s\n", b, a);
                return 1;
            }
            worst = std::fmax(worst,
                              std::hypot(record.xyz[0] - x, record.xyz[1] - y));
            ++count;
        }
    }
    ::close(fd);
    if (!reader.problem().empty() || std::getline(fb, line)) {
        std::fprintf(stderr, "%s: %s\n", a,
                     reader.problem().empty() ? "fewer points"
                                              : reader.problem().c_str());
        return 1;
    }
    std::printf("%.9g %ld\n", worst, count);
    return 0;
}

int compareShapes(const char *a, const char *b) {
    SHPHandle sa = SHPOpen(a, "rb"), sb = SHPOpen(b, "rb");
    if (!sa || !sb) {
        std::fprintf(stderr, "cannot open %s or %s\n", a, b);
        return 1;
    }
    int na = 0, nb = 0;
    SHPGetInfo(sa, &na, nullptr, nullptr, nullptr);
    SHPGetInfo(sb, &nb, nullptr, nullptr, nullptr);
    if (na != nb) {
        std::fprintf(stderr, "%d shapes against %d\n", na, nb);
        return 1;
    }
    double worst = 0;
    long count = 0;
    for (int i = 0; i < na; ++i) {
        SHPObject *oa = SHPReadObject(sa, i), *ob = SHPReadObject(sb, i);
        if (!oa || !ob || oa->nVertices != ob->nVertices) {
            std::fprintf(stderr, "shape %d differs\n", i);
            return 1;
        }
        for (int v = 0; v < oa->nVertices; ++v, ++count)
            worst = std::fmax(worst, std::hypot(oa->padfX[v] - ob->padfX[v],
                                                oa->padfY[v] - ob->padfY[v]));
        SHPDestroyObject(oa);
        SHPDestroyObject(ob);
    }
    SHPClose(sa);
    SHPClose(sb);
    std::printf("%.9g %ld\n", worst, count);
    return 0;
}

struct XY {
    double x, y;
};

// The vertices of the geometries of one layer, feature by feature in the
// order of their ids; false when the layer cannot be read.
bool layerVertices(sqlite3 *db, const GeoPackageLayer &layer,
                   std::vector<std::vector<XY>> &features) {
    SqliteStatement rows = prepareSqlite(
        db, "SELECT " + quoteSqlIdentifier(layer.column) + " FROM " +
                quoteSqlIdentifier(layer.table) + " ORDER BY rowid");
    if (!rows)
        return false;
    std::vector<gpkg::VertexRun> runs;
    gpkg::GeometryBlob blob;
    std::string reason;
    while (sqlite3_step(rows.get()) == SQLITE_ROW) {
        const std::span<const std::uint8_t> bytes = columnBlob(rows.get(), 0);
        runs.clear();
        features.emplace_back();
        if (bytes.empty())
            continue;
        if (!gpkg::readGeometryBlob(bytes, blob, runs, reason))
            return false;
        features.back().resize(gpkg::vertexCount(runs));
        gpkg::takeVertices(bytes, runs, features.back().data());
    }
    return true;
}

int compareGeoPackages(const char *a, const char *b) {
    SqliteDb da, db;
    std::string reason;
    std::vector<GeoPackageLayer> layers, others;
    if (!openSqlite(a, SQLITE_OPEN_READONLY, da, reason) ||
        !openSqlite(b, SQLITE_OPEN_READONLY, db, reason) ||
        !readGeoPackageLayers(da.get(), layers, reason) ||
        !readGeoPackageLayers(db.get(), others, reason) || layers.empty()) {
        std::fprintf(stderr, "cannot read %s or %s: %s\n", a, b,
                     reason.c_str());
        return 1;
    }
    double worst = 0;
    long count = 0;
    for (const GeoPackageLayer &layer : layers) {
        GeoPackageLayer other = layer;
        for (const GeoPackageLayer &candidate : others)
            if (candidate.table == layer.table)
                other = candidate;
        std::vector<std::vector<XY>> fa, fb;
        if (!layerVertices(da.get(), layer, fa) ||
            !layerVertices(db.get(), other, fb) || fa.size() != fb.size()) {
            std::fprintf(stderr, "layer %s differs\n", layer.table.c_str());
            return 1;
        }
        for (std::size_t f = 0; f < fa.size(); ++f) {
            if (fa[f].size() != fb[f].size()) {
                std::fprintf(stderr, "feature %zu of %s differs\n", f + 1,
                             layer.table.c_str());
                return 1;
            }
            for (std::size_t v = 0; v < fa[f].size(); ++v, ++count)
                worst = std::fmax(worst, std::hypot(fa[f][v].x - fb[f][v].x,
                                                    fa[f][v].y - fb[f][v].y));
        }
    }
    std::printf("%.9g %ld\n", worst, count);
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s txt|shp|csv|gpkg <a> <b>\n", argv[0]);
        return 2;
    }
    const std::string kind = argv[1];
    if (kind == "csv")
        return compareList(argv[2], argv[3]);
    if (kind == "gpkg")
        return compareGeoPackages(argv[2], argv[3]);
    return kind == "shp" ? compareShapes(argv[2], argv[3])
                         : compareText(argv[2], argv[3]);
}
