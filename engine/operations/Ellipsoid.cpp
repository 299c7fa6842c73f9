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

// The coefficients are the fractions of EPSG Guidance Note 7-2 (method 9807):
// M = a[(1 - e^2/4 - 3e^4/64 - 5e^6/256) phi
//       - (3e^2/8 + 3e^4/32 + 45e^6/1024) sin 2phi
//       + (15e^4/256 + 45e^6/1024) sin 4phi - (35e^6/3072) sin 6phi].
// Each fraction is the double nearest to it; those with a power of two
// below are exact.
MeridianArc::MeridianArc(const Ellipsoid &ellipsoid) {
    const double a = ellipsoid.semiMajorAxis();
    const double e2 = ellipsoid.eccentricitySquared();
    const double e4 = e2 * e2;
    const double e6 = e4 * e2;
    c1 = a * (1 - 1.0 / 4 * e2 - 3.0 / 64 * e4 - 5.0 / 256 * e6);
    c2 = a * (-3.0 / 8 * e2 - 3.0 / 32 * e4 - 45.0 / 1024 * e6);
    c3 = a * (15.0 / 256 * e4 + 45.0 / 1024 * e6);
    c4 = a * (-35.0 / 3072 * e6);
}

double MeridianArc::operator()(double phi) const {
    const SinCos angle = sinCos(phi);
    return (*this)(phi, angle.sin, angle.cos);
}

// phi1 = mu + (3e1/2 - 27e1^3/32) sin 2mu + (21e1^2/16 - 55e1^4/32) sin 4mu
//           + (151e1^3/96) sin 6mu + (1097e1^4/512) sin 8mu
// (EPSG Guidance Note 7-2, method 9807).
FootpointSeries::FootpointSeries(const Ellipsoid &ellipsoid)
    : c1(MeridianArc(ellipsoid).c1), inverseC1(1 / c1) {
    const double root = std::sqrt(1 - ellipsoid.eccentricitySquared());
    e1 = (1 - root) / (1 + root);
    const double e1_2 = e1 * e1;
    const double e1_3 = e1_2 * e1;
    const double e1_4 = e1_3 * e1;
    b1 = 3.0 / 2 * e1 - 27.0 / 32 * e1_3;
    b2 = 21.0 / 16 * e1_2 - 55.0 / 32 * e1_4;
    b3 = 151.0 / 96 * e1_3;
    b4 = 1097.0 / 512 * e1_4;
}
