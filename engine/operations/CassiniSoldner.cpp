#include "CassiniSoldner.h"

#include "Projection.h"

#include <cmath>

void CassiniSoldnerForward::prepare() {
    phi0_ = parameters_.parameterNumber("LatitudeOfNaturalOrigin");
    lambda0_ = parameters_.parameterNumber("LongitudeOfNaturalOrigin");
    FE_ = parameters_.parameterNumber("FalseEasting");
    FN_ = parameters_.parameterNumber("FalseNorthing");
    ep2_ = ellipsoid_->secondEccentricitySquared();
    arc_ = MeridianArc(*ellipsoid_);
    M0_ = arc_(phi0_);
}

void CassiniSoldnerForward::transform(Point &point) {
    const double phi = point.y;
    const double cosPhi = std::cos(phi);
    const double tanPhi = std::tan(phi);
    const double A = longitudeDifference(point.x, lambda0_) * cosPhi;
    const double T = tanPhi * tanPhi;
    const double C = ep2_ * cosPhi * cosPhi;
    const double nu = ellipsoid_->primeVerticalRadius(phi);
    const double M = arc_(phi);

    const double A2 = A * A;
    const double A3 = A2 * A;
    const double A4 = A3 * A;
    const double A5 = A4 * A;

    const double E = FE_ + nu * (A - T * A3 * kSixth -
                                 (8 - T + 8 * C) * T * A5 * kOneOver120);
    const double N =
        FN_ + M - M0_ +
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
}

void CassiniSoldnerReverse::transform(Point &point) {
    const double M1 = M0_ + (point.y - FN_);
    const double phi1 = footpoint_(M1);
    const double tanPhi1 = std::tan(phi1);
    const double T1 = tanPhi1 * tanPhi1;
    const double nu1 = ellipsoid_->primeVerticalRadius(phi1);
    const double rho1 = ellipsoid_->meridianRadius(phi1);
    const double D = (point.x - FE_) / nu1;

    const double D2 = D * D;
    const double D3 = D2 * D;
    const double D4 = D3 * D;
    const double D5 = D4 * D;

    const double phi = phi1 - (nu1 * tanPhi1 / rho1) *
                                  (D2 * kHalf - (1 + 3 * T1) * D4 * kOneOver24);
    const double lambda = lambda0_ + (D - T1 * D3 * kThird +
                                      (1 + 3 * T1) * T1 * D5 * kFifteenth) /
                                         std::cos(phi1);
    point.x = lambda;
    point.y = phi;
}
