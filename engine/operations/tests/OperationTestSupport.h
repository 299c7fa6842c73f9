#pragma once

// Building prepared ellipsoids and operations the way the loader does:
// parameters as text, ellipsoid references before prepare().

#include "Ellipsoid.h"
#include "Operation.h"

#include <initializer_list>
#include <memory>
#include <string>
#include <utility>

using ParameterList =
    std::initializer_list<std::pair<const char *, std::string>>;

inline std::unique_ptr<Ellipsoid> makeEllipsoid(const std::string &a,
                                                const std::string &inverseF) {
    auto ellipsoid = std::make_unique<Ellipsoid>();
    ellipsoid->parameters().setParameter("SemiMajorAxes", a);
    ellipsoid->parameters().setParameter("InverseFlattening", inverseF);
    ellipsoid->prepare();
    return ellipsoid;
}

// The ellipsoids of the worked examples: International 1924 and GRS 1980.
inline std::unique_ptr<Ellipsoid> makeInternational1924() {
    return makeEllipsoid("6378388", "297");
}
inline std::unique_ptr<Ellipsoid> makeGrs80() {
    return makeEllipsoid("6378137", "298.257222101");
}

template <class T>
std::unique_ptr<T> makeOperation(ParameterList parameters,
                                 const Ellipsoid *ref = nullptr) {
    auto operation = std::make_unique<T>();
    for (const auto &[name, text] : parameters)
        operation->parameters().setParameter(name, text);
    operation->setRefEllipsoid(ref);
    operation->prepare();
    return operation;
}

// The British National Grid, the transverse Mercator of EPSG Guidance Note
// 7-2's worked example, on the ellipsoid given (Airy 1830 there).
template <class T>
std::unique_ptr<T> makeBritishNationalGrid(const Ellipsoid &ellipsoid) {
    return makeOperation<T>(
        {{"LatitudeOfNaturalOrigin", "0.85521133347722145"},
         {"LongitudeOfNaturalOrigin", "-0.034906585039886591"},
         {"ScaleFactorAtNaturalOrigin", "0.9996012717"},
         {"FalseEasting", "400000"},
         {"FalseNorthing", "-100000"}},
        &ellipsoid);
}

// 11 and 46.5 degrees as UnitsConversion gives them in radians.
inline constexpr double kLambda11 = 0.1919862177193763;
inline constexpr double kPhi46_5 = 0.8115781021773634;

inline constexpr double kTenthMillimetre = 1e-4; // metres
inline constexpr double kMillimetre = 1e-3;      // metres
