// Arbitrary bytes as a text point file through the Gauss-Boaga chain.
#include "FuzzSupport.h"
#include "TextFileConverter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const auto input = fuzz::scratch() / "points.txt";
    const auto output = fuzz::scratch() / "points_out.txt";
    fuzz::writeFile(input, data, size);
    TextFileConverter converter(fuzz::gboScript());
    converter.setInputPath(input.string());
    converter.setOutputPath(output.string());
    if (converter.open())
        converter.convert();
    return 0;
}
