#pragma once

#include "Operation.h"

// Geographic to geocentric Cartesian coordinates on the reference ellipsoid
// (EPSG Guidance Note 7-2, method 9602).
// In:  x = longitude, y = latitude (radians), z = ellipsoidal height.
// Out: geocentric X, Y, Z, in the unit of the ellipsoid's semi-major axis.
class GeographicToGeocentric final : public EllipsoidOperation {
  public:
    void prepare() override;
    void transform(Point &point) override;
    CoordinateKind outputKind(CoordinateKind) const override {
        return CoordinateKind::Geocentric;
    }

  private:
    double a_ = 0;  // semi-major axis
    double e2_ = 0; // first eccentricity squared
};

// Geocentric Cartesian to geographic coordinates, by fixed-point iteration on
// the latitude (EPSG Guidance Note 7-2, method 9602).
// In:  geocentric X, Y, Z.
// Out: x = longitude in [0, 2pi] (1 degree west comes out as 2pi minus 1
//      degree), y = latitude (radians), z = ellipsoidal height.
// The iteration stops when the latitude changes by 1e-8 rad or less, which
// leaves it within about 7e-11 rad of the exact value. Points on the polar
// axis (X = Y = 0), the origin included, give latitude +-pi/2 (+pi/2 for
// Z = 0) and the height |Z| - b, b the semi-minor axis.
class GeocentricToGeographic final : public EllipsoidOperation {
  public:
    void prepare() override;
    void transform(Point &point) override;
    CoordinateKind outputKind(CoordinateKind) const override {
        return CoordinateKind::Radians;
    }

    // An Earth-like ellipsoid needs four or five iterations. The cap only
    // stops a nonsensical ellipsoid from hanging the run: with an inverse
    // flattening below 0.5 (or negative and small) e^2 is strongly negative
    // and the latitude oscillates for ever.
    static constexpr int kMaxIterations = 100;

  private:
    void iterateOnLatitude(double p, double Z, double &phi, double &h) const;
    void iterateOnTangent(double p, double Z, double &phi, double &h) const;

    double a_ = 0;         // semi-major axis
    double e2_ = 0;        // first eccentricity squared
    double b_ = 0;         // semi-minor axis
    double tolerance_ = 0; // radians, of the latitude iteration
    // For the iteration on tan(phi), used when 0 <= e^2 < 1:
    bool onTangent_ = false;
    double oneMinusE2_ = 0, inverseOneMinusE2_ = 0;
    double tanTolerance_ = 0; // tan(tolerance_)
};
