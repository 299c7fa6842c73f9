// Arbitrary bytes as the extent line of boxcheck's output, classified as the
// desktop classifies the fourth line of Shape.txt.
#include "modKAVRO.h"

#include <QString>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString line = QString::fromLocal8Bit(
        reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const ShapeType type = modKAVRO::ParseExtentLine(line);
    if (type < ShapeGBOShift || type > ShapeUnknown)
        std::abort();
    return 0;
}
