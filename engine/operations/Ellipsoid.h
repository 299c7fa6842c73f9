#pragma once

#include "ParameterMap.h"
#include "SinCos.h"

// A reference ellipsoid from the script's parameters "SemiMajorAxes" and
// "InverseFlattening". An inverse flattening of 0 (or none) is a sphere of
// radius a. All numbers are 0 until prepare().
class Ellipsoid {
  public:
    ParameterMap &parameters() { return parameters_; }
    // a > 0 and finite, required; 1/f = 0 (a sphere) or at least 1.
    static std::span<const NumberParameter> numberParameters();

    void prepare();

    double semiMajorAxis() const { return a_; }
    double inverseFlattening() const { return inverseFlattening_; }
    double eccentricitySquared() const { return e2_; }
    // e'^2 = e^2 / (1 - e^2); 0 when e^2 is exactly 1.
    double secondEccentricitySquared() const;
    double semiMinorAxis() const;

    // nu(phi), the radius of curvature in the prime vertical.
    double primeVerticalRadius(double phi) const;
    // rho(phi), the radius of curvature in the meridian.
    double meridianRadius(double phi) const;

  private:
    ParameterMap parameters_;
    double a_ = 0;
    double inverseFlattening_ = 0;
    double e2_ = 0;
};

// Meridian distance from the equator, the series in e^2 to e^6:
// M(phi) = c1 phi + c2 sin 2phi + c3 sin 4phi + c4 sin 6phi.
// The sines of the multiple angles are summed with Clenshaw's recurrence
// from sin 2phi and cos 2phi alone, so a caller that already holds sin(phi)
// and cos(phi) pays for no further trigonometric function. The recurrence
// agrees with the term-by-term sum to a few units in the last place of c2.
struct MeridianArc {
    MeridianArc() = default;
    explicit MeridianArc(const Ellipsoid &ellipsoid);

    double operator()(double phi) const;
    // The same, with sinPhi = sin(phi) and cosPhi = cos(phi) given.
    double operator()(double phi, double sinPhi, double cosPhi) const {
        const double sin2Phi = 2 * sinPhi * cosPhi;
        const double cos2Phi = (cosPhi - sinPhi) * (cosPhi + sinPhi);
        const double X = 2 * cos2Phi;
        const double b3 = c4;
        const double b2 = c3 + X * b3;
        const double b1 = c2 + X * b2 - b3;
        return c1 * phi + b1 * sin2Phi;
    }

    double c1 = 0, c2 = 0, c3 = 0, c4 = 0;
};

// Footpoint latitude of a meridian distance M1: mu = M1 / c1 and
// phi1 = mu + b1 sin 2mu + b2 sin 4mu + b3 sin 6mu + b4 sin 8mu, the sines
// summed from one sine and cosine of 2mu as in MeridianArc.
struct FootpointSeries {
    FootpointSeries() = default;
    explicit FootpointSeries(const Ellipsoid &ellipsoid);

    double operator()(double meridianDistance) const {
        const double mu = meridianDistance * inverseC1;
        const SinCos twoMu = sinCos(2 * mu);
        const double X = 2 * twoMu.cos;
        const double B4 = b4;
        const double B3 = b3 + X * B4;
        const double B2 = b2 + X * B3 - B4;
        const double B1 = b1 + X * B2 - B3;
        return mu + B1 * twoMu.sin;
    }

    double c1 = 0;        // the c1 of the meridian arc
    double inverseC1 = 0; // 1 / c1 (infinite for a = 0)
    double e1 = 0;
    double b1 = 0, b2 = 0, b3 = 0, b4 = 0;
};
