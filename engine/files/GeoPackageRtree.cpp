#include "GeoPackageRtree.h"

#include "GeoPackageFile.h"
#include "GeoPackageGeometry.h"
#include "SqliteHandle.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <span>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace {

// SQLite's R*Tree node: a 2-byte depth (read in the root only), a 2-byte
// cell count, then the cells: a 64-bit id (a row's, or a child node's) and
// minx, maxx, miny, maxy as 32-bit floats, all big-endian.
constexpr std::size_t kNodeHeader = 4;
constexpr std::size_t kCellSize = 8 + 4 * 4;
constexpr int kMaxDepth = 40; // as SQLite's R*Tree allows
// Leaves whose entries are looked up together: up to 8 MB of nodes and
// 256 Ki entries (6 MB to sort them), so that a batch holds a large share
// of a table's features and their lookups are mostly short steps.
constexpr std::size_t kBatchBytes = 8 << 20;
constexpr std::size_t kBatchEntries = 256 << 10;

// SQLite's rounding of an R*Tree bound to 32 bits (rtree.c: RNDTOWARDS,
// RNDAWAY): a float that landed on the wrong side of the value is moved
// past it by a relative 2^-23, which is at least one step of a float.
constexpr double kTowardsZero = 1.0 - 1.0 / 8388608.0;
constexpr double kAwayFromZero = 1.0 + 1.0 / 8388608.0;

constexpr RtreeBox kNoBox{INFINITY, -INFINITY, INFINITY, -INFINITY};

void widen(RtreeBox &box, const RtreeBox &b) {
    box.minX = std::min(box.minX, b.minX);
    box.maxX = std::max(box.maxX, b.maxX);
    box.minY = std::min(box.minY, b.minY);
    box.maxY = std::max(box.maxY, b.maxY);
}

std::uint32_t loadBig32(const std::uint8_t *at) {
    return (std::uint32_t(at[0]) << 24) | (std::uint32_t(at[1]) << 16) |
           (std::uint32_t(at[2]) << 8) | at[3];
}
std::int64_t loadBig64(const std::uint8_t *at) {
    return static_cast<std::int64_t>((std::uint64_t(loadBig32(at)) << 32) |
                                     loadBig32(at + 4));
}
void storeBig32(std::uint8_t *at, std::uint32_t v) {
    at[0] = static_cast<std::uint8_t>(v >> 24);
    at[1] = static_cast<std::uint8_t>(v >> 16);
    at[2] = static_cast<std::uint8_t>(v >> 8);
    at[3] = static_cast<std::uint8_t>(v);
}

struct Node {
    std::int64_t number = 0;
    std::vector<std::uint8_t> data;
    std::size_t cells() const { return (std::size_t(data[2]) << 8) | data[3]; }
    std::int64_t cellId(std::size_t cell) const {
        return loadBig64(data.data() + kNodeHeader + cell * kCellSize);
    }
    void setBox(std::size_t cell, const RtreeBox &box) {
        std::uint8_t *at = data.data() + kNodeHeader + cell * kCellSize + 8;
        for (const float value : {box.minX, box.maxX, box.minY, box.maxY}) {
            storeBig32(at, std::bit_cast<std::uint32_t>(value));
            at += 4;
        }
    }
};

// The features of a table in the order of their ids, found by stepping
// forward from the last one found while that is near, else by a new seek: a
// batch's ids are sorted and often a few rows apart, and a step costs a
// fraction of a seek.
class FeatureWalk {
  public:
    explicit FeatureWalk(SqliteStatement statement)
        : statement_(std::move(statement)) {}
    bool ready() const { return statement_ != nullptr; }
    // The geometry of the feature with that id; false when there is none.
    // Its bytes stay valid until the next call.
    bool find(std::int64_t id, std::span<const std::uint8_t> &geometry);
    void stop() {
        sqlite3_reset(statement_.get());
        positioned_ = false;
    }

  private:
    static constexpr int kMaxSteps = 8;
    SqliteStatement statement_;
    bool positioned_ = false; // on a row whose id is current_
    std::int64_t current_ = 0;
};

bool FeatureWalk::find(std::int64_t id,
                       std::span<const std::uint8_t> &geometry) {
    sqlite3_stmt *rows = statement_.get();
    const auto advance = [&] {
        positioned_ = sqlite3_step(rows) == SQLITE_ROW;
        if (positioned_)
            current_ = sqlite3_column_int64(rows, 0);
    };
    for (int steps = 0; positioned_ && current_ < id && steps < kMaxSteps;
         ++steps)
        advance();
    if (!positioned_ || current_ != id) {
        sqlite3_reset(rows);
        sqlite3_bind_int64(rows, 1, id);
        advance();
    }
    if (!positioned_ || current_ != id ||
        sqlite3_column_type(rows, 1) != SQLITE_BLOB)
        return false;
    geometry = columnBlob(rows, 1);
    return true;
}

class RtreeRefresh {
  public:
    RtreeRefresh(sqlite3 *db, const GeoPackageLayer &layer,
                 std::span<const FeatureBox> known)
        : db_(db), layer_(layer), known_(known),
          nodes_(quoteSqlIdentifier(layer.rtree + "_node")) {}

    // 1: refreshed; 0: the index does not match; -1: SQLite failed.
    int run(std::int64_t expectedEntries);

  private:
    bool readNode(std::int64_t number, Node &node);
    bool writeNode(const Node &node);
    int refreshLeaves(std::span<const std::int64_t> leaves,
                      std::int64_t &entries);
    int refreshInner(std::span<const std::int64_t> level);

    // The bounds of a converted geometry: those its header states, which
    // the conversion wrote, else those of its vertices.
    bool boundsOf(std::span<const std::uint8_t> geometry,
                  gpkg::Bounds &bounds) {
        if (gpkg::headerBounds(geometry, bounds))
            return true;
        runs_.clear();
        gpkg::GeometryBlob blob;
        std::string reason;
        if (!gpkg::readGeometryBlob(geometry, blob, runs_, reason))
            return false;
        bounds = gpkg::vertexBounds(geometry, runs_);
        return true;
    }

    // The box of the feature with that id: from known_, else from the
    // table; false when it has none.
    bool boxOf(std::int64_t id, RtreeBox &box);

    sqlite3 *db_;
    const GeoPackageLayer &layer_;
    std::span<const FeatureBox> known_;
    std::vector<gpkg::VertexRun> runs_;
    const std::string nodes_;
    SqliteStatement read_, write_;
    FeatureWalk features_{nullptr};
    std::size_t nodeSize_ = 0;
    std::unordered_map<std::int64_t, RtreeBox> boxes_; // of the nodes done
};

bool RtreeRefresh::readNode(std::int64_t number, Node &node) {
    sqlite3_stmt *read = read_.get();
    sqlite3_reset(read);
    sqlite3_bind_int64(read, 1, number);
    if (sqlite3_step(read) != SQLITE_ROW)
        return false;
    const std::span<const std::uint8_t> data = columnBlob(read, 0);
    const std::size_t size = data.size();
    if ((nodeSize_ != 0 && size != nodeSize_) || size < kNodeHeader)
        return false;
    node.number = number;
    node.data.assign(data.begin(), data.end());
    return node.cells() <= (size - kNodeHeader) / kCellSize;
}

bool RtreeRefresh::writeNode(const Node &node) {
    sqlite3_stmt *write = write_.get();
    sqlite3_reset(write);
    sqlite3_bind_int64(write, 1, node.number);
    sqlite3_bind_blob(write, 2, node.data.data(),
                      static_cast<int>(node.data.size()), SQLITE_STATIC);
    return sqlite3_step(write) == SQLITE_DONE;
}

bool RtreeRefresh::boxOf(std::int64_t id, RtreeBox &box) {
    if (!known_.empty()) {
        const auto found =
            std::lower_bound(known_.begin(), known_.end(), id,
                             [](const FeatureBox &f, std::int64_t value) {
                                 return f.id < value;
                             });
        if (found == known_.end() || found->id != id)
            return false;
        box = found->box;
        return true;
    }
    std::span<const std::uint8_t> geometry;
    gpkg::Bounds bounds;
    if (!features_.find(id, geometry) || !boundsOf(geometry, bounds) ||
        !bounds.hasXY())
        return false;
    box = rtreeBox(bounds);
    return true;
}

int RtreeRefresh::refreshLeaves(std::span<const std::int64_t> leaves,
                                std::int64_t &entries) {
    std::vector<Node> nodes(leaves.size());
    struct Entry {
        std::int64_t id;
        std::uint32_t node, cell;
    };
    std::vector<Entry> order;
    for (std::size_t i = 0; i < leaves.size(); ++i) {
        if (!readNode(leaves[i], nodes[i]))
            return 0;
        for (std::size_t cell = 0; cell < nodes[i].cells(); ++cell)
            order.push_back({nodes[i].cellId(cell),
                             static_cast<std::uint32_t>(i),
                             static_cast<std::uint32_t>(cell)});
    }
    std::sort(order.begin(), order.end(),
              [](const Entry &a, const Entry &b) { return a.id < b.id; });
    for (std::size_t i = 1; i < order.size(); ++i)
        if (order[i].id == order[i - 1].id)
            return 0; // one feature indexed twice
    std::vector<RtreeBox> boxes(nodes.size(), kNoBox);
    for (const Entry &entry : order) {
        RtreeBox box;
        if (!boxOf(entry.id, box))
            return 0;
        nodes[entry.node].setBox(entry.cell, box);
        widen(boxes[entry.node], box);
    }
    features_.stop();
    entries += static_cast<std::int64_t>(order.size());
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (!writeNode(nodes[i]))
            return -1;
        boxes_[nodes[i].number] = boxes[i];
    }
    return 1;
}

int RtreeRefresh::refreshInner(std::span<const std::int64_t> level) {
    Node node;
    for (const std::int64_t number : level) {
        if (!readNode(number, node))
            return 0;
        RtreeBox box = kNoBox;
        for (std::size_t cell = 0; cell < node.cells(); ++cell) {
            const auto child = boxes_.find(node.cellId(cell));
            if (child == boxes_.end())
                return 0;
            node.setBox(cell, child->second);
            widen(box, child->second);
        }
        if (!writeNode(node))
            return -1;
        boxes_[number] = box;
    }
    return 1;
}

int RtreeRefresh::run(std::int64_t expectedEntries) {
    read_ =
        prepareSqlite(db_, "SELECT data FROM " + nodes_ + " WHERE nodeno = ?1");
    write_ = prepareSqlite(db_, "UPDATE " + nodes_ +
                                    " SET data = ?2 WHERE nodeno = ?1");
    const std::string id = quoteSqlIdentifier(layer_.idColumn);
    features_ = FeatureWalk(prepareSqlite(
        db_, "SELECT " + id + ", " + quoteSqlIdentifier(layer_.column) +
                 " FROM " + quoteSqlIdentifier(layer_.table) + " WHERE " + id +
                 " >= ?1 ORDER BY " + id));
    if (!read_ || !write_ || !features_.ready())
        return -1;

    // The node numbers of each level, from the root (level 0) down to the
    // leaves.
    Node root;
    if (!readNode(1, root))
        return 0;
    nodeSize_ = root.data.size();
    if (nodeSize_ < kNodeHeader + kCellSize)
        return 0;
    const int depth = (int(root.data[0]) << 8) | root.data[1];
    if (depth > kMaxDepth)
        return 0;
    // A node met twice would make a damaged index a tree without end.
    std::vector<std::vector<std::int64_t>> levels{{1}};
    std::unordered_set<std::int64_t> seen{1};
    Node node;
    for (int level = 0; level < depth; ++level) {
        std::vector<std::int64_t> below;
        for (const std::int64_t number : levels.back()) {
            if (!readNode(number, node))
                return 0;
            for (std::size_t cell = 0; cell < node.cells(); ++cell) {
                if (!seen.insert(node.cellId(cell)).second)
                    return 0;
                below.push_back(node.cellId(cell));
            }
        }
        levels.push_back(std::move(below));
    }

    std::int64_t entries = 0;
    const std::vector<std::int64_t> &leaves = levels.back();
    const std::size_t cellsPerNode = (nodeSize_ - kNodeHeader) / kCellSize;
    const std::size_t batch = std::max<std::size_t>(
        1, std::min(kBatchBytes / nodeSize_, kBatchEntries / cellsPerNode));
    for (std::size_t first = 0; first < leaves.size(); first += batch) {
        const std::size_t count = std::min(batch, leaves.size() - first);
        const int result =
            refreshLeaves({leaves.data() + first, count}, entries);
        if (result != 1)
            return result;
    }
    if (entries != expectedEntries)
        return 0;
    for (int level = depth - 1; level >= 0; --level) {
        const int result = refreshInner(levels[level]);
        if (result != 1)
            return result;
    }
    return 1;
}

// The index dropped and made anew with the statement that made it, then
// filled from the table row by row.
bool rebuildRtree(sqlite3 *db, const GeoPackageLayer &layer,
                  std::string &reason) {
    const auto failed = [&] {
        reason = sqliteErrorText(db);
        return false;
    };
    const SqliteStatement definition = prepareSqlite(
        db, "SELECT sql FROM sqlite_master WHERE type = 'table' AND name = ?1");
    if (!definition)
        return failed();
    sqlite3_bind_text(definition.get(), 1, layer.rtree.data(),
                      static_cast<int>(layer.rtree.size()), SQLITE_STATIC);
    if (sqlite3_step(definition.get()) != SQLITE_ROW)
        return failed();
    const std::string create = columnText(definition.get(), 0);
    sqlite3_reset(definition.get()); // no reader of the schema may remain
    const std::string rtree = quoteSqlIdentifier(layer.rtree);
    if (!executeSqlite(db, ("DROP TABLE " + rtree).c_str()) ||
        !executeSqlite(db, create.c_str()))
        return failed();
    const SqliteStatement rows =
        prepareSqlite(db, "SELECT " + quoteSqlIdentifier(layer.idColumn) +
                              ", " + quoteSqlIdentifier(layer.column) +
                              " FROM " + quoteSqlIdentifier(layer.table));
    const SqliteStatement insert = prepareSqlite(
        db, "INSERT INTO " + rtree + " VALUES (?1, ?2, ?3, ?4, ?5)");
    if (!rows || !insert)
        return failed();
    int step;
    std::string ignored;
    while ((step = sqlite3_step(rows.get())) == SQLITE_ROW) {
        if (sqlite3_column_type(rows.get(), 1) != SQLITE_BLOB)
            continue;
        gpkg::Bounds bounds;
        if (!gpkg::geometryBounds(columnBlob(rows.get(), 1), bounds, ignored) ||
            !bounds.hasXY())
            continue;
        sqlite3_reset(insert.get());
        sqlite3_bind_int64(insert.get(), 1,
                           sqlite3_column_int64(rows.get(), 0));
        sqlite3_bind_double(insert.get(), 2, bounds.minX);
        sqlite3_bind_double(insert.get(), 3, bounds.maxX);
        sqlite3_bind_double(insert.get(), 4, bounds.minY);
        sqlite3_bind_double(insert.get(), 5, bounds.maxY);
        if (sqlite3_step(insert.get()) != SQLITE_DONE)
            return failed();
    }
    return step == SQLITE_DONE || failed();
}

} // namespace

float rtreeLowerBound(double value) {
    float f = static_cast<float>(value);
    if (f > value)
        f = static_cast<float>(value *
                               (value < 0 ? kAwayFromZero : kTowardsZero));
    return f;
}

float rtreeUpperBound(double value) {
    float f = static_cast<float>(value);
    if (f < value)
        f = static_cast<float>(value *
                               (value < 0 ? kTowardsZero : kAwayFromZero));
    return f;
}

RtreeBox rtreeBox(const gpkg::Bounds &bounds) {
    return {rtreeLowerBound(bounds.minX), rtreeUpperBound(bounds.maxX),
            rtreeLowerBound(bounds.minY), rtreeUpperBound(bounds.maxY)};
}

bool refreshRtree(sqlite3 *db, const GeoPackageLayer &layer,
                  std::int64_t expectedEntries,
                  std::span<const FeatureBox> known, std::string &reason) {
    const int result = RtreeRefresh(db, layer, known).run(expectedEntries);

    if (result == 1)
        return true;
    if (result < 0) {
        reason = sqliteErrorText(db);
        return false;
    }
    return rebuildRtree(db, layer, reason);
}
