#pragma once

#include "ParameterMap.h"

// A reference ellipsoid from the script's parameters "SemiMajorAxes" and
// "InverseFlattening". An inverse flattening of 0 (or none) is a sphere of
// radius a. All numbers are 0 until prepare().
class Ellipsoid {
  public:
    ParameterMap &parameters() { return parameters_; }

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
struct MeridianArc {
    MeridianArc() = default;
    explicit MeridianArc(const Ellipsoid &ellipsoid);

    double operator()(double phi) const;

    double c1 = 0, c2 = 0, c3 = 0, c4 = 0;
};

// Footpoint latitude of a meridian distance M1: mu = M1 / c1 and
// phi1 = mu + b1 sin 2mu + b2 sin 4mu + b3 sin 6mu + b4 sin 8mu.
struct FootpointSeries {
    FootpointSeries() = default;
    explicit FootpointSeries(const Ellipsoid &ellipsoid);

    double operator()(double meridianDistance) const;

    double c1 = 0; // the c1 of the meridian arc
    double e1 = 0;
    double b1 = 0, b2 = 0, b3 = 0, b4 = 0;
};
