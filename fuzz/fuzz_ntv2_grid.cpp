// Arbitrary bytes as an NTv2 grid file: read, then a few points shifted both
// ways through every sub-grid it holds.
#include "ChainStatus.h"
#include "FuzzSupport.h"
#include "NTv2GridFile.h"
#include "NTv2GridShift.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const auto path = fuzz::scratch() / "grid.gsb";
    fuzz::writeFile(path, data, size);
    ChainStatus status;
    LoadContext context;
    context.status = &status;
    for (const char *direction : {"Forward", "Reverse"}) {
        NTv2GridShift shift;
        shift.parameters().setParameter("GridFile", path.string());
        shift.parameters().setParameter("Direction", direction);
        ParameterProblem problem;
        if (!shift.acquire(context, problem))
            return 0;
        shift.prepare();
        for (const NTv2SubGrid &grid : shift.grids()->grids) {
            const double lons[] = {grid.west, grid.east,
                                   0.5 * (grid.west + grid.east),
                                   grid.west - grid.resX * 1e-5};
            const double lats[] = {grid.south, grid.north,
                                   0.5 * (grid.south + grid.north)};
            for (double lon : lons)
                for (double lat : lats) {
                    Point point{{lon, lat}, 0};
                    shift.transform(point);
                    status.take();
                }
        }
    }
    return 0;
}
