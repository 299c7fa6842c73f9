#include "AffineGeneralParametricTransformation.h"

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
    A0_ = parameters_.parameterNumber("A0");
    A1_ = parameters_.parameterNumber("A1");
    A2_ = parameters_.parameterNumber("A2");
    A3_ = parameters_.parameterNumber("A3");
    B0_ = parameters_.parameterNumber("B0");
    B1_ = parameters_.parameterNumber("B1");
    B2_ = parameters_.parameterNumber("B2");
    B3_ = parameters_.parameterNumber("B3");
    C0_ = parameters_.parameterNumber("C0");
    C1_ = parameters_.parameterNumber("C1");
    C2_ = parameters_.parameterNumber("C2");
    C3_ = parameters_.parameterNumber("C3");
}

void AffineGeneralParametricTransformation::transform(Point &point) {
    const double x = point.x;
    const double y = point.y;
    const double z = point.z;
    point.x = A0_ + A1_ * x + A2_ * y + A3_ * z;
    point.y = B0_ + B1_ * x + B2_ * y + B3_ * z;
    point.z = C0_ + C1_ * x + C2_ * y + C3_ * z;
}
