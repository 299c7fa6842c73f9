#include "CoordinateCategory.h"

#include <cmath>
#include <limits>

namespace {

bool isCoordinate(std::int64_t value) { return value > kSmallestCoordinate; }

bool fits32Bits(std::int64_t value) {
    return value >= std::numeric_limits<std::int32_t>::min() &&
           value <= std::numeric_limits<std::int32_t>::max();
}

// The whole metres of a value, as the desktop reads them from the text
// "<whole>.<two decimals>": the fraction cut off.
bool wholeMetres(double value, std::int64_t &whole) {
    constexpr double kLimit = 4294967296.0; // far beyond 32 bits, exactly
    if (!std::isfinite(value) || std::fabs(value) >= kLimit)
        return false;
    whole = static_cast<std::int64_t>(std::trunc(value));
    return fits32Bits(whole);
}

} // namespace

CoordinateCategory categoryOfMinima(std::int64_t xMin, std::int64_t yMin) {
    if (!isCoordinate(xMin) || !isCoordinate(yMin) || !fits32Bits(xMin) ||
        !fits32Bits(yMin))
        return CoordinateCategory::Unknown;
    if (xMin < kGboThreshold && yMin < kGboThreshold)
        return CoordinateCategory::GaussBoagaShortened;
    if (xMin > kGboThreshold && yMin > kGboThreshold)
        return CoordinateCategory::GaussBoaga;
    return CoordinateCategory::Utm32;
}

CoordinateCategory categoryOfExtent(std::int64_t xMin, std::int64_t yMin,
                                    std::int64_t xMax, std::int64_t yMax) {
    const CoordinateCategory candidate = categoryOfMinima(xMin, yMin);
    if (candidate == CoordinateCategory::Unknown)
        return candidate;
    const CategoryBox &box = kCategoryBoxes[static_cast<int>(candidate)];
    if (xMin < box.xMin || xMax > box.xMax || yMin < box.yMin ||
        yMax > box.yMax)
        return CoordinateCategory::Unknown;
    return candidate;
}

CoordinateCategory categoryOfExtent(double xMin, double yMin, double xMax,
                                    double yMax) {
    std::int64_t whole[4];
    const double values[] = {xMin, yMin, xMax, yMax};
    for (int i = 0; i < 4; ++i)
        if (!wholeMetres(values[i], whole[i]))
            return CoordinateCategory::Unknown;
    return categoryOfExtent(whole[0], whole[1], whole[2], whole[3]);
}
