#include "CassiniSoldner.h"

#include "Projection.h"

void CassiniSoldnerForward::prepare() {
    origin_ = ProjectionOrigin::read(parameters_);
    ep2_ = ellipsoid_->secondEccentricitySquared();
    arc_ = MeridianArc(*ellipsoid_);
    M0_ = arc_(origin_.phi0);
    a_ = ellipsoid_->semiMajorAxis();
    e2_ = ellipsoid_->eccentricitySquared();
}

void CassiniSoldnerForward::transform(Point &point) {
    const double phi = point.y;
    const auto [sinPhi, cosPhi, tanPhi, nu] = latitudeTerms(phi, a_, e2_);
    const double A = longitudeDifference(point.x, origin_.lambda0) * cosPhi;
    const double T = tanPhi * tanPhi;
    const double C = ep2_ * cosPhi * cosPhi;
    const double M = arc_(phi, sinPhi, cosPhi);

    const double A2 = A * A;
    const double A3 = A2 * A;
    const double A4 = A3 * A;
    const double A5 = A4 * A;

    const double E = origin_.FE + nu * (A - T * A3 * kSixth -
                                        (8 - T + 8 * C) * T * A5 * kOneOver120);
    const double N =
        origin_.FN + (M - M0_) +
        nu * tanPhi * (A2 * kHalf + (5 - T + 6 * C) * A4 * kOneOver24);
    point.x = E;
    point.y = N;
}

void CassiniSoldnerReverse::prepare() {
    origin_ = ProjectionOrigin::read(parameters_);
    M0_ = MeridianArc(*ellipsoid_)(origin_.phi0);
    footpoint_ = FootpointSeries(*ellipsoid_);
    e2_ = ellipsoid_->eccentricitySquared();
    inverseA_ = 1 / ellipsoid_->semiMajorAxis();
    inverseOneMinusE2_ = 1 / (1 - e2_);
}

void CassiniSoldnerReverse::transform(Point &point) {
    const double M1 = M0_ + (point.y - origin_.FN);
    const double phi1 = footpoint_(M1);
    const auto [cosPhi1, secPhi1, tanPhi1, T1, nu1TanPhi1OverRho1, rootW] =
        footpointTerms(phi1, e2_, inverseOneMinusE2_);
    const double D = (point.x - origin_.FE) * rootW * inverseA_;

    const double D2 = D * D;
    const double D3 = D2 * D;
    const double D4 = D3 * D;
    const double D5 = D4 * D;

    const double phi = phi1 - nu1TanPhi1OverRho1 *
                                  (D2 * kHalf - (1 + 3 * T1) * D4 * kOneOver24);
    const double lambda =
        origin_.lambda0 +
        (D - T1 * D3 * kThird + (1 + 3 * T1) * T1 * D5 * kFifteenth) * secPhi1;
    point.x = lambda;
    point.y = phi;
}
