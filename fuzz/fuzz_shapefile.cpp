// Arbitrary .shp/.shx pairs through the Gauss-Boaga chain. The input is the
// .shp bytes and the .shx bytes, split where the first four bytes (little
// endian) say; the seeds are valid pairs, which the fuzzer mutates.
#include "FuzzSupport.h"
#include "ShapeFileConverter.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 4)
        return 0;
    uint32_t shpSize = 0;
    std::memcpy(&shpSize, data, 4);
    data += 4;
    size -= 4;
    if (shpSize > size)
        shpSize = static_cast<uint32_t>(size);
    const auto folder = fuzz::scratch();
    fuzz::writeFile(folder / "in.shp", data, shpSize);
    fuzz::writeFile(folder / "in.shx", data + shpSize, size - shpSize);
    ShapeFileConverter converter(fuzz::gboScript());
    converter.setInputPath((folder / "in.shp").string());
    converter.setOutputPath((folder / "out.shp").string());
    if (converter.open())
        converter.convert();
    return 0;
}
