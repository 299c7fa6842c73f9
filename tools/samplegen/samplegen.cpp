// samplegen <folder>: writes the sample shapefiles of the project into the
// folder: points, lines and polygons with an attribute table, over the
// Bolzano and Trento area, once in Gauss-Boaga West ("gbo_*") and once in the
// shortened regional form ("gboshift_*": 1 500 000 m less in the easting,
// 5 000 000 m less in the northing). Every control point of the accuracy
// checks is a vertex of each file. The output is the same on every run, so
// the committed samples can be compared with a fresh one.
#include "ShpHandle.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

struct DbfCloser {
    void operator()(DBFInfo *handle) const { DBFClose(handle); }
};
using DbfHandle = std::unique_ptr<DBFInfo, DbfCloser>;

// The control points, Gauss-Boaga West, metres.
struct ControlPoint {
    const char *name;
    double e, n;
    const char *province;
};
const ControlPoint kTrento{"Trento", 1664097.77, 5103702.47, "Trento"};
const ControlPoint kBolzano{"Bolzano/Bozen", 1680720.62, 5152103.32,
                            "Bolzano/Bozen – Südtirol"};
const ControlPoint kGridSouthWest{"grid 1605000 5060000", 1605000, 5060000,
                                  "Trento"};
const ControlPoint kGridBolzano{"grid 1671000 5148000", 1671000, 5148000,
                                "Bolzano/Bozen – Südtirol"};
const ControlPoint kGridNorthEast{"grid 1770000 5214000", 1770000, 5214000,
                                  "Bolzano/Bozen – Südtirol"};
const ControlPoint *const kControlPoints[] = {
    &kTrento, &kBolzano, &kGridSouthWest, &kGridBolzano, &kGridNorthEast};

struct Vertex {
    double e, n;
};
Vertex at(const ControlPoint &p) { return {p.e, p.n}; }

struct Feature {
    std::vector<std::vector<Vertex>> parts;
    const char *name;
    const char *province;
};

struct Offset {
    double e, n;
};

bool writeLayer(const std::string &base, int type,
                const std::vector<Feature> &features, Offset offset) {
    ShpHandle shp(SHPCreate((base + ".shp").c_str(), type));
    DbfHandle dbf(DBFCreateEx((base + ".dbf").c_str(), "UTF-8"));
    if (!shp || !dbf)
        return false;
    const int id = DBFAddField(dbf.get(), "ID", FTInteger, 6, 0);
    const int name = DBFAddField(dbf.get(), "NAME", FTString, 60, 0);
    const int province = DBFAddField(dbf.get(), "PROVINCE", FTString, 40, 0);
    if (id < 0 || name < 0 || province < 0)
        return false;

    for (std::size_t f = 0; f < features.size(); ++f) {
        std::vector<int> starts;
        std::vector<double> x, y;
        for (const auto &part : features[f].parts) {
            starts.push_back(static_cast<int>(x.size()));
            for (const Vertex &v : part) {
                x.push_back(v.e - offset.e);
                y.push_back(v.n - offset.n);
            }
        }
        const bool single = type == SHPT_POINT;
        ShpObject object(SHPCreateObject(
            type, -1, single ? 0 : static_cast<int>(starts.size()),
            single ? nullptr : starts.data(), nullptr,
            static_cast<int>(x.size()), x.data(), y.data(), nullptr, nullptr));
        const int record = static_cast<int>(f);
        if (!object || SHPWriteObject(shp.get(), -1, object.get()) < 0 ||
            !DBFWriteIntegerAttribute(dbf.get(), record, id, record + 1) ||
            !DBFWriteStringAttribute(dbf.get(), record, name,
                                     features[f].name) ||
            !DBFWriteStringAttribute(dbf.get(), record, province,
                                     features[f].province))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "Usage: samplegen <folder>\n");
        return 2;
    }
    const std::string folder = argv[1];

    std::vector<Feature> points;
    for (const ControlPoint *p : kControlPoints)
        points.push_back({{{at(*p)}}, p->name, p->province});

    const std::vector<Feature> lines = {
        {{{at(kGridSouthWest), {1640000, 5085000}, at(kTrento)},
          {at(kTrento), {1672000, 5125000}, at(kGridBolzano), at(kBolzano)}},
         "Trento - Bolzano/Bozen, two parts",
         "Trento"},
        {{{at(kBolzano), {1720000, 5180000}, at(kGridNorthEast)}},
         "Bolzano/Bozen - Pustertal/Val Pusteria",
         "Bolzano/Bozen – Südtirol"},
    };

    // Outer rings run clockwise, holes anticlockwise.
    const std::vector<Feature> polygons = {
        {{{at(kGridSouthWest),
           {1605000, 5214000},
           at(kGridNorthEast),
           {1770000, 5060000},
           at(kGridSouthWest)},
          {at(kTrento),
           {1700000, 5103702.47},
           at(kBolzano),
           at(kGridBolzano),
           at(kTrento)}},
         "area with a hole between Trento and Bolzano/Bozen",
         "Trento"},
        {{{{1690000, 5160000},
           {1695000, 5170000},
           {1700000, 5160000},
           {1690000, 5160000}}},
         "small triangle north of Bolzano/Bozen",
         "Bolzano/Bozen – Südtirol"},
    };

    struct Layer {
        const char *name;
        int type;
        const std::vector<Feature> &features;
    } const layers[] = {{"points", SHPT_POINT, points},
                        {"lines", SHPT_ARC, lines},
                        {"polygons", SHPT_POLYGON, polygons}};
    struct Form {
        const char *prefix;
        Offset offset;
    } const forms[] = {{"gbo_", {0, 0}}, {"gboshift_", {1500000, 5000000}}};

    for (const Form &form : forms)
        for (const Layer &layer : layers) {
            const std::string base = folder + "/" + form.prefix + layer.name;
            if (!writeLayer(base, layer.type, layer.features, form.offset)) {
                std::fprintf(stderr, "samplegen: cannot write %s\n",
                             base.c_str());
                return 1;
            }
        }
    return 0;
}
