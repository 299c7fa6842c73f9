#include "UnitsConversion.h"

void UnitsConversion::prepare() {
    in_ = parameters_.parameterText("In");
    out_ = parameters_.parameterText("Out");
    routine_ = ConversionRoutine::None;
    if (in_ == "DecimalDegree" && out_ == "Radian")
        routine_ = ConversionRoutine::DegreesToRadians;
    else if (in_ == "Radian" && out_ == "DecimalDegree")
        routine_ = ConversionRoutine::RadiansToDegrees;
}

CoordinateKind UnitsConversion::outputKind(CoordinateKind in) const {
    switch (routine_) {
    case ConversionRoutine::DegreesToRadians:
        return CoordinateKind::Radians;
    case ConversionRoutine::RadiansToDegrees:
        return CoordinateKind::Degrees;
    case ConversionRoutine::None:
        break;
    }
    return in;
}

void UnitsConversion::transform(Point &point) {
    switch (routine_) {
    case ConversionRoutine::DegreesToRadians:
        point.x *= kDegreesToRadians;
        point.y *= kDegreesToRadians;
        break;
    case ConversionRoutine::RadiansToDegrees:
        point.x *= kRadiansToDegrees;
        point.y *= kRadiansToDegrees;
        break;
    case ConversionRoutine::None:
        break;
    }
}
