#pragma once

#include "ParameterMap.h"
#include "Point.h"

#include <span>

class ChainStatus;
class Ellipsoid;
struct LoadContext;

// What x and y hold: lengths of a plane (a projection's easting and
// northing) or of the geocentric axes, or angles in radians or degrees.
// Writers that keep numbers as text choose their decimals by it; Unknown is
// the input's own kind, which the chain does not know.
enum class CoordinateKind { Unknown, Projected, Geocentric, Radians, Degrees };

// A coordinate operation of the chain. The loader fills the parameters (and
// the ellipsoid references of the operations that have them), checks them
// against numberParameters(), then calls prepare() once; transform() then
// converts any number of points in place. Operations report nothing: a
// number parameter left out reads as 0 unless its rule requires it, and
// points outside a formula's domain give what the arithmetic gives.
//
// After prepare() an operation is only read: threads that convert side by
// side call transform() and transformPoints() on the same operation at once.
class Operation {
  public:
    virtual ~Operation() = default;

    // Reads the parameters and computes every constant transform() needs.
    virtual void prepare() = 0;
    // Arithmetic only: no lookups, no allocation, no I/O.
    virtual void transform(Point &point) = 0;
    // The chain's entry: converts every point of a batch in place, each
    // exactly as transform() converts it, in one call per step and batch.
    // An operation that can fail a point notes the first one it fails in
    // status, by its index in points; the others leave status alone.
    virtual void transformPoints(std::span<Point> points, ChainStatus &status);

    ParameterMap &parameters() { return parameters_; }

    // The parameters that prepare() reads as numbers, with what each must
    // hold; the loader refuses a script that breaks one.
    virtual std::span<const NumberParameter> numberParameters() const {
        return {};
    }

    // Takes what the operation needs from outside the script (a grid file),
    // once, while the script loads and before prepare(). False, with the
    // problem, when it cannot be had: the script is then refused. Most
    // operations need nothing.
    virtual bool acquire(LoadContext &, ParameterProblem &) { return true; }

    // The kind of coordinates the operation gives for input of kind `in`;
    // datum shifts and affine transformations keep it.
    virtual CoordinateKind outputKind(CoordinateKind in) const { return in; }

    // Ellipsoid references, set by the factory before prepare(). An
    // operation without the reference ignores the call.
    virtual void setRefEllipsoid(const Ellipsoid *) {}
    virtual void setSourceEllipsoid(const Ellipsoid *) {}
    virtual void setTargetEllipsoid(const Ellipsoid *) {}

  protected:
    ParameterMap parameters_;
};

// Base of the operations that work on one reference ellipsoid.
class EllipsoidOperation : public Operation {
  public:
    void setRefEllipsoid(const Ellipsoid *ellipsoid) override {
        ellipsoid_ = ellipsoid;
    }
    const Ellipsoid *refEllipsoid() const { return ellipsoid_; }

  protected:
    const Ellipsoid *ellipsoid_ = nullptr; // owned by TransformationScript
};
