#include "TransverseMercator.h"

#include "Projection.h"

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
}

void TransverseMercatorForward::transform(Point &point) {
    const double phi = point.y;
    const double cosPhi = std::cos(phi);
    const double tanPhi = std::tan(phi);
    const double T = tanPhi * tanPhi;
    const double C = ep2_ * cosPhi * cosPhi;
    const double A = longitudeDifference(point.x, lambda0_) * cosPhi;
    const double nu = ellipsoid_->primeVerticalRadius(phi);
    const double M = arc_(phi);

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
}

void TransverseMercatorReverse::transform(Point &point) {
    const double M1 = M0_ + (point.y - FN_) / k0_;
    const double phi1 = footpoint_(M1);
    const double cosPhi1 = std::cos(phi1);
    const double tanPhi1 = std::tan(phi1);
    const double T1 = tanPhi1 * tanPhi1;
    const double C1 = ep2_ * cosPhi1 * cosPhi1;
    const double nu1 = ellipsoid_->primeVerticalRadius(phi1);
    const double rho1 = ellipsoid_->meridianRadius(phi1);
    const double D = (point.x - FE_) / (nu1 * k0_);

    const double D2 = D * D;
    const double D3 = D2 * D;
    const double D4 = D3 * D;
    const double D5 = D4 * D;
    const double D6 = D5 * D;
    const double T1_2 = T1 * T1;
    const double C1_2 = C1 * C1;

    const double phi =
        phi1 -
        (nu1 * tanPhi1 / rho1) *
            (D2 * kHalf -
             (5 + 3 * T1 + 10 * C1 - 4 * C1_2 - 9 * ep2_) * D4 * kOneOver24 +
             (61 + 90 * T1 + 298 * C1 + 45 * T1_2 - 252 * ep2_ - 3 * C1_2) *
                 D6 * kOneOver720);
    const double lambda =
        lambda0_ + (D - (1 + 2 * T1 + C1) * D3 * kSixth +
                    (5 - 2 * C1 + 28 * T1 - 3 * C1_2 + 8 * ep2_ + 24 * T1_2) *
                        D5 * kOneOver120) /
                       cosPhi1;
    point.x = lambda;
    point.y = phi;
}
