#pragma once

#include "Operation.h"

#include <string>

// Switches the two angles x and y between decimal degrees and radians;
// z passes unchanged. Parameters "In" and "Out" are the unit names
// "DecimalDegree" and "Radian", compared exactly; any other pair leaves the
// point unchanged.
class UnitsConversion final : public Operation {
  public:
    void prepare() override;
    void transform(Point &point) override;
    CoordinateKind outputKind(CoordinateKind in) const override;

    enum class ConversionRoutine { None, DegreesToRadians, RadiansToDegrees };
    ConversionRoutine routine() const { return routine_; }

  private:
    std::string in_;
    std::string out_;
    ConversionRoutine routine_ = ConversionRoutine::None;
};

// The factors as the conversion has always used them: the first is the
// decimal constant as written (one unit in the last place above the double
// nearest to pi/180), the second the double nearest to 180/pi. They are not
// exact inverses of each other.
inline constexpr double kDegreesToRadians = 0.0174532925199433;
inline constexpr double kRadiansToDegrees = 57.29577951308232;
