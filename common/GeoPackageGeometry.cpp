#include "GeoPackageGeometry.h"

#include <bit>
#include <cstring>

namespace gpkg {

namespace {

constexpr std::uint8_t kEmptyFlag = 0x10;
constexpr std::uint8_t kExtendedFlag = 0x20;
// The high bits that pre-ISO writers set on the type for Z, M and an SRID
// inside the WKB (the latter is not allowed in a GeoPackage).
constexpr std::uint32_t kHighZ = 0x80000000u;
constexpr std::uint32_t kHighM = 0x40000000u;
constexpr std::uint32_t kHighSrid = 0x20000000u;
// The smallest geometry inside a collection: byte order, type and a count of
// zero.
constexpr std::size_t kSmallestMember = 1 + 4 + 4;

std::uint32_t swapped(std::uint32_t v) {
    return ((v & 0xFFu) << 24) | ((v & 0xFF00u) << 8) | ((v >> 8) & 0xFF00u) |
           (v >> 24);
}

using detail::kHostLittleEndian;

std::uint32_t loadUint32(const std::uint8_t *at, bool littleEndian) {
    std::uint32_t v;
    std::memcpy(&v, at, sizeof v);
    return littleEndian == kHostLittleEndian ? v : swapped(v);
}

void storeUint32(std::uint8_t *at, std::uint32_t v, bool littleEndian) {
    if (littleEndian != kHostLittleEndian)
        v = swapped(v);
    std::memcpy(at, &v, sizeof v);
}

// Walks the WKB of one blob, appending its vertex runs.
class WkbReader {
  public:
    WkbReader(std::span<const std::uint8_t> bytes, std::size_t start,
              GeometryBlob &blob, std::vector<VertexRun> &runs,
              std::string &reason)
        : bytes_(bytes), at_(start), blob_(blob), runs_(runs), reason_(reason) {
    }

    bool readGeometry(int depth);
    std::size_t position() const { return at_; }

  private:
    std::size_t left() const { return bytes_.size() - at_; }
    bool fail(std::string reason) {
        reason_ = std::move(reason);
        return false;
    }
    bool readCount(bool littleEndian, std::uint32_t &count, const char *what);
    bool readVertices(std::uint32_t count, bool littleEndian, bool hasZ,
                      bool hasM, bool emptyPointAllowed);
    bool readRings(bool littleEndian, bool hasZ, bool hasM);

    std::span<const std::uint8_t> bytes_;
    std::size_t at_;
    GeometryBlob &blob_;
    std::vector<VertexRun> &runs_;
    std::string &reason_;
};

bool WkbReader::readCount(bool littleEndian, std::uint32_t &count,
                          const char *what) {
    if (left() < 4)
        return fail(std::string("the blob ends before the number of ") + what);
    count = loadUint32(bytes_.data() + at_, littleEndian);
    at_ += 4;
    return true;
}

bool WkbReader::readVertices(std::uint32_t count, bool littleEndian, bool hasZ,
                             bool hasM, bool emptyPointAllowed) {
    const std::size_t stride = 16 + (hasZ ? 8 : 0) + (hasM ? 8 : 0);
    if (count > left() / stride)
        return fail("the blob ends inside its " + std::to_string(count) +
                    " coordinates");
    const std::uint8_t *first = bytes_.data() + at_;
    const std::size_t size = count * stride;
    at_ += size;
    if (count == 0)
        return true;
    if (emptyPointAllowed && count == 1) {
        const double x = detail::loadDouble(first, littleEndian);
        const double y = detail::loadDouble(first + 8, littleEndian);
        if (x != x && y != y) // POINT EMPTY
            return true;
    }
    for (const std::uint8_t *v = first; v != first + size; v += stride) {
        if (hasZ)
            blob_.zm.addZ(detail::loadDouble(v + 16, littleEndian));
        if (hasM)
            blob_.zm.addM(
                detail::loadDouble(v + (hasZ ? 24 : 16), littleEndian));
    }
    VertexRun run;
    run.offset = static_cast<std::uint32_t>(first - bytes_.data());
    run.count = count;
    run.stride = static_cast<std::uint8_t>(stride);
    run.littleEndian = littleEndian;
    runs_.push_back(run);
    return true;
}

bool WkbReader::readRings(bool littleEndian, bool hasZ, bool hasM) {
    std::uint32_t rings = 0;
    if (!readCount(littleEndian, rings, "rings"))
        return false;
    if (rings > left() / 4)
        return fail("the blob ends inside its " + std::to_string(rings) +
                    " rings");
    for (std::uint32_t ring = 0; ring < rings; ++ring) {
        std::uint32_t count = 0;
        if (!readCount(littleEndian, count, "points of a ring") ||
            !readVertices(count, littleEndian, hasZ, hasM, false))
            return false;
    }
    return true;
}

bool WkbReader::readGeometry(int depth) {
    if (depth > kMaxNesting)
        return fail("its geometries nest more than " +
                    std::to_string(kMaxNesting) + " deep");
    if (left() < 5)
        return fail("the blob ends inside a geometry's byte order and type");
    const std::uint8_t order = bytes_[at_];
    if (order > 1)
        return fail("a geometry has the byte order " + std::to_string(order) +
                    " (0 or 1 expected)");
    const bool littleEndian = order == 1;
    const std::uint32_t written =
        loadUint32(bytes_.data() + at_ + 1, littleEndian);
    at_ += 5;
    if (depth == 0)
        blob_.wkbType = written;

    const auto unknown = [&] {
        return fail("a geometry has the type " + std::to_string(written) +
                    ", which is not a known WKB geometry type");
    };
    if (written & kHighSrid)
        return fail("a geometry carries an SRID of its own (EWKB), which a "
                    "GeoPackage does not allow");
    bool hasZ = (written & kHighZ) != 0;
    bool hasM = (written & kHighM) != 0;
    const std::uint32_t code = written & ~(kHighZ | kHighM);
    if (code >= 4000 || ((hasZ || hasM) && code >= 1000))
        return unknown();
    const std::uint32_t dimensions = code / 1000; // 1 Z, 2 M, 3 ZM
    hasZ = hasZ || dimensions == 1 || dimensions == 3;
    hasM = hasM || dimensions == 2 || dimensions == 3;

    switch (code % 1000) {
    case kPoint:
        return readVertices(1, littleEndian, hasZ, hasM, true);
    case kLineString:
    case kCircularString: {
        std::uint32_t count = 0;
        return readCount(littleEndian, count, "points") &&
               readVertices(count, littleEndian, hasZ, hasM, false);
    }
    case kPolygon:
    case kTriangle:
        return readRings(littleEndian, hasZ, hasM);
    case kMultiPoint:
    case kMultiLineString:
    case kMultiPolygon:
    case kGeometryCollection:
    case kCompoundCurve:
    case kCurvePolygon:
    case kMultiCurve:
    case kMultiSurface:
    case kPolyhedralSurface:
    case kTin: {
        std::uint32_t members = 0;
        if (!readCount(littleEndian, members, "parts"))
            return false;
        if (members > left() / kSmallestMember)
            return fail("the blob ends inside its " + std::to_string(members) +
                        " parts");
        for (std::uint32_t member = 0; member < members; ++member)
            if (!readGeometry(depth + 1))
                return false;
        return true;
    }
    default:
        return unknown();
    }
}

} // namespace

std::size_t envelopeValues(EnvelopeKind kind) {
    switch (kind) {
    case EnvelopeKind::None:
        return 0;
    case EnvelopeKind::XY:
        return 4;
    case EnvelopeKind::XYZ:
    case EnvelopeKind::XYM:
        return 6;
    case EnvelopeKind::XYZM:
        return 8;
    }
    return 0;
}

void Bounds::addXY(const Bounds &other) {
    widen(minX, maxX, other.minX);
    widen(minX, maxX, other.maxX);
    widen(minY, maxY, other.minY);
    widen(minY, maxY, other.maxY);
}

bool readGeometryBlob(std::span<const std::uint8_t> bytes, GeometryBlob &blob,
                      std::vector<VertexRun> &runs, std::string &reason) {
    const auto fail = [&reason](std::string text) {
        reason = std::move(text);
        return false;
    };
    blob = GeometryBlob{};
    if (bytes.size() > UINT32_MAX)
        return fail("the blob is larger than 4 GiB");
    if (bytes.size() < kMinimumHeaderSize)
        return fail("the blob has " + std::to_string(bytes.size()) +
                    " bytes, fewer than a header");
    if (bytes[0] != 'G' || bytes[1] != 'P')
        return fail("the blob does not start with \"GP\"");
    blob.version = bytes[2];
    if (blob.version != 0)
        return fail("the blob has the version " + std::to_string(blob.version) +
                    " (0 expected)");
    blob.flags = bytes[3];
    if (blob.flags & kExtendedFlag)
        return fail("the blob holds an extended geometry type, which is not "
                    "WKB");
    const unsigned envelope = (blob.flags >> 1) & 7u;
    if (envelope > static_cast<unsigned>(EnvelopeKind::XYZM))
        return fail("the blob has the envelope kind " +
                    std::to_string(envelope) + " (0 to 4 expected)");
    blob.envelope = static_cast<EnvelopeKind>(envelope);
    blob.littleEndianHeader = (blob.flags & 1) != 0;
    blob.emptyFlag = (blob.flags & kEmptyFlag) != 0;
    blob.srsId = static_cast<std::int32_t>(
        loadUint32(bytes.data() + 4, blob.littleEndianHeader));
    blob.headerSize = kMinimumHeaderSize + 8 * envelopeValues(blob.envelope);
    if (bytes.size() < blob.headerSize)
        return fail("the blob ends inside its envelope");
    // A header marked empty with nothing after it holds no geometry to read.
    if (blob.emptyFlag && bytes.size() == blob.headerSize)
        return true;

    WkbReader reader(bytes, blob.headerSize, blob, runs, reason);
    if (!reader.readGeometry(0))
        return false;
    if (reader.position() != bytes.size())
        return fail(std::to_string(bytes.size() - reader.position()) +
                    " bytes follow the blob's geometry");
    return true;
}

std::size_t vertexCount(std::span<const VertexRun> runs) {
    std::size_t count = 0;
    for (const VertexRun &run : runs)
        count += run.count;
    return count;
}

void rewriteHeader(std::span<std::uint8_t> bytes, const GeometryBlob &blob,
                   std::int32_t srsId, const Bounds &bounds) {
    const bool le = blob.littleEndianHeader;
    storeUint32(bytes.data() + 4, static_cast<std::uint32_t>(srsId), le);
    if (blob.envelope == EnvelopeKind::None)
        return;
    double values[8] = {bounds.minX, bounds.maxX, bounds.minY, bounds.maxY};
    std::size_t count = 4;
    if (blob.envelope == EnvelopeKind::XYZ ||
        blob.envelope == EnvelopeKind::XYZM) {
        values[count++] = bounds.minZ;
        values[count++] = bounds.maxZ;
    }
    if (blob.envelope == EnvelopeKind::XYM ||
        blob.envelope == EnvelopeKind::XYZM) {
        values[count++] = bounds.minM;
        values[count++] = bounds.maxM;
    }
    std::uint8_t *at = bytes.data() + kMinimumHeaderSize;
    for (std::size_t i = 0; i < count; ++i, at += 8)
        detail::storeDouble(at, values[i], le);
}

Bounds vertexBounds(std::span<const std::uint8_t> bytes,
                    std::span<const VertexRun> runs) {
    Bounds bounds;
    for (const VertexRun &run : runs) {
        const std::uint8_t *at = bytes.data() + run.offset;
        for (std::uint32_t i = 0; i < run.count; ++i, at += run.stride)
            bounds.addXY(detail::loadDouble(at, run.littleEndian),
                         detail::loadDouble(at + 8, run.littleEndian));
    }
    return bounds;
}

bool geometryBounds(std::span<const std::uint8_t> bytes, Bounds &bounds,
                    std::string &reason) {
    GeometryBlob blob;
    std::vector<VertexRun> runs;
    if (!readGeometryBlob(bytes, blob, runs, reason))
        return false;
    bounds = vertexBounds(bytes, runs);
    return true;
}

bool headerBounds(std::span<const std::uint8_t> bytes, Bounds &bounds) {
    if (bytes.size() < kMinimumHeaderSize + 32 || bytes[0] != 'G' ||
        bytes[1] != 'P')
        return false;
    const unsigned kind = (bytes[3] >> 1) & 7u;
    if (kind < static_cast<unsigned>(EnvelopeKind::XY) ||
        kind > static_cast<unsigned>(EnvelopeKind::XYZM))
        return false;
    const bool le = (bytes[3] & 1) != 0;
    const std::uint8_t *at = bytes.data() + kMinimumHeaderSize;
    bounds = Bounds{};
    bounds.addXY(detail::loadDouble(at, le), detail::loadDouble(at + 16, le));
    bounds.addXY(detail::loadDouble(at + 8, le),
                 detail::loadDouble(at + 24, le));
    return true;
}

} // namespace gpkg
