#include "Driver.h"

bool runConversions(const RunSettings &, const TransformationScript &) {
    return false;
}
