#include "CassiniSoldner.h"

#include "Projection.h"
#include "SinCos.h"

#include <cmath>

void CassiniSoldnerForward::prepare() {
    phi0_ = parameters_.parameterNumber("LatitudeOfNaturalOrigin");
    lambda0_ = parameters_.parameterNumber("LongitudeOfNaturalOrigin");
    FE_ = parameters_.parameterNumber("FalseEasting");
    FN_ = parameters_.parameterNumber("FalseNorthing");
    ep2_ = ellipsoid_->secondEccentricitySquared();
    arc_ = MeridianArc(*ellipsoid_);
    M0_ = arc_(phi0_);
    a_ = ellipsoid_->semiMajorAxis();
    e2_ = ellipsoid_->eccentricitySquared();
}

void CassiniSoldnerForward::transform(Point &point) {
    const double phi = point.y;
    const SinCos angle = sinCos(phi);
    const double sinPhi = angle.sin;
    const double cosPhi = angle.cos;
    // nu = a / sqrt(w) and tan(phi) = sin / cos share one division.
    const double rootW = std::sqrt(1 - e2_ * sinPhi * sinPhi);
    const double inverse = 1 / (cosPhi * rootW);
    const double tanPhi = sinPhi * rootW * inverse;
    const double nu = a_ * cosPhi * inverse;
    const double A = longitudeDifference(point.x, lambda0_) * cosPhi;
    const double T = tanPhi * tanPhi;
    const double C = ep2_ * cosPhi * cosPhi;
    const double M = arc_(phi, sinPhi, cosPhi);

    const double A2 = A * A;
    const double A3 = A2 * A;
    const double A4 = A3 * A;
    const double A5 = A4 * A;

    const double E = FE_ + nu * (A - T * A3 * kSixth -
                                 (8 - T + 8 * C) * T * A5 * kOneOver120);
    const double N =
        FN_ + (M - M0_) +
        nu * tanPhi * (A2 * kHalf + (5 - T + 6 * C) * A4 * kOneOver24);
    point.x = E;
    point.y = N;
}

void CassiniSoldnerReverse::prepare() {
    phi0_ = parameters_.parameterNumber("LatitudeOfNaturalOrigin");
    lambda0_ = parameters_.parameterNumber("LongitudeOfNaturalOrigin");
    FE_ = parameters_.parameterNumber("FalseEasting");
    FN_ = parameters_.parameterNumber("FalseNorthing");
    M0_ = MeridianArc(*ellipsoid_)(phi0_);
    footpoint_ = FootpointSeries(*ellipsoid_);
    e2_ = ellipsoid_->eccentricitySquared();
    inverseA_ = 1 / ellipsoid_->semiMajorAxis();
    inverseOneMinusE2_ = 1 / (1 - e2_);
}

void CassiniSoldnerReverse::transform(Point &point) {
    const double M1 = M0_ + (point.y - FN_);
    const double phi1 = footpoint_(M1);
    const SinCos angle = sinCos(phi1);
    const double sinPhi1 = angle.sin;
    const double secPhi1 = 1 / angle.cos;
    const double tanPhi1 = sinPhi1 * secPhi1;
    const double T1 = tanPhi1 * tanPhi1;
    // With w = 1 - e^2 sin^2(phi1): nu1 / rho1 = w / (1 - e^2) and
    // 1 / nu1 = sqrt(w) / a, as in the transverse Mercator reverse.
    const double w = 1 - e2_ * sinPhi1 * sinPhi1;
    const double nu1TanPhi1OverRho1 = tanPhi1 * w * inverseOneMinusE2_;
    const double D = (point.x - FE_) * std::sqrt(w) * inverseA_;

    const double D2 = D * D;
    const double D3 = D2 * D;
    const double D4 = D3 * D;
    const double D5 = D4 * D;

    const double phi = phi1 - nu1TanPhi1OverRho1 *
                                  (D2 * kHalf - (1 + 3 * T1) * D4 * kOneOver24);
    const double lambda =
        lambda0_ +
        (D - T1 * D3 * kThird + (1 + 3 * T1) * T1 * D5 * kFifteenth) * secPhi1;
    point.x = lambda;
    point.y = phi;
}
