#include "GeocentricConversions.h"

#include "Angles.h"
#include "Ellipsoid.h"
#include "SinCos.h"

#include <cmath>

namespace {
constexpr double kThreeHalvesPi = 4.71238898038469; // radians
constexpr double kLatitudeTolerance = 1e-8;         // radians
constexpr double kPolarCap = 1.5533430342749532;    // 89 degrees, radians
// Z / p beyond which the tangent iteration hands over to the one on the
// angle: within metres of the polar axis tan(phi) and its square grow
// without bound.
constexpr double kSteepestTangent = 1e6;
} // namespace

void GeographicToGeocentric::prepare() {
    a_ = ellipsoid_->semiMajorAxis();
    e2_ = ellipsoid_->eccentricitySquared();
}

void GeographicToGeocentric::transform(Point &point) {
    const double h = point.z;
    const SinCos phi = sinCos(point.y);
    const SinCos lambda = sinCos(point.x);
    const double nu = a_ / std::sqrt(1 - e2_ * phi.sin * phi.sin);
    point.x = (nu + h) * phi.cos * lambda.cos;
    point.y = (nu + h) * phi.cos * lambda.sin;
    point.z = ((1 - e2_) * nu + h) * phi.sin;
}

void GeocentricToGeographic::prepare() {
    a_ = ellipsoid_->semiMajorAxis();
    e2_ = ellipsoid_->eccentricitySquared();
    b_ = ellipsoid_->semiMinorAxis();
    tolerance_ = kLatitudeTolerance;
    onTangent_ = e2_ >= 0 && e2_ < 1;
    oneMinusE2_ = 1 - e2_;
    inverseOneMinusE2_ = 1 / oneMinusE2_;
    tanTolerance_ = std::tan(tolerance_);
}

void GeocentricToGeographic::transform(Point &point) {
    const double X = point.x;
    const double Y = point.y;
    const double Z = point.z;

    // X exactly 0 is decided without atan2, so that the two half-axes get
    // the exact values pi/2 and 3pi/2.
    double lambda;
    if (X == 0) {
        lambda = Y < 0 ? kThreeHalvesPi : kHalfPi;
    } else {
        lambda = std::atan2(Y, X);
        if (lambda < 0)
            lambda += kTwoPi;
    }

    const double p = std::sqrt(X * X + Y * Y);
    if (p == 0) {
        // On the polar axis the iteration would end at +-pi/2 but the height
        // p / cos(phi) - nu would give -nu, and at the origin Z / p is 0 / 0.
        point.x = lambda;
        point.y = Z < 0 ? -kHalfPi : kHalfPi;
        point.z = std::abs(Z) - b_;
        return;
    }

    double phi, h;
    if (onTangent_ && std::abs(Z) <= kSteepestTangent * p)
        iterateOnTangent(p, Z, phi, h);
    else
        iterateOnLatitude(p, Z, phi, h);
    point.x = lambda;
    point.y = phi;
    point.z = h;
}

// The iteration as the guidance writes it, on the latitude itself.
void GeocentricToGeographic::iterateOnLatitude(double p, double Z, double &phi,
                                               double &h) const {
    phi = std::atan(Z / (oneMinusE2_ * p));
    for (int i = 0; i < kMaxIterations; ++i) {
        const double nu = ellipsoid_->primeVerticalRadius(phi);
        const double phiNew = std::atan((Z + e2_ * nu * std::sin(phi)) / p);
        // A NaN change is not greater than the tolerance and ends the loop.
        const bool settled = !(std::abs(phiNew - phi) > tolerance_);
        phi = phiNew;
        if (settled)
            break;
    }

    // p / cos(phi) - nu loses digits near the poles, where cos(phi) carries
    // the rounding of phi (a metre of error a centimetre from the axis).
    // Within 1 degree of a pole the equivalent Z / sin(phi) - (1 - e^2) nu
    // is used, which is well conditioned there.
    const double nu = ellipsoid_->primeVerticalRadius(phi);
    h = std::abs(phi) <= kPolarCap ? p / std::cos(phi) - nu
                                   : Z / std::sin(phi) - oneMinusE2_ * nu;
}

// The same iteration carried on t = tan(phi), which needs no trigonometric
// function per step. With sin(phi) = t / sqrt(1 + t^2),
//     e^2 nu sin(phi) = e^2 a t / sqrt(1 + (1 - e^2) t^2),
// so a step is t' = (Z + e^2 a t / r) / p with r = sqrt(1 + (1 - e^2) t^2).
// The stopping rule |atan t' - atan t| > tolerance is, because t and t'
// share the sign of Z, |t' - t| > tan(tolerance) (1 + t t'). The steps give
// the latitudes of the angle iteration to rounding, so both stop after the
// same step except when a change falls within rounding of the tolerance.
// Heights: 1 / cos(phi) = q = sqrt(1 + t^2) and nu = a q / r.
void GeocentricToGeographic::iterateOnTangent(double p, double Z, double &phi,
                                              double &h) const {
    const double inverseP = 1 / p;
    const double ZOverP = Z * inverseP;
    const double k = e2_ * a_ * inverseP;
    double t = ZOverP * inverseOneMinusE2_;
    for (int i = 0; i < kMaxIterations; ++i) {
        const double r = std::sqrt(1 + oneMinusE2_ * t * t);
        const double tNew = ZOverP + k * t / r;
        const bool settled =
            !(std::abs(tNew - t) > tanTolerance_ * (1 + t * tNew));
        t = tNew;
        if (settled)
            break;
    }
    phi = std::atan(t);
    const double q = std::sqrt(1 + t * t);
    const double r = std::sqrt(1 + oneMinusE2_ * t * t);
    // p / cos(phi) - nu, or near a pole Z / sin(phi) - (1 - e^2) nu (see
    // iterateOnLatitude).
    h = std::abs(phi) <= kPolarCap ? q * (p - a_ / r)
                                   : q * (Z / t - oneMinusE2_ * a_ / r);
}
