#pragma once

// The angle constants of the engine, as the doubles nearest to them
// (radians).
inline constexpr double kPi = 3.141592653589793;
inline constexpr double kHalfPi = 1.5707963267948966;
inline constexpr double kTwoPi = 6.283185307179586;
static_assert(kHalfPi == kPi / 2 && kTwoPi == 2 * kPi);
