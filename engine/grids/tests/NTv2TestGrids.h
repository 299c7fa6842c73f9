#pragma once

// Small NTv2 grid files written by the tests: any number of sub-grids, either
// byte order, shifts from a function, and the ways to damage a file.

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kavrotest {

struct TestSubGrid {
    std::string name = "GRID";
    std::string parent = "NONE";
    // Degrees, longitudes positive EAST (the writer turns them west).
    double west = 10, south = 45, east = 11, north = 46;
    double lonInc = 0.25, latInc = 0.25;
    // Arc-seconds at a node (column from the west, row from the south):
    // latitude shift, longitude shift positive east.
    std::function<void(int column, int row, float &lat, float &lon)> shift =
        [](int, int, float &lat, float &lon) {
            lat = 1;
            lon = 2;
        };
    std::optional<std::uint32_t> gsCount; // instead of columns * rows
    std::optional<double> southSeconds;   // instead of south * 3600
    int columns() const {
        return static_cast<int>(std::fabs((east - west) / lonInc + 0.5)) + 1;
    }
    int rows() const {
        return static_cast<int>(std::fabs((north - south) / latInc + 0.5)) + 1;
    }
};

class NTv2Writer {
  public:
    explicit NTv2Writer(bool bigEndian) : bigEndian_(bigEndian) {}

    void key(const char *key) {
        char k[8] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
        std::memcpy(k, key, std::min<std::size_t>(8, std::strlen(key)));
        bytes_.append(k, 8);
    }
    void integer(const char *k, std::int32_t value) {
        key(k);
        put(static_cast<std::uint32_t>(value));
        put(std::uint32_t{0});
    }
    void real(const char *k, double value) {
        key(k);
        put(std::bit_cast<std::uint64_t>(value));
    }
    void text(const char *k, const std::string &value) {
        key(k);
        std::string v = value;
        v.resize(8, ' ');
        bytes_ += v;
    }
    void single(float value) { put(std::bit_cast<std::uint32_t>(value)); }
    std::string &bytes() { return bytes_; }

  private:
    template <class U> void put(U value) {
        for (std::size_t i = 0; i < sizeof(U); ++i) {
            const std::size_t shift =
                bigEndian_ ? 8 * (sizeof(U) - 1 - i) : 8 * i;
            bytes_ += static_cast<char>((value >> shift) & 0xff);
        }
    }
    bool bigEndian_;
    std::string bytes_;
};

// The bytes of an NTv2 file holding the sub-grids in this order.
inline std::string ntv2File(const std::vector<TestSubGrid> &grids,
                            bool bigEndian = false,
                            const std::string &gsType = "SECONDS") {
    NTv2Writer w(bigEndian);
    w.integer("NUM_OREC", 11);
    w.integer("NUM_SREC", 11);
    w.integer("NUM_FILE", static_cast<std::int32_t>(grids.size()));
    w.text("GS_TYPE", gsType);
    w.text("VERSION", "NTv2.0");
    w.text("SYSTEM_F", "TEST_F");
    w.text("SYSTEM_T", "TEST_T");
    w.real("MAJOR_F", 6378137.0);
    w.real("MINOR_F", 6356752.314);
    w.real("MAJOR_T", 6378137.0);
    w.real("MINOR_T", 6356752.314);
    for (const TestSubGrid &g : grids) {
        const int columns = g.columns(), rows = g.rows();
        w.text("SUB_NAME", g.name);
        w.text("PARENT", g.parent);
        w.text("CREATED", "20240101");
        w.text("UPDATED", "20240101");
        w.real("S_LAT", g.southSeconds ? *g.southSeconds : g.south * 3600);
        w.real("N_LAT", g.north * 3600);
        w.real("E_LONG", -g.east * 3600);
        w.real("W_LONG", -g.west * 3600);
        w.real("LAT_INC", g.latInc * 3600);
        w.real("LONG_INC", g.lonInc * 3600);
        const std::uint32_t count =
            g.gsCount ? *g.gsCount : static_cast<std::uint32_t>(columns * rows);
        w.integer("GS_COUNT", static_cast<std::int32_t>(count));
        // South-east first; rows south to north, each east to west.
        for (std::uint32_t record = 0; record < count; ++record) {
            const int row = static_cast<int>(record / columns);
            const int column = columns - 1 - static_cast<int>(record % columns);
            float lat = 0, lon = 0;
            g.shift(column, row, lat, lon);
            w.single(lat);
            w.single(-lon); // positive west in the file
            w.single(0.01f);
            w.single(0.01f);
        }
    }
    w.key("END"); // as the published files end
    w.bytes().append(8, '\0');
    return w.bytes();
}

} // namespace kavrotest
