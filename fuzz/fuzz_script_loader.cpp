// Arbitrary bytes as a transformation script, validated against the shipped
// grammar.
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const auto path = fuzz::scratch() / "script.xml";
    fuzz::writeFile(path, data, size);
    const std::string name = path.string();
    TransformationScript script(name);
    if (script.load()) {
        Point point;
        point.x = 1650000;
        point.y = 5100000;
        script.transformPoint(point);
    } else if (script.refusal()) {
        volatile std::size_t length = script.refusal()->text().size();
        (void)length;
    }
    return 0;
}
