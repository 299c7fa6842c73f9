#include "GeoPackageGeometry.h"
#include "GeoPackageTestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

using namespace gpkgtest;
using gpkg::EnvelopeKind;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct XY {
    double x = 0, y = 0;
};

// What a conversion does to each vertex in these tests.
Vertex moved(Vertex v) {
    v.x = v.x * 2 + 1000;
    v.y = v.y - 500;
    return v;
}

// A geometry built twice from the same vertices: as they are and moved.
struct Shape {
    const char *name;
    std::function<Bytes(std::function<Vertex(Vertex)>)> build;
    std::vector<Vertex> vertices; // in blob order, empty points left out
    bool hasZ = false, hasM = false;
};

std::vector<Shape> shapes() {
    const Vertex a{1, 2, 3, 4}, b{5, -6, 7, -8}, c{-9, 10, 11, 12},
        d{13, 14, -15, 16};
    const Form le{true, Dims::XY}, be{false, Dims::XY};
    const Form zBig{false, Dims::XYZ}, mLittle{true, Dims::XYM};
    const Form zm{true, Dims::XYZM}, zmBig{false, Dims::XYZM};
    using F = std::function<Vertex(Vertex)>;
    return {
        {"point", [=](F f) { return point(f(a), be); }, {a}},
        {"line Z big endian",
         [=](F f) {
             return lineString({f(a), f(b), f(c)}, zBig);
         },
         {a, b, c},
         true},
        {"polygon M with a hole",
         [=](F f) {
             return polygon({{f(a), f(b), f(c), f(a)}, {f(d), f(b), f(d)}},
                            mLittle);
         },
         {a, b, c, a, d, b, d},
         false,
         true},
        {"multipoint with an empty point",
         [=](F f) {
             return collection(kMultiPoint,
                               {point({kNaN, kNaN}, le), point(f(c), be)}, le);
         },
         {c}},
        // Members in the other byte order than their collection, nested
        // three deep: a compound curve of a circular arc and a line, inside
        // a curve polygon, inside a multisurface.
        {"multisurface of a curve polygon ZM",
         [=](F f) {
             const Bytes arc =
                 lineString({f(a), f(b), f(c)}, zmBig, kCircularString);
             const Bytes line = lineString({f(c), f(d), f(a)}, zm);
             const Bytes compound = collection(kCompoundCurve, {arc, line}, zm);
             const Bytes surface = collection(kCurvePolygon, {compound}, zmBig);
             return collection(kMultiSurface, {surface}, zm);
         },
         {a, b, c, c, d, a},
         true,
         true},
        {"collection of a multiline and a point",
         [=](F f) {
             const Bytes lines = collection(
                 kMultiLineString,
                 {lineString({f(a), f(b)}, be), lineString({f(c), f(d)}, le)},
                 be);
             return collection(kGeometryCollection, {lines, point(f(d), le)},
                               le);
         },
         {a, b, c, d, d}},
    };
}

double headerNumber(const Bytes &blob, std::size_t index, bool littleEndian) {
    return gpkg::detail::loadDouble(blob.data() + 8 + 8 * index, littleEndian);
}

} // namespace

// Every geometry in every header form: the blob keeps its size and every
// byte but the moved x and y, the srs_id and the envelope, which is
// recomputed in its own kind and byte order.
TEST(GeoPackageGeometry, ConvertsEveryShapeInPlaceInEachHeaderForm) {
    const EnvelopeKind kinds[] = {EnvelopeKind::None, EnvelopeKind::XY,
                                  EnvelopeKind::XYZ, EnvelopeKind::XYM,
                                  EnvelopeKind::XYZM};
    const auto same = [](Vertex v) { return v; };
    for (const Shape &shape : shapes()) {
        for (const EnvelopeKind kind : kinds) {
            for (const bool headerLittle : {true, false}) {
                SCOPED_TRACE(testing::Message()
                             << shape.name << ", envelope "
                             << static_cast<int>(kind) << ", header "
                             << (headerLittle ? "little" : "big"));
                Header header{3003, kind, headerLittle};
                Bytes bytes = blob(shape.build(same), header);
                gpkg::GeometryBlob info;
                std::vector<gpkg::VertexRun> runs;
                std::string reason;
                ASSERT_TRUE(gpkg::readGeometryBlob(bytes, info, runs, reason))
                    << reason;
                EXPECT_EQ(info.srsId, 3003);
                ASSERT_EQ(gpkg::vertexCount(runs), shape.vertices.size());

                std::vector<XY> points(shape.vertices.size());
                gpkg::takeVertices(bytes, runs, points.data());
                for (std::size_t i = 0; i < points.size(); ++i) {
                    const Vertex to = moved({points[i].x, points[i].y});
                    points[i] = {to.x, to.y};
                }
                gpkg::Bounds bounds = info.zm;
                gpkg::putVertices(std::span<std::uint8_t>(bytes), runs,
                                  points.data(), bounds);
                gpkg::rewriteHeader(bytes, info, 25832, bounds);

                Bytes expected = blob(shape.build(moved), header);
                ASSERT_EQ(bytes.size(), expected.size());
                const std::size_t start = info.headerSize;
                EXPECT_TRUE(std::equal(bytes.begin() + start, bytes.end(),
                                       expected.begin() + start));
                gpkg::GeometryBlob after;
                runs.clear();
                ASSERT_TRUE(gpkg::readGeometryBlob(bytes, after, runs, reason));
                EXPECT_EQ(after.srsId, 25832);
                EXPECT_EQ(after.flags, info.flags);

                // The envelope: min and max of each axis the kind has.
                double lo[4], hi[4];
                std::fill(lo, lo + 4, INFINITY);
                std::fill(hi, hi + 4, -INFINITY);
                for (const Vertex &v0 : shape.vertices) {
                    const Vertex v = moved(v0);
                    const double axes[] = {v.x, v.y, v.z, v.m};
                    for (int i = 0; i < 4; ++i) {
                        lo[i] = std::min(lo[i], axes[i]);
                        hi[i] = std::max(hi[i], axes[i]);
                    }
                }
                std::vector<double> want = {lo[0], hi[0], lo[1], hi[1]};
                const bool z =
                    kind == EnvelopeKind::XYZ || kind == EnvelopeKind::XYZM;
                const bool m =
                    kind == EnvelopeKind::XYM || kind == EnvelopeKind::XYZM;
                if (z)
                    want.insert(want.end(), {shape.hasZ ? lo[2] : kNaN,
                                             shape.hasZ ? hi[2] : kNaN});
                if (m)
                    want.insert(want.end(), {shape.hasM ? lo[3] : kNaN,
                                             shape.hasM ? hi[3] : kNaN});
                if (kind != EnvelopeKind::None) {
                    ASSERT_EQ(want.size(), gpkg::envelopeValues(kind));
                }
                for (std::size_t i = 0; i < gpkg::envelopeValues(kind); ++i) {
                    const double got = headerNumber(bytes, i, headerLittle);
                    if (std::isnan(want[i]))
                        EXPECT_TRUE(std::isnan(got)) << i;
                    else
                        EXPECT_EQ(got, want[i]) << i;
                }
            }
        }
    }
}

TEST(GeoPackageGeometry, EmptyGeometriesStayEmptyWithANaNEnvelope) {
    const Bytes cases[] = {
        blob(point({kNaN, kNaN}), {0, EnvelopeKind::XY, true, true}),
        blob(collection(kMultiPolygon, {}), {0, EnvelopeKind::XY, false, true}),
        blob({}, {0, EnvelopeKind::XY, true, true}), // a header alone
    };
    for (Bytes bytes : cases) {
        gpkg::GeometryBlob info;
        std::vector<gpkg::VertexRun> runs;
        std::string reason;
        ASSERT_TRUE(gpkg::readGeometryBlob(bytes, info, runs, reason))
            << reason;
        EXPECT_TRUE(info.emptyFlag);
        EXPECT_TRUE(runs.empty());
        const Bytes before = bytes;
        gpkg::rewriteHeader(bytes, info, 0, gpkg::Bounds{});
        for (std::size_t i = 0; i < 4; ++i)
            EXPECT_TRUE(
                std::isnan(headerNumber(bytes, i, info.littleEndianHeader)));
        EXPECT_TRUE(std::equal(bytes.begin() + info.headerSize, bytes.end(),
                               before.begin() + info.headerSize));
    }
}

TEST(GeoPackageGeometry, RefusesMalformedBlobsWithTheirReason) {
    const Bytes good = blob(lineString({{1, 2}, {3, 4}}));
    const auto with = [&](std::size_t at, std::vector<std::uint8_t> bytes) {
        Bytes changed = good;
        std::copy(bytes.begin(), bytes.end(), changed.begin() + at);
        return changed;
    };
    Bytes deep = point({1, 2});
    for (int i = 0; i <= gpkg::kMaxNesting; ++i)
        deep = collection(kGeometryCollection, {deep});
    Bytes trailing = good;
    trailing.push_back(0);
    const std::size_t wkb = 8 + 32; // the XY envelope's header
    const struct {
        const char *name;
        Bytes bytes;
        const char *reason;
    } cases[] = {
        {"shorter than a header", Bytes{'G', 'P', 0}, "fewer than a header"},
        {"no magic", with(0, {'X'}), "does not start with \"GP\""},
        {"version 1", with(2, {1}), "version 1"},
        {"extended type", with(3, {0x23}), "extended geometry type"},
        {"envelope kind 5", with(3, {0x0B}), "envelope kind 5"},
        {"cut in its envelope", Bytes(good.begin(), good.begin() + 20),
         "inside its envelope"},
        {"byte order 2", with(wkb, {2}), "byte order 2"},
        {"type 13 (Curve)", with(wkb + 1, {13, 0, 0, 0}), "type 13"},
        {"type 4002", with(wkb + 1, {0xA2, 0x0F, 0, 0}), "type 4002"},
        {"EWKB with an SRID", with(wkb + 1, {2, 0, 0, 0x20}), "SRID"},
        {"a billion points", with(wkb + 5, {0, 0xCA, 0x9A, 0x3B}),
         "1000000000 coordinates"},
        {"nested too deep", blob(deep), "nest more than 32 deep"},
        {"bytes after the geometry", trailing, "1 bytes follow"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        gpkg::GeometryBlob info;
        std::vector<gpkg::VertexRun> runs;
        std::string reason;
        EXPECT_FALSE(gpkg::readGeometryBlob(c.bytes, info, runs, reason));
        EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
    }
}

// Each shorter copy (in a buffer of exactly its size, so that a sanitizer
// sees any read beyond it) is refused.
TEST(GeoPackageGeometry, RefusesEveryTruncationOfAValidBlob) {
    for (const Shape &shape : shapes()) {
        const Bytes whole = blob(shape.build([](Vertex v) { return v; }),
                                 {3003, EnvelopeKind::XYZM, false});
        for (std::size_t size = 0; size < whole.size(); ++size) {
            const Bytes cut(whole.begin(), whole.begin() + size);
            gpkg::GeometryBlob info;
            std::vector<gpkg::VertexRun> runs;
            std::string reason;
            EXPECT_FALSE(gpkg::readGeometryBlob(cut, info, runs, reason))
                << shape.name << " cut to " << size;
        }
    }
}
