#pragma once

// A stand-in for the Italian national grid (Monte Mario to RDN2008), which is
// licensed and cannot be part of the tests: one sub-grid over the real file's
// extent (35°16'N to 47°16'N, 6°22'E to 18°40'E, as its name says), 6' cells,
// shifts close to the real ones (about 2.4" north and 1" west, 70 m and 25 m)
// that vary smoothly by a few metres. The shifts are polynomials, so the file
// is the same byte for byte wherever it is written; the tests and the tool
// that makes PROJ's reference values (tools/italygrid) both write it from
// here.

#include "NTv2TestGrids.h"

#include <string>

namespace kavrotest {

inline constexpr const char *kItalianGridName = "35160622_47161840_R40_F00.gsb";

inline TestSubGrid italianTestSubGrid() {
    TestSubGrid grid;
    grid.name = "ITALY";
    grid.west = 6 + 22.0 / 60;
    grid.east = 18 + 40.0 / 60;
    grid.south = 35 + 16.0 / 60;
    grid.north = 47 + 16.0 / 60;
    grid.lonInc = grid.latInc = 0.1;
    const int columns = grid.columns(), rows = grid.rows();
    grid.shift = [columns, rows](int column, int row, float &lat, float &lon) {
        const double u = double(column) / (columns - 1); // 0 west, 1 east
        const double v = double(row) / (rows - 1);       // 0 south, 1 north
        // 0.1" of latitude is 3 m, 0.1" of longitude 2.3 m at 42°N.
        lat = static_cast<float>(2.40 + 0.12 * (u - 0.5) * (1 - v * v) +
                                 0.08 * u * v * (1 - u));
        lon = static_cast<float>(-1.00 - 0.15 * v * (1 - v) +
                                 0.10 * (u - 0.5) * (u - 0.5) * (1 + v));
    };
    return grid;
}

inline std::string italianTestGrid() {
    return ntv2File({italianTestSubGrid()});
}

} // namespace kavrotest
