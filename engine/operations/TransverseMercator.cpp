#include "TransverseMercator.h"

#include "Projection.h"
#include "SinCos.h"

#include <cmath>

void TransverseMercatorForward::prepare() {
    phi0_ = parameters_.parameterNumber("LatitudeOfNaturalOrigin");
    lambda0_ = parameters_.parameterNumber("LongitudeOfNaturalOrigin");
    FE_ = parameters_.parameterNumber("FalseEasting");
    FN_ = parameters_.parameterNumber("FalseNorthing");
    k0_ = parameters_.parameterNumber("ScaleFactorAtNaturalOrigin");
    ep2_ = ellipsoid_->secondEccentricitySquared();
    arc_ = MeridianArc(*ellipsoid_);
    M0_ = arc_(phi0_);
    fifthOrderConstant_ = 5 - 58 * ep2_;
    sixthOrderConstant_ = 61 - 330 * ep2_;
    a_ = ellipsoid_->semiMajorAxis();
    e2_ = ellipsoid_->eccentricitySquared();
}

void TransverseMercatorForward::transform(Point &point) {
    const double phi = point.y;
    const SinCos angle = sinCos(phi);
    const double sinPhi = angle.sin;
    const double cosPhi = angle.cos;
    // nu = a / sqrt(w) and tan(phi) = sin / cos share one division.
    const double rootW = std::sqrt(1 - e2_ * sinPhi * sinPhi);
    const double inverse = 1 / (cosPhi * rootW);
    const double tanPhi = sinPhi * rootW * inverse;
    const double nu = a_ * cosPhi * inverse;
    const double T = tanPhi * tanPhi;
    const double C = ep2_ * cosPhi * cosPhi;
    const double A = longitudeDifference(point.x, lambda0_) * cosPhi;
    const double M = arc_(phi, sinPhi, cosPhi);

    const double A2 = A * A;
    const double A3 = A2 * A;
    const double A4 = A3 * A;
    const double A5 = A4 * A;
    const double A6 = A5 * A;
    const double T2 = T * T;

    const double E = FE_ + k0_ * nu *
                               (A + (1 - T + C) * A3 * kSixth +
                                (fifthOrderConstant_ - 18 * T + T2 + 72 * C) *
                                    A5 * kOneOver120);
    const double N =
        FN_ +
        k0_ * (M - M0_ +
               nu * tanPhi *
                   (A2 * kHalf + (5 - T + 9 * C + 4 * C * C) * A4 * kOneOver24 +
                    (sixthOrderConstant_ - 58 * T + T2 + 600 * C) * A6 *
                        kOneOver720));
    point.x = E;
    point.y = N;
}

void TransverseMercatorReverse::prepare() {
    phi0_ = parameters_.parameterNumber("LatitudeOfNaturalOrigin");
    lambda0_ = parameters_.parameterNumber("LongitudeOfNaturalOrigin");
    FE_ = parameters_.parameterNumber("FalseEasting");
    FN_ = parameters_.parameterNumber("FalseNorthing");
    k0_ = parameters_.parameterNumber("ScaleFactorAtNaturalOrigin");
    ep2_ = ellipsoid_->secondEccentricitySquared();
    M0_ = MeridianArc(*ellipsoid_)(phi0_);
    footpoint_ = FootpointSeries(*ellipsoid_);
    e2_ = ellipsoid_->eccentricitySquared();
    inverseK0_ = 1 / k0_;
    inverseAK0_ = 1 / (ellipsoid_->semiMajorAxis() * k0_);
    inverseOneMinusE2_ = 1 / (1 - e2_);
    fourthOrderConstant_ = 5 - 9 * ep2_;
    sixthOrderConstant_ = 61 - 252 * ep2_;
    fifthOrderConstant_ = 5 + 8 * ep2_;
}

void TransverseMercatorReverse::transform(Point &point) {
    const double M1 = M0_ + (point.y - FN_) * inverseK0_;
    const double phi1 = footpoint_(M1);
    const SinCos angle = sinCos(phi1);
    const double sinPhi1 = angle.sin;
    const double secPhi1 = 1 / angle.cos;
    const double tanPhi1 = sinPhi1 * secPhi1;
    const double T1 = tanPhi1 * tanPhi1;
    const double C1 = ep2_ * angle.cos * angle.cos;
    // With w = 1 - e^2 sin^2(phi1): nu1 = a / sqrt(w) and
    // rho1 = a (1 - e^2) / w^1.5, so nu1 / rho1 = w / (1 - e^2) and
    // 1 / (nu1 k0) = sqrt(w) / (a k0); no radius is needed on its own.
    const double w = 1 - e2_ * sinPhi1 * sinPhi1;
    const double nu1TanPhi1OverRho1 = tanPhi1 * w * inverseOneMinusE2_;
    const double D = (point.x - FE_) * std::sqrt(w) * inverseAK0_;

    const double D2 = D * D;
    const double D3 = D2 * D;
    const double D4 = D3 * D;
    const double D5 = D4 * D;
    const double D6 = D5 * D;
    const double T1_2 = T1 * T1;
    const double C1_2 = C1 * C1;

    const double phi =
        phi1 -
        nu1TanPhi1OverRho1 *
            (D2 * kHalf -
             (fourthOrderConstant_ + 3 * T1 + 10 * C1 - 4 * C1_2) * D4 *
                 kOneOver24 +
             (sixthOrderConstant_ + 90 * T1 + 298 * C1 + 45 * T1_2 - 3 * C1_2) *
                 D6 * kOneOver720);
    const double lambda =
        lambda0_ +
        (D - (1 + 2 * T1 + C1) * D3 * kSixth +
         (fifthOrderConstant_ - 2 * C1 + 28 * T1 - 3 * C1_2 + 24 * T1_2) * D5 *
             kOneOver120) *
            secPhi1;
    point.x = lambda;
    point.y = phi;
}
