#include "AffineGeneralParametricTransformation.h"

#include <iterator>

namespace {
constexpr NumberParameter kNumbers[] = {
    {"A0"}, {"A1"}, {"A2"}, {"A3"}, {"B0"}, {"B1"},
    {"B2"}, {"B3"}, {"C0"}, {"C1"}, {"C2"}, {"C3"},
};
} // namespace

std::span<const NumberParameter>
AffineGeneralParametricTransformation::numberParameters() const {
    return kNumbers;
}

void AffineGeneralParametricTransformation::prepare() {
    static_assert(std::size(kNumbers) == 3 * 4);
    for (int row = 0; row < 3; ++row)
        for (int term = 0; term < 4; ++term)
            terms_[row][term] =
                parameters_.parameterNumber(kNumbers[4 * row + term].name);
}

void AffineGeneralParametricTransformation::transform(Point &point) {
    const double x = point.x;
    const double y = point.y;
    const double z = point.z;
    double *const out[3] = {&point.x, &point.y, &point.z};
    for (int row = 0; row < 3; ++row) {
        const double *const t = terms_[row];
        *out[row] = t[0] + t[1] * x + t[2] * y + t[3] * z;
    }
}
