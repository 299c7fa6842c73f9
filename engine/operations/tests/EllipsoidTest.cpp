#include "Ellipsoid.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
// International 1924 (Hayford): the reference values below were computed
// independently in double precision from a = 6378388, 1/f = 297 with the
// series as written (meridian arc and footpoint series of EPSG Guidance Note
// 7-2).
Ellipsoid international1924() {
    Ellipsoid ellipsoid;
    ellipsoid.parameters().setParameter("SemiMajorAxes", "6378388");
    ellipsoid.parameters().setParameter("InverseFlattening", "297");
    ellipsoid.prepare();
    return ellipsoid;
}

constexpr double kLatitude46_5 = 0.8115781021773634; // 46.5 degrees, radians

// Relative tolerance that holds a value to the 16 significant digits given.
double digits16(double value) { return std::abs(value) * 1e-15; }
} // namespace

TEST(Ellipsoid, NumbersAreZeroUntilPrepared) {
    Ellipsoid ellipsoid;
    ellipsoid.parameters().setParameter("SemiMajorAxes", "6378388");
    EXPECT_EQ(ellipsoid.semiMajorAxis(), 0);
    EXPECT_EQ(ellipsoid.eccentricitySquared(), 0);
}

TEST(Ellipsoid, International1924DerivedQuantities) {
    const Ellipsoid e = international1924();
    EXPECT_EQ(e.semiMajorAxis(), 6378388);
    EXPECT_EQ(e.inverseFlattening(), 297);
    EXPECT_NEAR(e.eccentricitySquared(), 0.006722670022333322,
                digits16(0.006722670022333322));
    EXPECT_NEAR(e.secondEccentricitySquared(), 0.006768170197224251,
                digits16(0.006768170197224251));
}

TEST(Ellipsoid, MeridianArcCoefficientsAndDistance) {
    const MeridianArc arc(international1924());
    EXPECT_NEAR(arc.c1, 6367654.50019733, 1e-8);
    EXPECT_NEAR(arc.c2, -16107.034343048967, digits16(16107.034343048967));
    EXPECT_NEAR(arc.c3, 16.975791375434262, digits16(16.975791375434262));
    EXPECT_NEAR(arc.c4, -0.02207919073405982, digits16(0.02207919073405982));
    EXPECT_NEAR(arc(kLatitude46_5), 5151762.2417, 0.5e-4); // metres
    EXPECT_EQ(arc(0), 0);
}

TEST(Ellipsoid, FootpointSeriesInvertsTheMeridianArc) {
    const Ellipsoid e = international1924();
    const MeridianArc arc(e);
    const FootpointSeries footpoint(e);
    EXPECT_NEAR(footpoint.e1, 0.0016863406408094358,
                digits16(0.0016863406408094358));
    EXPECT_EQ(footpoint.c1, arc.c1);
    // The series are truncated: the round trip holds to 3e-11 rad up to
    // the latitudes of Italy and loses a little further north.
    const std::pair<double, double> cases[] = {{0.0, 0},
                                               {0.3, 3e-11},
                                               {-0.7, 3e-11},
                                               {kLatitude46_5, 3e-11},
                                               {1.2, 2e-10}};
    for (const auto &[phi, tolerance] : cases) {
        SCOPED_TRACE(phi);
        EXPECT_NEAR(footpoint(arc(phi)), phi, tolerance);
    }
}

TEST(Ellipsoid, RadiiOfCurvature) {
    const Ellipsoid e = international1924();
    const double a = 6378388;
    const double e2 = e.eccentricitySquared();
    // On the equator nu = a and rho = a (1 - e2); at the pole both are
    // a / sqrt(1 - e2).
    EXPECT_DOUBLE_EQ(e.primeVerticalRadius(0), a);
    EXPECT_DOUBLE_EQ(e.meridianRadius(0), a * (1 - e2));
    const double polar = a / std::sqrt(1 - e2);
    EXPECT_DOUBLE_EQ(e.primeVerticalRadius(M_PI / 2), polar);
    EXPECT_DOUBLE_EQ(e.meridianRadius(M_PI / 2), polar);
    EXPECT_GT(e.primeVerticalRadius(kLatitude46_5),
              e.meridianRadius(kLatitude46_5));
}

// A missing, zero or unreadable inverse flattening makes a sphere of radius a.
TEST(Ellipsoid, WithoutFlatteningIsASphere) {
    for (const char *flattening :
         {static_cast<const char *>(nullptr), "0", "", "none"}) {
        SCOPED_TRACE(flattening ? flattening : "(missing)");
        Ellipsoid sphere;
        sphere.parameters().setParameter("SemiMajorAxes", "6371000");
        if (flattening != nullptr)
            sphere.parameters().setParameter("InverseFlattening", flattening);
        sphere.prepare();
        EXPECT_EQ(sphere.eccentricitySquared(), 0);
        EXPECT_EQ(sphere.secondEccentricitySquared(), 0);
        for (const double phi : {0.0, 0.5, kLatitude46_5, M_PI / 2}) {
            EXPECT_EQ(sphere.primeVerticalRadius(phi), 6371000);
            EXPECT_EQ(sphere.meridianRadius(phi), 6371000);
        }
    }
}

// 1/f = 1 gives f = 1 and e2 = 2f - f^2 = 1 exactly: e'2 must not divide by 0.
TEST(Ellipsoid, SecondEccentricityOfADegenerateEllipsoidIsZero) {
    Ellipsoid flat;
    flat.parameters().setParameter("SemiMajorAxes", "1");
    flat.parameters().setParameter("InverseFlattening", "1");
    flat.prepare();
    ASSERT_EQ(flat.eccentricitySquared(), 1.0);
    EXPECT_EQ(flat.secondEccentricitySquared(), 0);
}
