#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <span>
#include <string>
#include <vector>

// Geometry blobs of a GeoPackage feature table (OGC 12-128,
// "GeoPackageBinary"):
//
//   "GP", version 0, flags, srs_id (int32), envelope (0, 4, 6 or 8 doubles),
//   then one geometry in well-known binary (WKB).
//
// The flags hold the header's byte order (bit 0: 1 = little endian), the
// envelope's kind (bits 1-3: none, xy, xyz, xym, xyzm), the empty flag (bit
// 4) and the extended-type flag (bit 5, a vendor encoding this code does not
// read). The WKB is ISO WKB with Z, M or ZM (type + 1000, 2000, 3000; the
// high bits 0x80000000 and 0x40000000 that older writers set for Z and M
// are read too): Point, LineString, Polygon, the Multi types and
// GeometryCollection, the curve types CircularString, CompoundCurve,
// CurvePolygon, MultiCurve and MultiSurface, and PolyhedralSurface, TIN and
// Triangle. Every nested geometry carries its own byte order.
//
// A blob is converted in place: its structure is read once into runs of
// vertices (readGeometryBlob), their x and y are taken out, converted and
// put back in the same byte order (takeVertices, putVertices), and the
// header gets its new srs_id and an envelope of the same kind recomputed
// from the vertices (rewriteHeader). The blob keeps its size and every byte
// other than those. An empty point (x and y both NaN) is no vertex: it is
// neither converted nor counted in the envelope.
//
// Reading never goes beyond the blob's end, whatever its bytes claim: a
// count is checked against the bytes left before anything is read for it,
// and geometries nest at most kMaxNesting deep.
namespace gpkg {

inline constexpr int kMaxNesting = 32;
inline constexpr std::size_t kMinimumHeaderSize = 8;

// The geometry types of WKB, before Z, M and ZM add 1000, 2000 and 3000.
enum WkbType : std::uint32_t {
    kPoint = 1,
    kLineString = 2,
    kPolygon = 3,
    kMultiPoint = 4,
    kMultiLineString = 5,
    kMultiPolygon = 6,
    kGeometryCollection = 7,
    kCircularString = 8,
    kCompoundCurve = 9,
    kCurvePolygon = 10,
    kMultiCurve = 11,
    kMultiSurface = 12,
    kPolyhedralSurface = 15,
    kTin = 16,
    kTriangle = 17,
};

enum class EnvelopeKind : std::uint8_t {
    None = 0,
    XY = 1,
    XYZ = 2,
    XYM = 3,
    XYZM = 4
};

// The number of doubles in an envelope of that kind (0, 4, 6, 6, 8).
std::size_t envelopeValues(EnvelopeKind kind);

// The smallest and largest value of each axis over a set of vertices; an
// axis that no vertex gives (an empty geometry, a Z that a 2D geometry does
// not have) stays NaN at both ends. NaN values are not counted.
struct Bounds {
    static constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
    double minX = kNone, maxX = kNone, minY = kNone, maxY = kNone;
    double minZ = kNone, maxZ = kNone, minM = kNone, maxM = kNone;

    void addXY(double x, double y) {
        widen(minX, maxX, x);
        widen(minY, maxY, y);
    }
    void addZ(double z) { widen(minZ, maxZ, z); }
    void addM(double m) { widen(minM, maxM, m); }
    // Takes in the x and y ranges of another set.
    void addXY(const Bounds &other);
    bool hasXY() const { return minX == minX; } // not NaN

  private:
    static void widen(double &low, double &high, double value) {
        if (value != value) // NaN
            return;
        if (!(value >= low)) // also when low is NaN
            low = value;
        if (!(value <= high))
            high = value;
    }
};

// Vertices that stand one after the other in a blob: count vertices, the
// first one's x at offset, each stride bytes after the one before, x and y
// as doubles in one byte order.
struct VertexRun {
    std::uint32_t offset = 0;
    std::uint32_t count = 0;
    std::uint8_t stride = 16; // 16 (xy), 24 (xyz, xym) or 32 (xyzm)
    bool littleEndian = true;
};

// What the header says, and the bounds of what passes unchanged.
struct GeometryBlob {
    std::uint8_t version = 0;
    std::uint8_t flags = 0;
    bool littleEndianHeader = true;
    EnvelopeKind envelope = EnvelopeKind::None;
    bool emptyFlag = false; // as the header says
    std::int32_t srsId = 0;
    std::size_t headerSize = kMinimumHeaderSize; // where the WKB starts
    std::uint32_t wkbType = 0; // the outer geometry's type, as written
    // The Z and M ranges of the vertices (x and y are left NaN here: they
    // change).
    Bounds zm;
};

// Reads the header and the WKB structure of a blob, appends its vertex runs
// to runs (in the order of the blob) and fills blob. False when the bytes
// are not such a blob; reason then says what is wrong ("the blob ends
// inside its envelope"), and runs may hold part of the blob's runs.
bool readGeometryBlob(std::span<const std::uint8_t> bytes, GeometryBlob &blob,
                      std::vector<VertexRun> &runs, std::string &reason);

// The number of vertices in runs.
std::size_t vertexCount(std::span<const VertexRun> runs);

// Stores the x and y of every vertex of the runs, in order, at out (which
// has room for vertexCount(runs) points); Point is any type with double
// members x and y. The runs must come from readGeometryBlob for these bytes.
template <class Point>
void takeVertices(std::span<const std::uint8_t> bytes,
                  std::span<const VertexRun> runs, Point *out);

// Writes the points back into the runs' places, each in its run's byte
// order, and adds them to the x and y ranges of bounds.
template <class Point>
void putVertices(std::span<std::uint8_t> bytes, std::span<const VertexRun> runs,
                 const Point *in, Bounds &bounds);

// Writes srsId and, when the blob has an envelope, the bounds into the
// header, both in the header's byte order; the envelope keeps its kind. An
// empty geometry's envelope is NaN throughout.
void rewriteHeader(std::span<std::uint8_t> bytes, const GeometryBlob &blob,
                   std::int32_t srsId, const Bounds &bounds);

// The x and y ranges of the vertices of runs that readGeometryBlob found in
// bytes.
Bounds vertexBounds(std::span<const std::uint8_t> bytes,
                    std::span<const VertexRun> runs);

// The x and y ranges of a blob's vertices; false with reason when it is not
// a readable blob. Reads what readGeometryBlob reads.
bool geometryBounds(std::span<const std::uint8_t> bytes, Bounds &bounds,
                    std::string &reason);

// The x and y ranges that a blob's header states (NaN for an empty
// geometry); false when it has no envelope or is too short for the one it
// announces. A header is only as right as its writer: this is for blobs
// whose envelopes rewriteHeader wrote.
bool headerBounds(std::span<const std::uint8_t> bytes, Bounds &bounds);

// Byte access in either order, for the templates above.
namespace detail {
constexpr bool kHostLittleEndian = std::endian::native == std::endian::little;

inline std::uint64_t byteSwapped(std::uint64_t v) {
    v = ((v & 0x00FF00FF00FF00FFull) << 8) | ((v >> 8) & 0x00FF00FF00FF00FFull);
    v = ((v & 0x0000FFFF0000FFFFull) << 16) |
        ((v >> 16) & 0x0000FFFF0000FFFFull);
    return (v << 32) | (v >> 32);
}

inline double loadDouble(const std::uint8_t *at, bool littleEndian) {
    std::uint64_t bits;
    std::memcpy(&bits, at, sizeof bits);
    if (littleEndian != kHostLittleEndian)
        bits = byteSwapped(bits);
    return std::bit_cast<double>(bits);
}

inline void storeDouble(std::uint8_t *at, double value, bool littleEndian) {
    std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
    if (littleEndian != kHostLittleEndian)
        bits = byteSwapped(bits);
    std::memcpy(at, &bits, sizeof bits);
}
} // namespace detail

template <class Point>
void takeVertices(std::span<const std::uint8_t> bytes,
                  std::span<const VertexRun> runs, Point *out) {
    for (const VertexRun &run : runs) {
        const std::uint8_t *at = bytes.data() + run.offset;
        for (std::uint32_t i = 0; i < run.count; ++i, at += run.stride) {
            out->x = detail::loadDouble(at, run.littleEndian);
            out->y = detail::loadDouble(at + 8, run.littleEndian);
            ++out;
        }
    }
}

template <class Point>
void putVertices(std::span<std::uint8_t> bytes, std::span<const VertexRun> runs,
                 const Point *in, Bounds &bounds) {
    for (const VertexRun &run : runs) {
        std::uint8_t *at = bytes.data() + run.offset;
        for (std::uint32_t i = 0; i < run.count; ++i, at += run.stride) {
            detail::storeDouble(at, in->x, run.littleEndian);
            detail::storeDouble(at + 8, in->y, run.littleEndian);
            bounds.addXY(in->x, in->y);
            ++in;
        }
    }
}

} // namespace gpkg
