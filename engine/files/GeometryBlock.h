#pragma once

#include "GeoPackageGeometry.h"
#include "Point.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class ChainStatus;
class TransformationScript;

// A run of GeoPackage features whose geometries go through the chain
// together: added row by row in the table's order, converted as a whole
// (convert() depends on nothing but the block and the script, so blocks
// are converted side by side and give the same bytes), then written
// back row by row. The block holds copies of the blobs; its size is bounded
// by full(), except that one large geometry makes a block of its own.
class GeometryBlock {
  public:
    struct Row {
        std::int64_t id = 0;
        std::size_t offset = 0; // of its blob in the block's bytes
        std::size_t size = 0;
        gpkg::GeometryBlob blob;
        std::size_t firstRun = 0, runCount = 0;
        std::size_t firstVertex = 0;
        gpkg::Bounds bounds; // of the converted blob; x and y set by convert()
    };

    void clear();
    // Copies one feature's blob and reads its structure; false with reason
    // when it is not a readable geometry blob (the row is then not kept).
    bool add(std::int64_t id, std::span<const std::uint8_t> bytes,
             std::string &reason);
    // True when the next row should start a new block.
    bool full() const {
        return rows_.size() >= kMaxRows || points_.size() >= kMaxVertices;
    }

    // Passes every vertex through the chain (z = 0 goes in and is dropped)
    // and writes the results back into the blobs, with srsId and the
    // recomputed envelopes in their headers. False when the chain refuses a
    // vertex: failedRow and failedVertex (within its feature, from 0) say
    // which, and status says why. Blocks may be converted on several
    // threads at once, each with its own status.
    bool convert(const TransformationScript &script, std::int32_t srsId,
                 ChainStatus &status, std::size_t &failedRow,
                 std::size_t &failedVertex);

    const std::vector<Row> &rows() const { return rows_; }
    std::span<const std::uint8_t> bytes(const Row &row) const {
        return {bytes_.data() + row.offset, row.size};
    }

    // A block's limits: about 1.6 MB of points and a few MB of blobs.
    static constexpr std::size_t kMaxRows = 4096;
    static constexpr std::size_t kMaxVertices = 65536;

  private:
    std::vector<Row> rows_;
    std::vector<std::uint8_t> bytes_;
    std::vector<gpkg::VertexRun> runs_;
    std::vector<Point> points_;
};
