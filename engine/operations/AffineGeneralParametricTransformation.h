#pragma once

#include "Operation.h"

// General affine transformation in three dimensions:
//     x' = A0 + A1 x + A2 y + A3 z
//     y' = B0 + B1 x + B2 y + B3 z
//     z' = C0 + C1 x + C2 y + C3 z
// from the parameters "A0" to "C3". Works on whatever the point holds (grid
// or geocentric coordinates, angles). The two-dimensional affine parametric
// transformation of EPSG Guidance Note 7-2 (method 9624) is the case
// A3 = B3 = C0 = C1 = C2 = 0, C3 = 1; a missing parameter reads as 0, so a
// script that gives only A0 to B2 sets every z to 0.
class AffineGeneralParametricTransformation final : public Operation {
  public:
    void prepare() override;
    void transform(Point &point) override;
    std::span<const NumberParameter> numberParameters() const override;

  private:
    // A0 to A3, B0 to B3, C0 to C3.
    double terms_[3][4] = {};
};
