// The operations evaluate their formulas through identities that save
// trigonometric functions and divisions: sines of multiple angles by
// Clenshaw's recurrence, the radii of curvature from one square root, the
// latitude iteration on tan(phi). These tests hold them to the formulas
// evaluated term by term as the guidance writes them, over the area where
// the series are used and beyond, so that a slip in an identity shows even
// where the worked examples do not reach.
#include "CassiniSoldner.h"
#include "DatumShifts.h"
#include "GeocentricConversions.h"
#include "OperationTestSupport.h"
#include "Projection.h"
#include "TransverseMercator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

constexpr double kMicrometre = 1e-6;             // metres
constexpr double kNanoradian = 1e-9;             // radians: 6 mm on the ground
constexpr double kAngleAgreement = 1e-14;        // radians: 0.06 micrometres
constexpr double kDegree = 0.017453292519943295; // radians

// The textbook evaluations.
struct Textbook {
    double a, e2, ep2, c1, c2, c3, c4, b1, b2, b3, b4;

    explicit Textbook(const Ellipsoid &e)
        : a(e.semiMajorAxis()), e2(e.eccentricitySquared()),
          ep2(e.secondEccentricitySquared()) {
        const double e4 = e2 * e2, e6 = e4 * e2;
        // The fractions of EPSG Guidance Note 7-2, method 9807.
        c1 = a * (1 - e2 / 4 - 3 * e4 / 64 - 5 * e6 / 256);
        c2 = -a * (3 * e2 / 8 + 3 * e4 / 32 + 45 * e6 / 1024);
        c3 = a * (15 * e4 / 256 + 45 * e6 / 1024);
        c4 = -a * 35 * e6 / 3072;
        const double root = std::sqrt(1 - e2);
        const double e1 = (1 - root) / (1 + root);
        b1 = 3 * e1 / 2 - 27 * std::pow(e1, 3) / 32;
        b2 = 21 * e1 * e1 / 16 - 55 * std::pow(e1, 4) / 32;
        b3 = 151 * std::pow(e1, 3) / 96;
        b4 = 1097 * std::pow(e1, 4) / 512;
    }
    double nu(double phi) const {
        return a / std::sqrt(1 - e2 * std::pow(std::sin(phi), 2));
    }
    double rho(double phi) const {
        return a * (1 - e2) /
               std::pow(1 - e2 * std::pow(std::sin(phi), 2), 1.5);
    }
    double M(double phi) const {
        return c1 * phi + c2 * std::sin(2 * phi) + c3 * std::sin(4 * phi) +
               c4 * std::sin(6 * phi);
    }
    double footpoint(double M1) const {
        const double mu = M1 / c1;
        return mu + b1 * std::sin(2 * mu) + b2 * std::sin(4 * mu) +
               b3 * std::sin(6 * mu) + b4 * std::sin(8 * mu);
    }
};

// Latitudes from pole to pole (short of the poles, where tan is unbounded)
// and longitudes within 6 degrees of a central meridian at 9 degrees.
std::vector<double> latitudes() {
    std::vector<double> result;
    for (double degrees = -89; degrees <= 89; degrees += 3.7)
        result.push_back(degrees * kDegree);
    result.push_back(45 * kDegree); // where cos 2phi vanishes
    result.push_back(0);
    return result;
}
const double kLongitudes[] = {3 * kDegree, 8.2 * kDegree, 9 * kDegree,
                              11 * kDegree, 15 * kDegree};
const double kCentralMeridian = 9 * kDegree;

class TextbookFormulas : public testing::Test {
  protected:
    std::unique_ptr<Ellipsoid> international_ = makeInternational1924();
    std::unique_ptr<Ellipsoid> grs80_ = makeGrs80();
};

TEST_F(TextbookFormulas, MeridianArcAndFootpointSeries) {
    for (const Ellipsoid *e : {international_.get(), grs80_.get()}) {
        const Textbook book(*e);
        const MeridianArc arc(*e);
        const FootpointSeries footpoint(*e);
        const std::pair<double, double> coefficients[] = {
            {arc.c1, book.c1},       {arc.c2, book.c2},
            {arc.c3, book.c3},       {arc.c4, book.c4},
            {footpoint.b1, book.b1}, {footpoint.b2, book.b2},
            {footpoint.b3, book.b3}, {footpoint.b4, book.b4}};
        for (const auto &[code, guidance] : coefficients)
            EXPECT_DOUBLE_EQ(code, guidance);
        for (double phi = -kHalfPi; phi <= kHalfPi; phi += 0.01) {
            SCOPED_TRACE(phi);
            EXPECT_NEAR(arc(phi), book.M(phi), kMicrometre);
            const double M1 = book.M(phi);
            EXPECT_NEAR(footpoint(M1), book.footpoint(M1), kAngleAgreement);
        }
        EXPECT_NEAR(e->meridianRadius(0.8), book.rho(0.8), kMicrometre);
    }
}

TEST_F(TextbookFormulas, TransverseMercatorBothWays) {
    const ParameterList parameters = {
        {"LongitudeOfNaturalOrigin", "0.15707963267948966"},
        {"ScaleFactorAtNaturalOrigin", "0.9996"},
        {"FalseEasting", "1500000"},
        {"FalseNorthing", "-100"}};
    const Textbook book(*international_);
    const auto forward = makeOperation<TransverseMercatorForward>(
        parameters, international_.get());
    const auto reverse = makeOperation<TransverseMercatorReverse>(
        parameters, international_.get());
    const double k0 = 0.9996, FE = 1500000, FN = -100, ep2 = book.ep2;

    for (const double phi : latitudes()) {
        for (const double lambda : kLongitudes) {
            SCOPED_TRACE(testing::Message() << lambda << ' ' << phi);
            const double T = std::pow(std::tan(phi), 2);
            const double C = ep2 * std::pow(std::cos(phi), 2);
            const double A = (lambda - kCentralMeridian) * std::cos(phi);
            const double nu = book.nu(phi);
            const double E =
                FE + k0 * nu *
                         (A + (1 - T + C) * std::pow(A, 3) / 6 +
                          (5 - 18 * T + T * T + 72 * C - 58 * ep2) *
                              std::pow(A, 5) / 120);
            const double N =
                FN +
                k0 * (book.M(phi) +
                      nu * std::tan(phi) *
                          (A * A / 2 +
                           (5 - T + 9 * C + 4 * C * C) * std::pow(A, 4) / 24 +
                           (61 - 58 * T + T * T + 600 * C - 330 * ep2) *
                               std::pow(A, 6) / 720));
            Point p{{lambda, phi}, 7};
            forward->transform(p);
            // Relative to the size of the terms: far north they reach 1e8 m.
            EXPECT_NEAR(p.x, E, kMicrometre * std::max(1.0, std::abs(E) / 1e7));
            EXPECT_NEAR(p.y, N, kMicrometre * std::max(1.0, std::abs(N) / 1e7));

            // The reverse from the same grid point.
            const double M1 = (N - FN) / k0;
            const double phi1 = book.footpoint(M1);
            const double T1 = std::pow(std::tan(phi1), 2);
            const double C1 = ep2 * std::pow(std::cos(phi1), 2);
            const double nu1 = book.nu(phi1);
            const double D = (E - FE) / (nu1 * k0);
            const double phiBack =
                phi1 - (nu1 * std::tan(phi1) / book.rho(phi1)) *
                           (D * D / 2 -
                            (5 + 3 * T1 + 10 * C1 - 4 * C1 * C1 - 9 * ep2) *
                                std::pow(D, 4) / 24 +
                            (61 + 90 * T1 + 298 * C1 + 45 * T1 * T1 -
                             252 * ep2 - 3 * C1 * C1) *
                                std::pow(D, 6) / 720);
            const double lambdaBack =
                kCentralMeridian +
                (D - (1 + 2 * T1 + C1) * std::pow(D, 3) / 6 +
                 (5 - 2 * C1 + 28 * T1 - 3 * C1 * C1 + 8 * ep2 + 24 * T1 * T1) *
                     std::pow(D, 5) / 120) /
                    std::cos(phi1);
            Point q{{E, N}, 7};
            reverse->transform(q);
            // The series themselves are far off this close to the poles;
            // only the agreement of the two evaluations is tested.
            const double tolerance =
                std::abs(phi) < 80 * kDegree ? kAngleAgreement : kNanoradian;
            EXPECT_NEAR(q.y, phiBack, tolerance);
            EXPECT_NEAR(q.x, lambdaBack, tolerance);
            EXPECT_EQ(q.z, 7);
        }
    }
}

TEST_F(TextbookFormulas, CassiniSoldnerBothWays) {
    const ParameterList parameters = {
        {"LatitudeOfNaturalOrigin", "0.8028514559173917"},
        {"LongitudeOfNaturalOrigin", "0.15707963267948966"},
        {"FalseEasting", "50000"},
        {"FalseNorthing", "100000"}};
    const Textbook book(*international_);
    const auto forward =
        makeOperation<CassiniSoldnerForward>(parameters, international_.get());
    const auto reverse =
        makeOperation<CassiniSoldnerReverse>(parameters, international_.get());
    const double FE = 50000, FN = 100000, M0 = book.M(0.8028514559173917);

    for (const double phi : latitudes()) {
        for (const double lambda : kLongitudes) {
            SCOPED_TRACE(testing::Message() << lambda << ' ' << phi);
            const double A = (lambda - kCentralMeridian) * std::cos(phi);
            const double T = std::pow(std::tan(phi), 2);
            const double C = book.ep2 * std::pow(std::cos(phi), 2);
            const double nu = book.nu(phi);
            const double E =
                FE + nu * (A - T * std::pow(A, 3) / 6 -
                           (8 - T + 8 * C) * T * std::pow(A, 5) / 120);
            const double N =
                FN + book.M(phi) - M0 +
                nu * std::tan(phi) *
                    (A * A / 2 + (5 - T + 6 * C) * std::pow(A, 4) / 24);
            Point p{{lambda, phi}, 7};
            forward->transform(p);
            EXPECT_NEAR(p.x, E, kMicrometre * std::max(1.0, std::abs(E) / 1e7));
            EXPECT_NEAR(p.y, N, kMicrometre * std::max(1.0, std::abs(N) / 1e7));

            const double phi1 = book.footpoint(M0 + (N - FN));
            const double T1 = std::pow(std::tan(phi1), 2);
            const double nu1 = book.nu(phi1);
            const double D = (E - FE) / nu1;
            const double phiBack =
                phi1 - (nu1 * std::tan(phi1) / book.rho(phi1)) *
                           (D * D / 2 - (1 + 3 * T1) * std::pow(D, 4) / 24);
            const double lambdaBack =
                kCentralMeridian + (D - T1 * std::pow(D, 3) / 3 +
                                    (1 + 3 * T1) * T1 * std::pow(D, 5) / 15) /
                                       std::cos(phi1);
            Point q{{E, N}, 7};
            reverse->transform(q);
            const double tolerance =
                std::abs(phi) < 80 * kDegree ? kAngleAgreement : kNanoradian;
            EXPECT_NEAR(q.y, phiBack, tolerance);
            EXPECT_NEAR(q.x, lambdaBack, tolerance);
        }
    }
}

// Both directions of the geocentric conversion, with the latitude
// iteration done on the angle as the guidance writes it. Points from the
// equator to a few metres off the polar axis, where the operation changes
// its way of iterating, and heights from the deep sea to orbit.
TEST_F(TextbookFormulas, GeocentricConversionsBothWays) {
    for (const Ellipsoid *e : {international_.get(), grs80_.get()}) {
        const Textbook book(*e);
        const auto there = makeOperation<GeographicToGeocentric>({}, e);
        const auto back = makeOperation<GeocentricToGeographic>({}, e);
        std::vector<double> phis = latitudes();
        for (const double offAxis : {1e-5, 1e-6, 0.99e-6, 1e-7}) // radians
            phis.push_back(kHalfPi - offAxis),
                phis.push_back(offAxis - kHalfPi);
        for (const double phi : phis) {
            for (const double h : {-11000.0, 0.0, 1234.5, 400000.0}) {
                SCOPED_TRACE(testing::Message() << phi << ' ' << h);
                const double lambda = 0.3;
                const double nu = book.nu(phi);
                const double X = (nu + h) * std::cos(phi) * std::cos(lambda);
                const double Y = (nu + h) * std::cos(phi) * std::sin(lambda);
                const double Z = ((1 - book.e2) * nu + h) * std::sin(phi);
                Point p{{lambda, phi}, h};
                there->transform(p);
                EXPECT_NEAR(p.x, X, kMicrometre);
                EXPECT_NEAR(p.y, Y, kMicrometre);
                EXPECT_NEAR(p.z, Z, kMicrometre);

                const double pp = std::sqrt(X * X + Y * Y);
                double lat = std::atan(Z / ((1 - book.e2) * pp));
                for (;;) {
                    const double next = std::atan(
                        (Z + book.e2 * book.nu(lat) * std::sin(lat)) / pp);
                    const bool settled = !(std::abs(next - lat) > 1e-8);
                    lat = next;
                    if (settled)
                        break;
                }
                const double height =
                    std::abs(lat) <= 89 * kDegree
                        ? pp / std::cos(lat) - book.nu(lat)
                        : Z / std::sin(lat) - (1 - book.e2) * book.nu(lat);
                Point q{{X, Y}, Z};
                back->transform(q);
                EXPECT_NEAR(q.y, lat, kAngleAgreement);
                EXPECT_NEAR(q.z, height, kMicrometre);
            }
        }
    }
}

TEST_F(TextbookFormulas, AbridgedMolodensky) {
    AbridgedMolodensky shift;
    shift.parameters().setParameter("XaxisTranslation", "-87");
    shift.parameters().setParameter("YaxisTranslation", "-98");
    shift.parameters().setParameter("ZaxisTranslation", "-121");
    shift.setSourceEllipsoid(grs80_.get());
    shift.setTargetEllipsoid(international_.get());
    shift.prepare();
    const Textbook book(*grs80_);
    const double dX = -87, dY = -98, dZ = -121;
    const double a = book.a, f = 1 / 298.257222101;
    const double da = 6378388 - a, df = 1.0 / 297 - f;
    const double sinArcSecond = 4.848136811076368e-06;
    const double arcSecond = 4.84813681109536e-06;
    for (const double phi : latitudes()) {
        for (const double lambda : kLongitudes) {
            SCOPED_TRACE(testing::Message() << lambda << ' ' << phi);
            const double sp = std::sin(phi), cp = std::cos(phi);
            const double sl = std::sin(lambda), cl = std::cos(lambda);
            const double dPhi = (-dX * sp * cl - dY * sp * sl + dZ * cp +
                                 (a * df + f * da) * std::sin(2 * phi)) /
                                (book.rho(phi) * sinArcSecond);
            const double dLambda =
                (-dX * sl + dY * cl) / (book.nu(phi) * cp * sinArcSecond);
            const double dh = dX * cp * cl + dY * cp * sl + dZ * sp +
                              (a * df + f * da) * sp * sp - da;
            Point p{{lambda, phi}, 250};
            shift.transform(p);
            EXPECT_NEAR(p.x, lambda + dLambda * arcSecond, kAngleAgreement);
            EXPECT_NEAR(p.y, phi + dPhi * arcSecond, kAngleAgreement);
            EXPECT_NEAR(p.z, 250 + dh, kMicrometre);
        }
    }
}

} // namespace
