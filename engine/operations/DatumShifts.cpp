#include "DatumShifts.h"

#include "Ellipsoid.h"
#include "SinCos.h"

#include <cmath>

namespace {
constexpr double kPartsPerMillion = 1e-6;
// The guidance divides the shifts by rho sin(1") to get arc-seconds; they
// then go back to radians with one arc-second in radians (pi / 648000). The
// two numbers differ by 4e-12 relative, far below the method's accuracy.
constexpr double kSinArcSecond = 4.848136811076368e-06;
constexpr double kArcSecond = 4.84813681109536e-06; // radians
} // namespace

void PositionVector7Parameter::prepare() {
    M_ = 1 + parameters_.parameterNumber("ScaleDifference") * kPartsPerMillion;
    tX_ = parameters_.parameterNumber("XaxisTranslation");
    tY_ = parameters_.parameterNumber("YaxisTranslation");
    tZ_ = parameters_.parameterNumber("ZaxisTranslation");
    rX_ = parameters_.parameterNumber("XaxisRotation");
    rY_ = parameters_.parameterNumber("YaxisRotation");
    rZ_ = parameters_.parameterNumber("ZaxisRotation");
}

// Position vector convention: the matrix
//     |  1   -rZ   rY |
//     |  rZ   1   -rX |
//     | -rY   rX   1  |
// turns the position vector, so a positive rZ moves a point on the X axis
// towards +Y. The coordinate frame convention (EPSG method 1032) has the
// opposite signs: its published rotations must be negated for this one.
void PositionVector7Parameter::transform(Point &point) {
    const double X = point.x;
    const double Y = point.y;
    const double Z = point.z;
    point.x = M_ * (X - rZ_ * Y + rY_ * Z) + tX_;
    point.y = M_ * (rZ_ * X + Y - rX_ * Z) + tY_;
    point.z = M_ * (-rY_ * X + rX_ * Y + Z) + tZ_;
}

void AbridgedMolodensky::prepare() {
    dX_ = parameters_.parameterNumber("XaxisTranslation");
    dY_ = parameters_.parameterNumber("YaxisTranslation");
    dZ_ = parameters_.parameterNumber("ZaxisTranslation");
    a_ = source_->semiMajorAxis();
    da_ = target_->semiMajorAxis() - a_;
    f_ = 1 / source_->inverseFlattening();
    df_ = 1 / target_->inverseFlattening() - f_;
    adfPlusfda_ = a_ * df_ + f_ * da_;
    e2_ = source_->eccentricitySquared();
    latitudeScale_ = 1 / (a_ * (1 - e2_) * kSinArcSecond);
    longitudeScale_ = 1 / (a_ * kSinArcSecond);
}

void AbridgedMolodensky::transform(Point &point) {
    const double lambda = point.x;
    const double phi = point.y;
    const double h = point.z;
    const SinCos phiAngle = sinCos(phi);
    const SinCos lambdaAngle = sinCos(lambda);
    const double sinPhi = phiAngle.sin;
    const double cosPhi = phiAngle.cos;
    const double sinLambda = lambdaAngle.sin;
    const double cosLambda = lambdaAngle.cos;
    // The source's radii with w = 1 - e^2 sin^2(phi): rho = a (1 - e^2) /
    // w^1.5 and nu = a / sqrt(w), so 1 / (rho sin 1") = w^1.5 latitudeScale_
    // and 1 / (nu sin 1") = sqrt(w) longitudeScale_.
    const double w = 1 - e2_ * sinPhi * sinPhi;
    const double rootW = std::sqrt(w);

    const double dPhi = // arc-seconds
        (-dX_ * sinPhi * cosLambda - dY_ * sinPhi * sinLambda + dZ_ * cosPhi +
         adfPlusfda_ * 2 * sinPhi * cosPhi) *
        (w * rootW * latitudeScale_);
    const double dLambda = // arc-seconds
        (-dX_ * sinLambda + dY_ * cosLambda) * rootW * longitudeScale_ / cosPhi;
    const double dh = dX_ * cosPhi * cosLambda + dY_ * cosPhi * sinLambda +
                      dZ_ * sinPhi + adfPlusfda_ * sinPhi * sinPhi - da_;

    point.x = lambda + dLambda * kArcSecond;
    point.y = phi + dPhi * kArcSecond;
    point.z = h + dh;
}
