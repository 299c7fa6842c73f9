#include "DatumShifts.h"

#include "Ellipsoid.h"
#include "OperationDirection.h"
#include "SinCos.h"

#include <cmath>
#include <string>

namespace {
constexpr double kPartsPerMillion = 1e-6;
// The guidance divides the shifts by rho sin(1") to get arc-seconds; they
// then go back to radians with one arc-second in radians (pi / 648000). The
// two numbers differ by 4e-12 relative, far below the method's accuracy.
constexpr double kSinArcSecond = 4.848136811076368e-06;
constexpr double kArcSecond = 4.84813681109536e-06; // radians

constexpr NumberParameter kHelmertNumbers[] = {
    {"XaxisTranslation"}, {"YaxisTranslation"}, {"ZaxisTranslation"},
    {"XaxisRotation"},    {"YaxisRotation"},    {"ZaxisRotation"},
    {"ScaleDifference"},
};
// The translations come first in both lists.
constexpr std::span<const NumberParameter> kMolodenskyNumbers(kHelmertNumbers,
                                                              3);
} // namespace

std::span<const NumberParameter>
PositionVector7Parameter::numberParameters() const {
    return kHelmertNumbers;
}

std::span<const NumberParameter> AbridgedMolodensky::numberParameters() const {
    return kMolodenskyNumbers;
}

void PositionVector7Parameter::prepare() {
    M_ = 1 + parameters_.parameterNumber("ScaleDifference") * kPartsPerMillion;
    tX_ = parameters_.parameterNumber("XaxisTranslation");
    tY_ = parameters_.parameterNumber("YaxisTranslation");
    tZ_ = parameters_.parameterNumber("ZaxisTranslation");
    rX_ = parameters_.parameterNumber("XaxisRotation");
    rY_ = parameters_.parameterNumber("YaxisRotation");
    rZ_ = parameters_.parameterNumber("ZaxisRotation");
    ParameterProblem ignored; // acquire() has refused a wrong Direction
    readDirection(parameters_, reverse_, ignored);
    if (!reverse_)
        return;
    // The forward matrix M R, inverted through its adjugate: R is within a
    // few arc-seconds of the identity, so the determinant is close to M^3
    // and nothing cancels.
    const double a[3][3] = {{M_, -M_ * rZ_, M_ * rY_},
                            {M_ * rZ_, M_, -M_ * rX_},
                            {-M_ * rY_, M_ * rX_, M_}};
    const double cofactor[3][3] = {{a[1][1] * a[2][2] - a[1][2] * a[2][1],
                                    a[1][2] * a[2][0] - a[1][0] * a[2][2],
                                    a[1][0] * a[2][1] - a[1][1] * a[2][0]},
                                   {a[0][2] * a[2][1] - a[0][1] * a[2][2],
                                    a[0][0] * a[2][2] - a[0][2] * a[2][0],
                                    a[0][1] * a[2][0] - a[0][0] * a[2][1]},
                                   {a[0][1] * a[1][2] - a[0][2] * a[1][1],
                                    a[0][2] * a[1][0] - a[0][0] * a[1][2],
                                    a[0][0] * a[1][1] - a[0][1] * a[1][0]}};
    const double determinant = a[0][0] * cofactor[0][0] +
                               a[0][1] * cofactor[0][1] +
                               a[0][2] * cofactor[0][2];
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            inverse_[row][column] = cofactor[column][row] / determinant;
}

bool PositionVector7Parameter::acquire(LoadContext &,
                                       ParameterProblem &problem) {
    bool reverse = false;
    return readDirection(parameters_, reverse, problem);
}

// Position vector convention: the matrix
//     |  1   -rZ   rY |
//     |  rZ   1   -rX |
//     | -rY   rX   1  |
// turns the position vector, so a positive rZ moves a point on the X axis
// towards +Y. The coordinate frame convention (EPSG method 1032) has the
// opposite signs: its published rotations must be negated for this one.
void PositionVector7Parameter::transform(Point &point) {
    if (reverse_) {
        const double X = point.x - tX_;
        const double Y = point.y - tY_;
        const double Z = point.z - tZ_;
        point.x = inverse_[0][0] * X + inverse_[0][1] * Y + inverse_[0][2] * Z;
        point.y = inverse_[1][0] * X + inverse_[1][1] * Y + inverse_[1][2] * Z;
        point.z = inverse_[2][0] * X + inverse_[2][1] * Y + inverse_[2][2] * Z;
        return;
    }
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
