// Arbitrary bytes as a GeoPackage geometry blob: read, converted in place
// through the Gauss-Boaga chain and read again. A blob that reads must read
// the same after its conversion, with the same vertex runs, and only its
// vertices' x and y, its srs_id and its envelope may change; anything else
// stops the run.
#include "FuzzSupport.h"
#include "GeoPackageGeometry.h"

#include <cstdlib>
#include <vector>

namespace {

bool sameRuns(const std::vector<gpkg::VertexRun> &a,
              const std::vector<gpkg::VertexRun> &b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].offset != b[i].offset || a[i].count != b[i].count ||
            a[i].stride != b[i].stride ||
            a[i].littleEndian != b[i].littleEndian)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    // A copy of exactly the input's size, so that a read beyond it is seen.
    std::vector<std::uint8_t> bytes(data, data + size);
    gpkg::GeometryBlob blob;
    std::vector<gpkg::VertexRun> runs;
    std::string reason;
    gpkg::Bounds bounds;
    gpkg::headerBounds(bytes, bounds);
    if (!gpkg::readGeometryBlob(bytes, blob, runs, reason)) {
        if (reason.empty())
            std::abort(); // a refusal always says why
        return 0;
    }
    gpkg::geometryBounds(bytes, bounds, reason);

    const TransformationScript &script = fuzz::gboScript();
    std::vector<Point> points(gpkg::vertexCount(runs));
    gpkg::takeVertices(bytes, runs, points.data());
    for (Point &point : points)
        if (!script.transformPoint(point))
            script.takePointFailure();
    gpkg::Bounds converted = blob.zm;
    std::vector<std::uint8_t> out = bytes;
    gpkg::putVertices(std::span<std::uint8_t>(out), runs, points.data(),
                      converted);
    gpkg::rewriteHeader(out, blob, 25832, converted);

    // A point that the chain turned into NaN, NaN (from a NaN that went in)
    // reads as an empty point, and so as no run, the next time.
    bool emptied = false;
    for (const Point &point : points)
        emptied = emptied || (point.x != point.x && point.y != point.y);
    gpkg::GeometryBlob again;
    std::vector<gpkg::VertexRun> runsAgain;
    if (!gpkg::readGeometryBlob(out, again, runsAgain, reason) ||
        (!emptied && !sameRuns(runs, runsAgain)) || again.flags != blob.flags ||
        again.srsId != 25832 || again.wkbType != blob.wkbType)
        std::abort();
    // Beside the x and y of the vertices and the header's srs_id and
    // envelope, every byte is the input's.
    for (const gpkg::VertexRun &run : runs)
        for (std::uint32_t i = 0; i < run.count; ++i)
            for (std::size_t k = 0; k < 16; ++k)
                out[run.offset + i * run.stride + k] =
                    bytes[run.offset + i * run.stride + k];
    for (std::size_t k = 4; k < blob.headerSize; ++k)
        out[k] = bytes[k];
    if (out != bytes)
        std::abort();
    return 0;
}
