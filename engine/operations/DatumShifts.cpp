#include "DatumShifts.h"

#include "Ellipsoid.h"

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
}

void AbridgedMolodensky::transform(Point &point) {
    const double lambda = point.x;
    const double phi = point.y;
    const double h = point.z;
    const double sinPhi = std::sin(phi);
    const double cosPhi = std::cos(phi);
    const double sinLambda = std::sin(lambda);
    const double cosLambda = std::cos(lambda);
    const double rho = source_->meridianRadius(phi);
    const double nu = source_->primeVerticalRadius(phi);

    const double dPhi = // arc-seconds
        (-dX_ * sinPhi * cosLambda - dY_ * sinPhi * sinLambda + dZ_ * cosPhi +
         adfPlusfda_ * std::sin(2 * phi)) /
        (rho * kSinArcSecond);
    const double dLambda = // arc-seconds
        (-dX_ * sinLambda + dY_ * cosLambda) / (nu * cosPhi * kSinArcSecond);
    const double dh = dX_ * cosPhi * cosLambda + dY_ * cosPhi * sinLambda +
                      dZ_ * sinPhi + adfPlusfda_ * sinPhi * sinPhi - da_;

    point.x = lambda + dLambda * kArcSecond;
    point.y = phi + dPhi * kArcSecond;
    point.z = h + dh;
}
