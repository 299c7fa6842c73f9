#pragma once

#include "Angles.h"
#include "ParameterMap.h"
#include "SinCos.h"

#include <cmath>
#include <span>

// What the transverse Mercator and Cassini-Soldner series share: the series
// fractions as the doubles the series are evaluated with (a division by n is a
// multiplication by the double nearest to 1/n), the origin parameters, the
// reduction of a longitude difference and the latitude terms each direction
// starts from.

inline constexpr double kHalf = 1.0 / 2;
inline constexpr double kThird = 1.0 / 3;
inline constexpr double kSixth = 1.0 / 6;
inline constexpr double kFifteenth = 1.0 / 15;
inline constexpr double kOneOver24 = 1.0 / 24;
inline constexpr double kOneOver120 = 1.0 / 120;
inline constexpr double kOneOver720 = 1.0 / 720;

// The numbers the projections read: the natural origin and the false origin
// (0 when left out), then the transverse Mercator's scale factor, without
// which every point would collapse onto the false origin.
inline constexpr NumberParameter kProjectionNumbers[] = {
    {"LatitudeOfNaturalOrigin"},
    {"LongitudeOfNaturalOrigin"},
    {"FalseEasting"},
    {"FalseNorthing"},
    {"ScaleFactorAtNaturalOrigin", NumberRule::Positive},
};
inline constexpr std::span<const NumberParameter>
    kOriginNumbers(kProjectionNumbers, 4);

// The natural origin (radians) and the false origin.
struct ProjectionOrigin {
    double phi0 = 0, lambda0 = 0, FE = 0, FN = 0;

    static ProjectionOrigin read(ParameterMap &parameters) {
        return {parameters.parameterNumber("LatitudeOfNaturalOrigin"),
                parameters.parameterNumber("LongitudeOfNaturalOrigin"),
                parameters.parameterNumber("FalseEasting"),
                parameters.parameterNumber("FalseNorthing")};
    }
};

// lambda - lambda0 brought into (-pi, pi]. GeocentricToGeographic gives
// longitudes in [0, 2pi], so a point at 1 degree west arrives as 359
// degrees; without the reduction a central meridian west of Greenwich would
// see it almost a full turn away. A difference already in range (the usual
// case) is returned unchanged, bit for bit.
inline double longitudeDifference(double lambda, double lambda0) {
    const double difference = lambda - lambda0;
    if (difference > -kPi && difference <= kPi)
        return difference;
    // remainder() is exact and gives [-pi, pi]; NaN and infinities give NaN.
    const double reduced = std::remainder(difference, kTwoPi);
    return reduced == -kPi ? kPi : reduced;
}

// The forward series' terms of a latitude phi: its sine, cosine and tangent
// and nu = a / sqrt(1 - e^2 sin^2(phi)), where nu and tan(phi) = sin / cos
// share one division.
struct LatitudeTerms {
    double sinPhi, cosPhi, tanPhi, nu;
};

inline LatitudeTerms latitudeTerms(double phi, double a, double e2) {
    const SinCos angle = sinCos(phi);
    const double rootW = std::sqrt(1 - e2 * angle.sin * angle.sin);
    const double inverse = 1 / (angle.cos * rootW);
    return {angle.sin, angle.cos, angle.sin * rootW * inverse,
            a * angle.cos * inverse};
}

// The reverse series' terms of the footpoint latitude phi1. With
// w = 1 - e^2 sin^2(phi1): nu1 = a / sqrt(w) and rho1 = a (1 - e^2) / w^1.5,
// so nu1 / rho1 = w / (1 - e^2) and 1 / nu1 = sqrt(w) / a; no radius is
// needed on its own.
struct FootpointTerms {
    double cosPhi1, secPhi1, tanPhi1;
    double T1;                 // tan^2(phi1)
    double nu1TanPhi1OverRho1; // nu1 tan(phi1) / rho1
    double rootW;              // sqrt(w) = a / nu1
};

inline FootpointTerms footpointTerms(double phi1, double e2,
                                     double inverseOneMinusE2) {
    const SinCos angle = sinCos(phi1);
    const double secPhi1 = 1 / angle.cos;
    const double tanPhi1 = angle.sin * secPhi1;
    const double w = 1 - e2 * angle.sin * angle.sin;
    return {angle.cos,
            secPhi1,
            tanPhi1,
            tanPhi1 * tanPhi1,
            tanPhi1 * w * inverseOneMinusE2,
            std::sqrt(w)};
}
