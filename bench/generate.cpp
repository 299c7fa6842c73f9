// Deterministic inputs for the throughput benchmark: a text point file of
// "x y z label" records and two shapefiles (polylines and points), all in
// Gauss-Boaga West coordinates over northern Italy; with "csv", a point list
// of ten columns as an Italian spreadsheet exports it instead, and its
// points in cct's format.
//
//   kavro_benchgen <folder> [full|small] [csv]
//
// "full" writes 2,000,000 text records, 100,000 polylines of 50 vertices
// and 1,000,000 points, 2,000,000 list records; "small" a hundredth of each.

#include <shapefil.h>

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

// A fixed-seed generator so every run writes the same bytes.
class SplitMix {
  public:
    explicit SplitMix(std::uint64_t seed) : state_(seed) {}
    double uniform() { // [0, 1)
        return static_cast<double>(next() >> 11) * 0x1.0p-53;
    }

  private:
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    std::uint64_t state_;
};

constexpr double kEastMin = 1520000, kEastSpan = 220000;   // metres
constexpr double kNorthMin = 4950000, kNorthSpan = 250000; // metres

struct Counts {
    long textRecords, lines, verticesPerLine, points;
};

bool writeText(const std::string &path, long records, SplitMix &random) {
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    std::vector<char> buffer(1 << 20);
    std::setvbuf(file, buffer.data(), _IOFBF, buffer.size());
    for (long i = 0; i < records; ++i) {
        const double x = kEastMin + kEastSpan * random.uniform();
        const double y = kNorthMin + kNorthSpan * random.uniform();
        const double z = 2000 * random.uniform();
        std::fprintf(file, "%.3f %.3f %.2f P%ld\n", x, y, z, i + 1);
    }
    return std::fclose(file) == 0;
}

void writeDbf(const std::string &path, long records) {
    DBFHandle dbf = DBFCreate(path.c_str());
    if (!dbf)
        return;
    DBFAddField(dbf, "ID", FTInteger, 10, 0);
    for (long i = 0; i < records; ++i)
        DBFWriteIntegerAttribute(dbf, static_cast<int>(i), 0,
                                 static_cast<int>(i + 1));
    DBFClose(dbf);
}

bool writeLines(const std::string &path, long lines, long vertices,
                SplitMix &random) {
    SHPHandle shp = SHPCreate(path.c_str(), SHPT_ARC);
    if (!shp)
        return false;
    std::vector<double> x(vertices), y(vertices);
    for (long i = 0; i < lines; ++i) {
        double e = kEastMin + kEastSpan * random.uniform();
        double n = kNorthMin + kNorthSpan * random.uniform();
        for (long v = 0; v < vertices; ++v) {
            e += 200 * (random.uniform() - 0.5);
            n += 200 * (random.uniform() - 0.5);
            x[v] = e;
            y[v] = n;
        }
        SHPObject *object = SHPCreateSimpleObject(
            SHPT_ARC, static_cast<int>(vertices), x.data(), y.data(), nullptr);
        SHPWriteObject(shp, -1, object);
        SHPDestroyObject(object);
    }
    SHPClose(shp);
    writeDbf(path.substr(0, path.size() - 4) + ".dbf", lines);
    return true;
}

bool writePoints(const std::string &path, long points, SplitMix &random) {
    SHPHandle shp = SHPCreate(path.c_str(), SHPT_POINT);
    if (!shp)
        return false;
    for (long i = 0; i < points; ++i) {
        double x = kEastMin + kEastSpan * random.uniform();
        double y = kNorthMin + kNorthSpan * random.uniform();
        SHPObject *object =
            SHPCreateSimpleObject(SHPT_POINT, 1, &x, &y, nullptr);
        SHPWriteObject(shp, -1, object);
        SHPDestroyObject(object);
    }
    SHPClose(shp);
    writeDbf(path.substr(0, path.size() - 4) + ".dbf", points);
    return true;
}

// ';', decimal commas, CR-LF, quoted text that holds the separator; and
// the same points as "x y z 0" for cct.
bool writeDelimited(const std::string &path, const std::string &cctPath,
                    long records, SplitMix &random) {
    std::FILE *file = std::fopen(path.c_str(), "wb");
    std::FILE *cct = std::fopen(cctPath.c_str(), "wb");
    if (!file || !cct)
        return false;
    std::vector<char> buffer(1 << 20), cctBuffer(1 << 20);
    std::setvbuf(file, buffer.data(), _IOFBF, buffer.size());
    std::setvbuf(cct, cctBuffer.data(), _IOFBF, cctBuffer.size());
    std::fputs("ID;Codice;Via;Civico;Est;Nord;Quota;Stato;Data;Note\r\n", file);
    const auto comma = [](char *text) {
        for (char *c = text; *c; ++c)
            if (*c == '.')
                *c = ',';
        return text;
    };
    for (long i = 0; i < records; ++i) {
        char x[32], y[32], z[32];
        std::snprintf(x, sizeof x, "%.3f",
                      kEastMin + kEastSpan * random.uniform());
        std::snprintf(y, sizeof y, "%.3f",
                      kNorthMin + kNorthSpan * random.uniform());
        std::snprintf(z, sizeof z, "%.2f", 2000 * random.uniform());
        std::fprintf(cct, "%s %s %s 0\n", x, y, z);
        std::fprintf(file,
                     "%ld;PZ%06ld;\"Via Roma; %ld\";%ld;%s;%s;%s;attivo;"
                     "2024-05-%02ld;\"rilievo %ld\"\r\n",
                     i + 1, i % 1000000, i % 400, 1 + i % 120, comma(x),
                     comma(y), comma(z), 1 + i % 28, i % 7);
    }
    return std::fclose(cct) == 0 && std::fclose(file) == 0;
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <folder> [full|small]\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    const bool small = argc > 2 && std::string(argv[2]) == "small";
    const Counts counts = small ? Counts{20000, 1000, 50, 10000}
                                : Counts{2000000, 100000, 50, 1000000};
    if (argc > 3 && std::string(argv[3]) == "csv") {
        SplitMix random(24);
        if (writeDelimited(folder + "/points.csv", folder + "/csv_points.txt",
                           counts.textRecords, random))
            return 0;
        std::fprintf(stderr, "cannot write the lists into %s\n",
                     folder.c_str());
        return 1;
    }
    SplitMix random(20261208);
    const bool ok =
        writeText(folder + "/points.txt", counts.textRecords, random) &&
        writeLines(folder + "/lines.shp", counts.lines, counts.verticesPerLine,
                   random) &&
        writePoints(folder + "/points.shp", counts.points, random);
    if (!ok) {
        std::fprintf(stderr, "cannot write the inputs into %s\n",
                     folder.c_str());
        return 1;
    }
    return 0;
}
