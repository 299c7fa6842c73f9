// Arbitrary bytes as a coordinate system definition, as a shapefile's .prj
// or a GeoPackage's definition brings it: read, compared with itself and
// with Gauss-Boaga West, and turned into a report's reason.
#include "CoordinateSystem.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {
const char *const kWest =
    R"wkt(PROJCS["Monte Mario / Italy zone 1",GEOGCS["Monte Mario",DATUM["Monte_Mario",SPHEROID["International 1924",6378388,297]],PRIMEM["Greenwich",0],UNIT["degree",0.0174532925199433]],PROJECTION["Transverse_Mercator"],PARAMETER["latitude_of_origin",0],PARAMETER["central_meridian",9],PARAMETER["scale_factor",0.9996],PARAMETER["false_easting",1500000],PARAMETER["false_northing",0],UNIT["metre",1]])wkt";
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static const CoordinateSystem west = *parseWkt(kWest);
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const std::optional<CoordinateSystem> system = parseWkt(text);
    if (system) {
        // A system never contradicts itself, and the verdict does not
        // depend on the order.
        if (compareSystems(*system, *system).verdict ==
            SystemComparison::Different)
            std::abort();
        if (compareSystems(*system, west).verdict !=
            compareSystems(west, *system).verdict)
            std::abort();
        if (readableName(*system).empty())
            std::abort();
    }
    const std::optional<std::string> reason =
        declaredSystemContradiction(text, "its .prj", west, "west");
    if (reason && !system)
        std::abort(); // a text that cannot be read says nothing
    return 0;
}
