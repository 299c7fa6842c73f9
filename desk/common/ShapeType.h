#pragma once

#include <cstdint>

// The coordinate category of a shapefile's data, as boxcheck's extent
// decides it (modKAVRO::GetShapeType) and as file and task records keep it
// (a 32-bit signed integer).
using ShapeType = std::int32_t;
// Gauss-Boaga in the shortened regional form: both values below 1 000 000.
inline constexpr ShapeType ShapeGBOShift = 0;
// Gauss-Boaga standard: both values above 1 000 000.
inline constexpr ShapeType ShapeGBO = 1;
// Already UTM zone 32 on ETRS89 (easting below, northing above 1 000 000);
// also the type of a task after its conversion.
inline constexpr ShapeType ShapeUTM = 2;
// No two usable values could be read.
inline constexpr ShapeType ShapeUnknown = 3;

// Whether data of that type can be converted: the two Gauss-Boaga forms,
// for which the engine has a script. Only such files become tasks, and only
// such tasks start the engine.
inline constexpr bool IsConvertible(ShapeType type) {
    return type == ShapeGBOShift || type == ShapeGBO;
}
