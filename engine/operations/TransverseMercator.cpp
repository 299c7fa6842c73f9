#include "TransverseMercator.h"

#include "Projection.h"

void TransverseMercatorForward::prepare() {
    origin_ = ProjectionOrigin::read(parameters_);
    k0_ = parameters_.parameterNumber("ScaleFactorAtNaturalOrigin");
    ep2_ = ellipsoid_->secondEccentricitySquared();
    arc_ = MeridianArc(*ellipsoid_);
    M0_ = arc_(origin_.phi0);
    fifthOrderConstant_ = 5 - 58 * ep2_;
    sixthOrderConstant_ = 61 - 330 * ep2_;
    a_ = ellipsoid_->semiMajorAxis();
    e2_ = ellipsoid_->eccentricitySquared();
}

void TransverseMercatorForward::transform(Point &point) {
    const double phi = point.y;
    const auto [sinPhi, cosPhi, tanPhi, nu] = latitudeTerms(phi, a_, e2_);
    const double T = tanPhi * tanPhi;
    const double C = ep2_ * cosPhi * cosPhi;
    const double A = longitudeDifference(point.x, origin_.lambda0) * cosPhi;
    const double M = arc_(phi, sinPhi, cosPhi);

    const double A2 = A * A;
    const double A3 = A2 * A;
    const double A4 = A3 * A;
    const double A5 = A4 * A;
    const double A6 = A5 * A;
    const double T2 = T * T;

    const double E =
        origin_.FE +
        k0_ * nu *
            (A + (1 - T + C) * A3 * kSixth +
             (fifthOrderConstant_ - 18 * T + T2 + 72 * C) * A5 * kOneOver120);
    const double N =
        origin_.FN +
        k0_ * (M - M0_ +
               nu * tanPhi *
                   (A2 * kHalf + (5 - T + 9 * C + 4 * C * C) * A4 * kOneOver24 +
                    (sixthOrderConstant_ - 58 * T + T2 + 600 * C) * A6 *
                        kOneOver720));
    point.x = E;
    point.y = N;
}

void TransverseMercatorReverse::prepare() {
    origin_ = ProjectionOrigin::read(parameters_);
    k0_ = parameters_.parameterNumber("ScaleFactorAtNaturalOrigin");
    ep2_ = ellipsoid_->secondEccentricitySquared();
    M0_ = MeridianArc(*ellipsoid_)(origin_.phi0);
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
    const double M1 = M0_ + (point.y - origin_.FN) * inverseK0_;
    const double phi1 = footpoint_(M1);
    const auto [cosPhi1, secPhi1, tanPhi1, T1, nu1TanPhi1OverRho1, rootW] =
        footpointTerms(phi1, e2_, inverseOneMinusE2_);
    const double C1 = ep2_ * cosPhi1 * cosPhi1;
    // 1 / (nu1 k0) = sqrt(w) / (a k0).
    const double D = (point.x - origin_.FE) * rootW * inverseAK0_;

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
        origin_.lambda0 +
        (D - (1 + 2 * T1 + C1) * D3 * kSixth +
         (fifthOrderConstant_ - 2 * C1 + 28 * T1 - 3 * C1_2 + 24 * T1_2) * D5 *
             kOneOver120) *
            secPhi1;
    point.x = lambda;
    point.y = phi;
}
