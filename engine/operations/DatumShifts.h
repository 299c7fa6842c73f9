#pragma once

#include "Operation.h"

// Seven-parameter Helmert transformation of geocentric coordinates, position
// vector convention (EPSG Guidance Note 7-2, method 1033).
// In:  geocentric X, Y, Z in the source frame.
// Out: geocentric X, Y, Z in the target frame.
// Parameters: "XaxisTranslation", "YaxisTranslation", "ZaxisTranslation"
// (lengths), "XaxisRotation", "YaxisRotation", "ZaxisRotation" (radians,
// not arc-seconds), "ScaleDifference" (parts per million), "Direction"
// ("Forward", the default, or "Reverse"). The small-angle rotation matrix is
// only valid for rotations of a few arc-seconds.
// Reverse takes the target frame back to the source with the exact inverse
// of the forward transformation (the 3 x 3 system solved once in prepare),
// so a forward and a reverse step with the same parameters return to the
// start to rounding. Negating the parameters instead misses that by
// millimetres, and so does PROJ's inverse, which takes the transposed
// rotation matrix.
class PositionVector7Parameter final : public Operation {
  public:
    // Refuses a Direction other than Forward or Reverse.
    bool acquire(LoadContext &context, ParameterProblem &problem) override;
    void prepare() override;
    void transform(Point &point) override;
    std::span<const NumberParameter> numberParameters() const override;

  private:
    double tX_ = 0, tY_ = 0, tZ_ = 0;
    double rX_ = 0, rY_ = 0, rZ_ = 0; // radians
    double M_ = 1;                    // 1 + ScaleDifference * 1e-6
    bool reverse_ = false;
    // Reverse only: the inverse of M times the rotation matrix, by rows.
    double inverse_[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
};

// Abridged Molodensky datum shift of geographic coordinates (EPSG Guidance
// Note 7-2, method 9605).
// In:  x = longitude, y = latitude (radians), z = ellipsoidal height on the
//      source ellipsoid ("SourceEllipsoid").
// Out: the same on the target ellipsoid ("TargetEllipsoid").
// Parameters: "XaxisTranslation", "YaxisTranslation", "ZaxisTranslation",
// the shift of the geocentric origin from source to target (lengths).
// Both ellipsoids need a nonzero inverse flattening: the flattenings are
// 1 / InverseFlattening, and a sphere makes every result NaN. The abridged
// formulas are good to about a metre.
class AbridgedMolodensky final : public Operation {
  public:
    void prepare() override;
    void transform(Point &point) override;
    std::span<const NumberParameter> numberParameters() const override;

    void setSourceEllipsoid(const Ellipsoid *ellipsoid) override {
        source_ = ellipsoid;
    }
    void setTargetEllipsoid(const Ellipsoid *ellipsoid) override {
        target_ = ellipsoid;
    }
    const Ellipsoid *sourceEllipsoid() const { return source_; }
    const Ellipsoid *targetEllipsoid() const { return target_; }

  private:
    const Ellipsoid *source_ = nullptr; // owned by TransformationScript
    const Ellipsoid *target_ = nullptr; // owned by TransformationScript
    double dX_ = 0, dY_ = 0, dZ_ = 0;
    double a_ = 0;          // semi-major axis of the source
    double da_ = 0;         // target minus source
    double f_ = 0;          // flattening of the source
    double df_ = 0;         // target minus source
    double adfPlusfda_ = 0; // a df + f da, in both latitude and height
    double e2_ = 0;         // first eccentricity squared of the source
    // 1 / (a (1 - e^2) sin 1") and 1 / (a sin 1"), the radii's constant
    // parts folded into the conversion to arc-seconds.
    double latitudeScale_ = 0, longitudeScale_ = 0;
};
