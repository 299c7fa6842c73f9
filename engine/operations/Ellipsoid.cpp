#include "Ellipsoid.h"

#include <cmath>

namespace {
constexpr NumberParameter kNumbers[] = {
    {"SemiMajorAxes", NumberRule::PositiveFinite},
    {"InverseFlattening", NumberRule::ZeroOrAtLeastOne},
};
} // namespace

std::span<const NumberParameter> Ellipsoid::numberParameters() {
    return kNumbers;
}

void Ellipsoid::prepare() {
    inverseFlattening_ = parameters_.parameterNumber("InverseFlattening");
    a_ = parameters_.parameterNumber("SemiMajorAxes");
    e2_ = 0;
    if (inverseFlattening_ != 0) {
        const double f = 1 / inverseFlattening_;
        e2_ = 2 * f - f * f;
    }
}

double Ellipsoid::secondEccentricitySquared() const {
    if (e2_ == 1.0)
        return 0;
    return e2_ / (1 - e2_);
}

double Ellipsoid::semiMinorAxis() const { return a_ * std::sqrt(1 - e2_); }

double Ellipsoid::primeVerticalRadius(double phi) const {
    const double s = std::sin(phi);
    return a_ / std::sqrt(1 - e2_ * s * s);
}

double Ellipsoid::meridianRadius(double phi) const {
    const double s = std::sin(phi);
    const double w = 1 - e2_ * s * s;
    return a_ * (1 - e2_) / (w * std::sqrt(w)); // w^1.5
}

MeridianArc::MeridianArc(const Ellipsoid &ellipsoid) {
    const double a = ellipsoid.semiMajorAxis();
    const double e2 = ellipsoid.eccentricitySquared();
    const double e4 = e2 * e2;
    const double e6 = e4 * e2;
    c1 = a * (1 - 0.25 * e2 - 0.046875 * e4 - 0.01953125 * e6);
    c2 = a * (-0.375 * e2 - 0.09375 * e4 - 0.0439453125 * e6);
    c3 = a * (0.05859375 * e4 + 0.0439453125 * e6);
    c4 = a * (-0.011393229166666666 * e6);
}

double MeridianArc::operator()(double phi) const {
    const SinCos angle = sinCos(phi);
    return (*this)(phi, angle.sin, angle.cos);
}

FootpointSeries::FootpointSeries(const Ellipsoid &ellipsoid)
    : c1(MeridianArc(ellipsoid).c1), inverseC1(1 / c1) {
    const double root = std::sqrt(1 - ellipsoid.eccentricitySquared());
    e1 = (1 - root) / (1 + root);
    const double e1_2 = e1 * e1;
    const double e1_3 = e1_2 * e1;
    const double e1_4 = e1_3 * e1;
    b1 = 1.5 * e1 - 0.84375 * e1_3;
    b2 = 1.3125 * e1_2 - 1.71875 * e1_4;
    b3 = 1.5729166666666665 * e1_3;
    b4 = 2.142578125 * e1_4;
}
