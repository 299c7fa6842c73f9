#include "GeocentricConversions.h"

#include "Ellipsoid.h"
#include "Projection.h"

#include <cmath>

namespace {
constexpr double kThreeHalvesPi = 4.71238898038469; // radians
constexpr double kLatitudeTolerance = 1e-8;         // radians
constexpr double kPolarCap = 1.5533430342749532;    // 89 degrees, radians
} // namespace

void GeographicToGeocentric::prepare() {
    e2_ = ellipsoid_->eccentricitySquared();
}

void GeographicToGeocentric::transform(Point &point) {
    const double lambda = point.x;
    const double phi = point.y;
    const double h = point.z;
    const double nu = ellipsoid_->primeVerticalRadius(phi);
    const double cosPhi = std::cos(phi);
    point.x = (nu + h) * cosPhi * std::cos(lambda);
    point.y = (nu + h) * cosPhi * std::sin(lambda);
    point.z = ((1 - e2_) * nu + h) * std::sin(phi);
}

void GeocentricToGeographic::prepare() {
    e2_ = ellipsoid_->eccentricitySquared();
    b_ = ellipsoid_->semiMinorAxis();
    tolerance_ = kLatitudeTolerance;
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

    double phi = std::atan(Z / ((1 - e2_) * p));
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
    const double h = std::abs(phi) <= kPolarCap
                         ? p / std::cos(phi) - nu
                         : Z / std::sin(phi) - (1 - e2_) * nu;

    point.x = lambda;
    point.y = phi;
    point.z = h;
}
