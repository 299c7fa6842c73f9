#pragma once

#include <cmath>

// The sine and cosine of one angle. The GNU C library computes both in one
// call that shares the argument reduction; elsewhere they are two calls.
struct SinCos {
    double sin;
    double cos;
};

inline SinCos sinCos(double x) {
    SinCos result;
#if defined(__GLIBC__)
    ::sincos(x, &result.sin, &result.cos);
#else
    result.sin = std::sin(x);
    result.cos = std::cos(x);
#endif
    return result;
}
