#pragma once

#include "Ellipsoid.h"
#include "Operation.h"
#include "Projection.h"

// Cassini-Soldner, the ellipsoidal series of EPSG Guidance Note 7-2 (method
// 9806; symbols as there): forward to the fifth power of A, reverse to the
// fifth power of D through the footpoint latitude. No scale factor.
// Parameters, the same for both directions: "LatitudeOfNaturalOrigin" and
// "LongitudeOfNaturalOrigin" (radians), "FalseEasting", "FalseNorthing".
// The series loses accuracy quickly a few degrees away from the central
// meridian; at the poles tan(phi) is unbounded. Nothing is checked.

// In:  x = longitude, y = latitude (radians); z passes unchanged.
// Out: x = easting, y = northing, in the unit of the ellipsoid's semi-major
//      axis. The longitude is taken relative to the central meridian in
//      (-pi, pi], so a longitude in [0, 2pi] projects like its equivalent in
//      (-pi, pi].
class CassiniSoldnerForward final : public EllipsoidOperation {
  public:
    void prepare() override;
    void transform(Point &point) override;
    std::span<const NumberParameter> numberParameters() const override {
        return kOriginNumbers;
    }
    CoordinateKind outputKind(CoordinateKind) const override {
        return CoordinateKind::Projected;
    }

  private:
    ProjectionOrigin origin_;
    double ep2_ = 0;        // second eccentricity squared e'^2
    MeridianArc arc_;       // c1 to c4
    double M0_ = 0;         // meridian arc to the origin's latitude
    double a_ = 0, e2_ = 0; // of the ellipsoid, for nu
};

// In:  x = easting, y = northing; z passes unchanged.
// Out: x = longitude (near the central meridian, not reduced to a range),
//      y = latitude (radians).
class CassiniSoldnerReverse final : public EllipsoidOperation {
  public:
    void prepare() override;
    void transform(Point &point) override;
    std::span<const NumberParameter> numberParameters() const override {
        return kOriginNumbers;
    }
    CoordinateKind outputKind(CoordinateKind) const override {
        return CoordinateKind::Radians;
    }

  private:
    ProjectionOrigin origin_;
    double M0_ = 0;                // meridian arc to the origin's latitude
    FootpointSeries footpoint_;    // c1 and b1 to b4
    double e2_ = 0;                // first eccentricity squared
    double inverseA_ = 0;          // 1 / a
    double inverseOneMinusE2_ = 0; // 1 / (1 - e^2)
};
