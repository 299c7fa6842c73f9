#include "GeometryBlock.h"

#include "TransformationScript.h"

void GeometryBlock::clear() {
    rows_.clear();
    bytes_.clear();
    runs_.clear();
    points_.clear();
}

bool GeometryBlock::add(std::int64_t id, std::span<const std::uint8_t> bytes,
                        std::string &reason) {
    Row row;
    row.id = id;
    row.offset = bytes_.size();
    row.size = bytes.size();
    row.firstRun = runs_.size();
    row.firstVertex = points_.size();
    if (!gpkg::readGeometryBlob(bytes, row.blob, runs_, reason)) {
        runs_.resize(row.firstRun);
        return false;
    }
    row.runCount = runs_.size() - row.firstRun;
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    const std::span<const gpkg::VertexRun> runs(runs_.data() + row.firstRun,
                                                row.runCount);
    points_.resize(points_.size() + gpkg::vertexCount(runs));
    gpkg::takeVertices(bytes, runs, points_.data() + row.firstVertex);
    rows_.push_back(row);
    return true;
}

bool GeometryBlock::convert(const TransformationScript &script,
                            std::int32_t srsId, ChainStatus &status,
                            std::size_t &failedRow, std::size_t &failedVertex) {
    for (Point &point : points_)
        point.z = 0; // heights pass unchanged: the chain gets none
    // Step by step over the whole block, not point by point: each step's
    // loop stays hot, and every point meets the same steps in the same
    // order, so the results are the same to the last bit.
    const std::size_t converted = script.transformPoints(points_, status);
    if (converted < points_.size()) {
        failedRow = 0;
        while (failedRow + 1 < rows_.size() &&
               rows_[failedRow + 1].firstVertex <= converted)
            ++failedRow;
        failedVertex = converted - rows_[failedRow].firstVertex;
        return false;
    }
    for (Row &row : rows_) {
        const std::span<std::uint8_t> bytes(bytes_.data() + row.offset,
                                            row.size);
        const std::span<const gpkg::VertexRun> runs(runs_.data() + row.firstRun,
                                                    row.runCount);
        row.bounds = row.blob.zm;
        gpkg::putVertices(bytes, runs, points_.data() + row.firstVertex,
                          row.bounds);
        gpkg::rewriteHeader(bytes, row.blob, srsId, row.bounds);
    }
    return true;
}
