#pragma once

#include "Ellipsoid.h"
#include "Operation.h"
#include "Projection.h"

// Transverse Mercator, the series of EPSG Guidance Note 7-2 (method 9807;
// symbols as there): forward to the sixth power of A, reverse to the sixth
// power of D through the footpoint latitude.
// Parameters, the same for both directions: "LatitudeOfNaturalOrigin" and
// "LongitudeOfNaturalOrigin" (radians), "ScaleFactorAtNaturalOrigin",
// "FalseEasting", "FalseNorthing". The scale factor must be given and
// greater than 0 (the loader refuses a script without it); the others read
// as 0 when left out.
// The truncated series agree with the exact projection to about a millimetre
// within 3 degrees of the central meridian and degrade quickly beyond; at
// the poles tan(phi) is unbounded. Nothing is checked.

// In:  x = longitude, y = latitude (radians); z passes unchanged.
// Out: x = easting, y = northing, in the unit of the ellipsoid's semi-major
//      axis. The longitude is taken relative to the central meridian in
//      (-pi, pi], so a longitude in [0, 2pi] projects like its equivalent in
//      (-pi, pi].
class TransverseMercatorForward final : public EllipsoidOperation {
  public:
    void prepare() override;
    void transform(Point &point) override;
    std::span<const NumberParameter> numberParameters() const override {
        return kProjectionNumbers;
    }
    CoordinateKind outputKind(CoordinateKind) const override {
        return CoordinateKind::Projected;
    }

  private:
    ProjectionOrigin origin_;
    double k0_ = 0;
    double ep2_ = 0;                // second eccentricity squared e'^2
    MeridianArc arc_;               // c1 to c4
    double M0_ = 0;                 // meridian arc to the origin's latitude
    double fifthOrderConstant_ = 0; // 5 - 58 e'^2
    double sixthOrderConstant_ = 0; // 61 - 330 e'^2
    double a_ = 0, e2_ = 0;         // of the ellipsoid, for nu
};

// In:  x = easting, y = northing; z passes unchanged.
// Out: x = longitude (near the central meridian, not reduced to a range),
//      y = latitude (radians).
class TransverseMercatorReverse final : public EllipsoidOperation {
  public:
    void prepare() override;
    void transform(Point &point) override;
    std::span<const NumberParameter> numberParameters() const override {
        return kProjectionNumbers;
    }
    CoordinateKind outputKind(CoordinateKind) const override {
        return CoordinateKind::Radians;
    }

  private:
    ProjectionOrigin origin_;
    double k0_ = 0;
    double ep2_ = 0;                 // second eccentricity squared e'^2
    double M0_ = 0;                  // meridian arc to the origin's latitude
    FootpointSeries footpoint_;      // c1 and b1 to b4
    double e2_ = 0;                  // first eccentricity squared
    double inverseK0_ = 0;           // 1 / k0
    double inverseAK0_ = 0;          // 1 / (a k0)
    double inverseOneMinusE2_ = 0;   // 1 / (1 - e^2)
    double fourthOrderConstant_ = 0; // 5 - 9 e'^2
    double sixthOrderConstant_ = 0;  // 61 - 252 e'^2
    double fifthOrderConstant_ = 0;  // 5 + 8 e'^2
};
