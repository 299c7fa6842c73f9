#pragma once

#include "Operation.h"

#include <memory>
#include <string>

struct NTv2GridSet;
struct NTv2SubGrid;
class ChainStatus;

// Horizontal datum shift by an NTv2 grid file (.gsb), computed exactly as
// PROJ 9 computes +proj=hgridshift: bilinear interpolation of the shifts
// (rounded to float32 radians, as PROJ rounds them) in the deepest sub-grid
// that contains the point, with PROJ's tolerances at the edges and its
// iteration for the reverse.
// In:  x = longitude, y = latitude (radians) on the grid's source datum
//      ("Forward") or its target datum ("Reverse"); z passes unchanged.
// Out: the same on the other datum. As in PROJ, a forward input longitude
//      is first brought into [-pi, pi] (one beyond 10 radians is refused)
//      and a reverse result is brought into [-pi, pi].
// Parameters: "GridFile" (name or path of the file, looked for as
// gridSearchFolders() lists), "Direction" ("Forward", the default, or
// "Reverse").
// Unlike the other operations, this one can fail a point: outside every
// grid, or a reverse iteration that does not converge (PROJ returns its
// unconverged guess there without a word). The point then becomes NaN and
// the failure is recorded: in the batch's ChainStatus (transformPoints), or
// for transform() in the one the load context named.
class NTv2GridShift final : public Operation {
  public:
    NTv2GridShift();
    ~NTv2GridShift() override;

    // Finds and reads the grid (or takes it from context when another step
    // has read the same file).
    bool acquire(LoadContext &context, ParameterProblem &problem) override;
    void prepare() override {}
    void transform(Point &point) override;
    void transformPoints(std::span<Point> points, ChainStatus &status) override;

    const std::string &gridPath() const { return path_; }
    const NTv2GridSet *grids() const { return grids_.get(); }
    bool reverse() const { return reverse_; }

  private:
    // Shifts the point; nullptr, or why it failed (the point is then NaN).
    const char *shift(Point &point) const;

    std::shared_ptr<const NTv2GridSet> grids_;
    std::string path_;
    bool reverse_ = false;
    ChainStatus *status_ = nullptr; // for transform(); not owned
};
