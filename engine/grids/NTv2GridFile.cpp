#include "NTv2GridFile.h"

#include "Angles.h"
#include "SystemError.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <istream>
#include <map>
#include <utility>

namespace {

constexpr std::size_t kRecordBytes = 16;
constexpr std::size_t kHeaderBytes = 11 * kRecordBytes;
// PROJ's constants, in the order PROJ applies them: extents as
// -value * DEG_TO_RAD / 3600, shifts as value * ((pi / 180) / 3600).
constexpr double kDegreeToRadian = 0.017453292519943296;
constexpr double kSecondToRadian = (kPi / 180.0) / 3600.0;
// PROJ's tolerance at the outer nodes: an offset this close to them (in
// cells) is snapped onto them.
constexpr double kSnapTolerance = 1e-4;

// Value offsets within the overview header and a sub-grid header.
constexpr std::size_t kGsTypeOffset = 3 * kRecordBytes + 8;
constexpr std::size_t kNumFileOffset = 2 * kRecordBytes + 8;
constexpr std::size_t kSubNameOffset = 8;
constexpr std::size_t kParentOffset = kRecordBytes + 8;
constexpr std::size_t kSouthOffset = 4 * kRecordBytes + 8;
constexpr std::size_t kNorthOffset = 5 * kRecordBytes + 8;
constexpr std::size_t kEastOffset = 6 * kRecordBytes + 8;
constexpr std::size_t kWestOffset = 7 * kRecordBytes + 8;
constexpr std::size_t kLatIncOffset = 8 * kRecordBytes + 8;
constexpr std::size_t kLonIncOffset = 9 * kRecordBytes + 8;
constexpr std::size_t kGsCountOffset = 10 * kRecordBytes + 8;

// The nodes are read through a buffer of this many records.
constexpr std::size_t kChunkRecords = 4096;

template <class Unsigned>
Unsigned load(const unsigned char *bytes, bool bigEndian) {
    Unsigned value = 0;
    for (std::size_t i = 0; i < sizeof(Unsigned); ++i) {
        const std::size_t from = bigEndian ? i : sizeof(Unsigned) - 1 - i;
        value = static_cast<Unsigned>((value << 8) | bytes[from]);
    }
    return value;
}
std::uint32_t loadUint32(const unsigned char *bytes, bool bigEndian) {
    return load<std::uint32_t>(bytes, bigEndian);
}
double loadDouble(const unsigned char *bytes, bool bigEndian) {
    return std::bit_cast<double>(load<std::uint64_t>(bytes, bigEndian));
}
float loadFloat(const unsigned char *bytes, bool bigEndian) {
    return std::bit_cast<float>(load<std::uint32_t>(bytes, bigEndian));
}

// Eight characters of a record, printable for a message.
std::string text8(const unsigned char *bytes) {
    std::string text(reinterpret_cast<const char *>(bytes), 8);
    for (char &c : text)
        if (static_cast<unsigned char>(c) < 0x20 ||
            static_cast<unsigned char>(c) > 0x7e)
            c = '?';
    return text;
}
std::string trimmed(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0'))
        text.pop_back();
    return text;
}

// Bytes from the stream's position to its end; -1 when it cannot seek.
std::int64_t remainingBytes(std::istream &in) {
    const std::streampos here = in.tellg();
    if (here == std::streampos(-1))
        return -1;
    in.seekg(0, std::ios::end);
    const std::streampos end = in.tellg();
    in.clear();
    in.seekg(here);
    if (end == std::streampos(-1) || !in)
        return -1;
    return static_cast<std::int64_t>(end - here);
}

bool readExactly(std::istream &in, unsigned char *buffer, std::size_t n) {
    in.read(reinterpret_cast<char *>(buffer), static_cast<std::streamsize>(n));
    return static_cast<std::size_t>(in.gcount()) == n;
}

// Reverses the order of the nodes (pairs of floats) in [first, first + 2n).
void reverseNodes(float *first, std::size_t n) {
    for (std::size_t i = 0, j = n - 1; i < j; ++i, --j) {
        std::swap(first[2 * i], first[2 * j]);
        std::swap(first[2 * i + 1], first[2 * j + 1]);
    }
}

class GridReader {
  public:
    GridReader(std::istream &in, const std::string &fileName)
        : in_(in), fileName_(fileName) {}

    NTv2ReadResult read() {
        auto set = std::make_shared<NTv2GridSet>();
        available_ = remainingBytes(in_);
        unsigned char header[kHeaderBytes];
        if (!readExactly(in_, header, sizeof header))
            return refuse("is too short for an NTv2 grid (it ends inside its "
                          "overview header)");
        if (std::memcmp(header + kGsTypeOffset, "SECONDS", 7) != 0)
            return refuse("has GS_TYPE \"" +
                          trimmed(text8(header + kGsTypeOffset)) +
                          "\"; only SECONDS is supported");
        bigEndian_ = header[8] != 11;
        set->bigEndian = bigEndian_;
        const std::uint32_t subGrids =
            loadUint32(header + kNumFileOffset, bigEndian_);
        consumed_ = kHeaderBytes;

        // The latest sub-grid of each name: a PARENT names that one.
        std::map<std::string, std::size_t> byName;
        for (std::uint32_t index = 0; index < subGrids; ++index) {
            if (!readExactly(in_, header, sizeof header))
                return refuse("ends early, in the header of sub-grid " +
                              std::to_string(index + 1) + " of " +
                              std::to_string(subGrids));
            consumed_ += kHeaderBytes;
            if (std::memcmp(header, "SUB_NAME", 8) != 0)
                return refuse("has no SUB_NAME record where sub-grid " +
                              std::to_string(index + 1) + " begins");
            NTv2SubGrid grid;
            if (!readSubGrid(header, grid))
                return {nullptr, error_};
            const std::string name = grid.name;
            const auto parent = byName.find(grid.parent);
            set->grids.push_back(std::move(grid));
            const std::size_t position = set->grids.size() - 1;
            if (parent == byName.end())
                set->topLevel.push_back(position);
            else
                set->grids[parent->second].children.push_back(position);
            byName[name] = position;
        }
        if (set->grids.empty())
            return refuse("holds no sub-grid");
        return {std::move(set), {}};
    }

  private:
    NTv2ReadResult refuse(const std::string &problem) {
        error_ = "the grid file \"" + fileName_ + "\" " + problem;
        return {nullptr, error_};
    }
    bool fail(const std::string &problem) {
        refuse(problem);
        return false;
    }

    bool readSubGrid(const unsigned char *header, NTv2SubGrid &grid) {
        grid.name.assign(
            reinterpret_cast<const char *>(header) + kSubNameOffset, 8);
        grid.parent.assign(
            reinterpret_cast<const char *>(header) + kParentOffset, 8);
        const std::string label =
            "sub-grid \"" + trimmed(text8(header + kSubNameOffset)) + "\"";
        const auto number = [&](std::size_t offset) {
            return loadDouble(header + offset, bigEndian_);
        };
        // Longitudes are positive west in the file.
        grid.west = -number(kWestOffset) * kDegreeToRadian / 3600.0;
        grid.south = number(kSouthOffset) * kDegreeToRadian / 3600.0;
        grid.east = -number(kEastOffset) * kDegreeToRadian / 3600.0;
        grid.north = number(kNorthOffset) * kDegreeToRadian / 3600.0;
        grid.resX = number(kLonIncOffset) * kDegreeToRadian / 3600.0;
        grid.resY = number(kLatIncOffset) * kDegreeToRadian / 3600.0;
        // PROJ's bounds; written so that NaN fails them too.
        if (!(std::fabs(grid.west) <= 4 * kPi &&
              std::fabs(grid.east) <= 4 * kPi &&
              std::fabs(grid.north) <= kPi + 1e-5 &&
              std::fabs(grid.south) <= kPi + 1e-5 && grid.west < grid.east &&
              grid.south < grid.north && grid.resX > 1e-10 &&
              grid.resY > 1e-10))
            return fail("has inconsistent extents or increments in " + label);
        const double columns =
            std::fabs((grid.east - grid.west) * (1.0 / grid.resX) + 0.5) + 1;
        const double rows =
            std::fabs((grid.north - grid.south) * (1.0 / grid.resY) + 0.5) + 1;
        const std::uint32_t count =
            loadUint32(header + kGsCountOffset, bigEndian_);
        // A side longer than this cannot be indexed (and GS_COUNT, 32 bits
        // wide, could not count the nodes of a grid much larger).
        constexpr double kMaxSide = 2147483647.0;
        if (columns > kMaxSide || rows > kMaxSide ||
            count / static_cast<std::uint32_t>(columns) !=
                static_cast<std::uint32_t>(rows))
            return fail("has GS_COUNT " + std::to_string(count) + " in " +
                        label + ", which does not match its " +
                        std::to_string(static_cast<std::uint64_t>(columns)) +
                        " columns and " +
                        std::to_string(static_cast<std::uint64_t>(rows)) +
                        " rows");
        grid.columns = static_cast<int>(columns);
        grid.rows = static_cast<int>(rows);
        return readNodes(grid, count, label);
    }

    // GS_COUNT records follow the header (PROJ skips that many to reach the
    // next one); the first columns * rows of them are the nodes.
    bool readNodes(NTv2SubGrid &grid, std::uint32_t count,
                   const std::string &label) {
        const std::uint64_t bytes = std::uint64_t{count} * kRecordBytes;
        const std::uint64_t columns = static_cast<std::uint64_t>(grid.columns);
        const std::uint64_t nodes =
            columns * static_cast<std::uint64_t>(grid.rows);
        const std::string early = "ends early, in the nodes of " + label;
        // A file that cannot hold its nodes is refused before they are
        // allocated; where the size is unknown they grow as they arrive.
        if (available_ >= 0) {
            if (bytes > static_cast<std::uint64_t>(available_) - consumed_)
                return fail(early);
            grid.shifts.reserve(2 * nodes);
        }
        std::vector<unsigned char> chunk(kChunkRecords * kRecordBytes);
        for (std::uint64_t record = 0; record < count;) {
            const std::size_t n = static_cast<std::size_t>(
                std::min<std::uint64_t>(kChunkRecords, count - record));
            if (!readExactly(in_, chunk.data(), n * kRecordBytes))
                return fail(early);
            consumed_ += n * kRecordBytes;
            for (std::size_t i = 0; i < n; ++i, ++record) {
                // Records beyond the nodes (GS_COUNT / columns rounds down)
                // are read and dropped.
                if (record >= nodes)
                    continue;
                const unsigned char *node = chunk.data() + i * kRecordBytes;
                const float latitude = loadFloat(node, bigEndian_);
                const float longitude = loadFloat(node + 4, bigEndian_);
                if (!std::isfinite(latitude) || !std::isfinite(longitude))
                    return fail("has a shift that is not a finite number in " +
                                label + ", node record " +
                                std::to_string(record + 1));
                // Positive west in the file; rounded to float as PROJ
                // rounds it (without the rounding, results differ from
                // PROJ's by up to 3e-10 degrees).
                grid.shifts.push_back(-static_cast<float>(
                    static_cast<double>(longitude) * kSecondToRadian));
                grid.shifts.push_back(static_cast<float>(
                    static_cast<double>(latitude) * kSecondToRadian));
                // Each row is stored east to west in the file.
                if ((record + 1) % columns == 0)
                    reverseNodes(grid.shifts.data() +
                                     (record + 1 - columns) * 2,
                                 static_cast<std::size_t>(columns));
            }
        }
        return true;
    }

    std::istream &in_;
    const std::string &fileName_;
    std::string error_;
    bool bigEndian_ = false;
    std::int64_t available_ = -1;
    std::uint64_t consumed_ = 0;
};

} // namespace

double wrapLongitude(double lon, double low, double high, double epsilon) {
    if (lon + epsilon < low)
        return lon + kTwoPi;
    if (lon - epsilon > high)
        return lon - kTwoPi;
    return lon;
}

double NTv2SubGrid::offsetFromWest(double lon, double epsilon) const {
    return wrapLongitude(lon - west, 0, east - west, epsilon);
}

bool NTv2SubGrid::contains(double lon, double lat) const {
    const double epsilon = edgeTolerance();
    if (!(lat + epsilon >= south && lat - epsilon <= north))
        return false;
    // A grid around the whole world takes every longitude.
    if (east - west + resX >= kTwoPi - 1e-10)
        return true;
    lon = wrapLongitude(lon, west, east, epsilon);
    return lon + epsilon >= west && lon - epsilon <= east;
}

namespace {
// The node index and fraction of an offset along one axis, with PROJ's snap
// onto the outer nodes; false outside.
bool cellOf(double offset, double resolution, int nodes, int &index,
            double &fraction) {
    const double t = offset / resolution;
    // Outside by more than a cell either way, or not a number.
    if (!(t > -2.0 && t < static_cast<double>(nodes) + 1.0))
        return false;
    const double cell = std::floor(t);
    index = static_cast<int>(cell);
    fraction = t - cell;
    if (index < 0) {
        if (index == -1 && fraction > 1.0 - kSnapTolerance) {
            index = 0;
            fraction = 0;
        } else {
            return false;
        }
    } else if (index + 1 >= nodes) {
        if (index + 1 == nodes && fraction < kSnapTolerance) {
            --index;
            fraction = 1;
        } else {
            return false;
        }
    }
    // A grid of a single column or row has no cell at all.
    return index >= 0 && index + 1 < nodes;
}
} // namespace

bool NTv2SubGrid::interpolate(double lon, double lat, double &dLon,
                              double &dLat) const {
    int column = 0, row = 0;
    double fx = 0, fy = 0;
    if (!cellOf(lon, resX, columns, column, fx) ||
        !cellOf(lat, resY, rows, row, fy))
        return false;
    const std::size_t stride = static_cast<std::size_t>(columns);
    const float *f00 =
        shifts.data() + 2 * (static_cast<std::size_t>(row) * stride +
                             static_cast<std::size_t>(column));
    const float *f10 = f00 + 2;
    const float *f01 = f00 + 2 * stride;
    const float *f11 = f01 + 2;
    // The weights in PROJ's order of operations, so that the sums round as
    // PROJ's do.
    double m10 = fx;
    double m11 = m10;
    double m01 = 1. - fx;
    double m00 = m01;
    m11 *= fy;
    m01 *= fy;
    const double gy = 1. - fy;
    m00 *= gy;
    m10 *= gy;
    dLon = m00 * f00[0] + m10 * f10[0] + m01 * f01[0] + m11 * f11[0];
    dLat = m00 * f00[1] + m10 * f10[1] + m01 * f01[1] + m11 * f11[1];
    return true;
}

const NTv2SubGrid *NTv2GridSet::subGridAt(double lon, double lat) const {
    const NTv2SubGrid *found = nullptr;
    const std::vector<std::size_t> *candidates = &topLevel;
    for (;;) {
        const NTv2SubGrid *next = nullptr;
        for (const std::size_t index : *candidates) {
            if (grids[index].contains(lon, lat)) {
                next = &grids[index];
                break;
            }
        }
        if (next == nullptr)
            return found;
        found = next;
        candidates = &next->children;
    }
}

NTv2ReadResult readNTv2Grid(std::istream &in, const std::string &fileName) {
    return GridReader(in, fileName).read();
}

NTv2ReadResult readNTv2GridFile(const std::string &path) {
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored))
        return {nullptr, "the grid file \"" + path + "\" is a directory"};
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        const int error = errno;
        return {nullptr, "the grid file \"" + path +
                             "\" cannot be opened: " + systemErrorText(error)};
    }
    return readNTv2Grid(in, path);
}
