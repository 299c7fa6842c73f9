#include "Angles.h"
#include "GeocentricConversions.h"
#include "OperationTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {
class GeocentricTest : public testing::Test {
  protected:
    std::unique_ptr<Ellipsoid> ellipsoid_ = makeInternational1924();
    std::unique_ptr<GeographicToGeocentric> toGeocentric_ =
        makeOperation<GeographicToGeocentric>({}, ellipsoid_.get());
    std::unique_ptr<GeocentricToGeographic> toGeographic_ =
        makeOperation<GeocentricToGeographic>({}, ellipsoid_.get());
};
} // namespace

// Reference: the closed formulas evaluated independently at 30 digits.
TEST_F(GeocentricTest, KnownPointAndBack) {
    Point p{{kLambda11, kPhi46_5}, 250};
    toGeocentric_->transform(p);
    EXPECT_NEAR(p.x, 4317736.8718, 0.5e-4);
    EXPECT_NEAR(p.y, 839283.0279, 0.5e-4);
    EXPECT_NEAR(p.z, 4603946.1760, 0.5e-4);

    toGeographic_->transform(p);
    EXPECT_NEAR(p.x, kLambda11, 1e-11);
    EXPECT_NEAR(p.y, kPhi46_5, 1e-11);
    EXPECT_NEAR(p.z, 250, 1e-5);
}

TEST_F(GeocentricTest, EquatorialPlaneGivesZeroLatitudeAndRadialHeight) {
    const double a = ellipsoid_->semiMajorAxis();
    Point p{{a + 1234.5, 0}, 0};
    toGeographic_->transform(p);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
    EXPECT_EQ(p.z, 1234.5);
}

// atan2 gives (-pi, pi]; negative longitudes are turned into (pi, 2pi), and
// X exactly 0 gives the exact quarter turns.
TEST_F(GeocentricTest, LongitudesComeOutInFullTurn) {
    struct Case {
        double X, Y, lambda;
    };
    const Case cases[] = {
        {-4000000, 3000000, 2.498091544796509},
        {-4000000, -3000000, 3.7850937623830774},
        {0, 5000000, 1.5707963267948966},
        {0, -5000000, 4.71238898038469},
        {5000000, 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.X << ' ' << c.Y);
        Point p{{c.X, c.Y}, 1000};
        toGeographic_->transform(p);
        EXPECT_DOUBLE_EQ(p.x, c.lambda);
    }

    Point west{{-0.0174532925199433, kPhi46_5}, 0}; // 1 degree west
    toGeocentric_->transform(west);
    toGeographic_->transform(west);
    EXPECT_NEAR(west.x, 6.265732014659643, 1e-15);
}

// The iteration alone would end at +-pi/2 with the height -nu (p / cos phi
// is 0), and the origin would divide 0 by 0.
TEST_F(GeocentricTest, PolarAxisGivesPoleAndHeightAboveIt) {
    const double b = ellipsoid_->semiMinorAxis();
    struct Case {
        double Z, phi, h;
    };
    const Case cases[] = {
        {b + 100, kHalfPi, 100},
        {-(b + 100), -kHalfPi, 100},
        {b - 2500, kHalfPi, -2500},
        {0, kHalfPi, -b},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Z);
        Point p{{0, 0}, c.Z};
        toGeographic_->transform(p);
        EXPECT_EQ(p.x, kHalfPi); // X = 0, Y not negative
        EXPECT_EQ(p.y, c.phi);
        EXPECT_NEAR(p.z, c.h, 1e-6);
    }
}

// Close to the axis p / cos(phi) - nu would lose metres to the rounding of
// phi; the height must stay continuous with the one on the axis.
TEST_F(GeocentricTest, NearPolarAxisHeightsStayAccurate) {
    const double offsets[] = {1e-3, 1e-2, 1.0, 100.0};
    for (const double q : offsets) {
        SCOPED_TRACE(q);
        Point p{{0.3, 1.5707963267948966 - q / 6.4e6}, 321.0};
        toGeocentric_->transform(p);
        toGeographic_->transform(p);
        EXPECT_NEAR(p.z, 321.0, kMillimetre);
    }
}

// Inverse flattenings of 0.4 and -1 give e^2 = -1.25 and -3, for which the
// latitude iteration never settles; 1 gives e^2 = 1.
TEST_F(GeocentricTest, DegenerateEllipsoidEndsInsteadOfHanging) {
    const char *inverseFlattenings[] = {"0.4", "-1", "1"};
    for (const char *inverseF : inverseFlattenings) {
        SCOPED_TRACE(inverseF);
        const auto odd = makeEllipsoid("6378137", inverseF);
        const auto op = makeOperation<GeocentricToGeographic>({}, odd.get());
        const auto start = std::chrono::steady_clock::now();
        Point p{{1000000, 2000000}, 3000000};
        op->transform(p);
        EXPECT_LT(std::chrono::steady_clock::now() - start,
                  std::chrono::seconds(1));
    }
}

TEST_F(GeocentricTest, NotANumberPassesThrough) {
    Point p{{NAN, 1}, 1};
    toGeographic_->transform(p);
    EXPECT_TRUE(std::isnan(p.y));
    EXPECT_TRUE(std::isnan(p.z));
}

// Geographic -> geocentric -> geographic over the globe, heights from the
// bottom of the sea to airliner level, on both ellipsoids of the examples.
// The latitude iteration stops at a change of 1e-8 rad, which leaves up to
// about 7e-11 rad.
TEST_F(GeocentricTest, RoundTripOverTheGlobe) {
    const auto grs80 = makeGrs80();
    const Ellipsoid *ellipsoids[] = {ellipsoid_.get(), grs80.get()};
    constexpr double kDegree = kPi / 180;
    for (const Ellipsoid *ellipsoid : ellipsoids) {
        const auto there = makeOperation<GeographicToGeocentric>({}, ellipsoid);
        const auto back = makeOperation<GeocentricToGeographic>({}, ellipsoid);
        double worstAngle = 0, worstHeight = 0;
        for (int i = 0; i < 24; ++i) {
            for (int j = -18; j <= 18; ++j) {
                for (const double h : {-11000.0, 0.0, 250.0, 12000.0}) {
                    const double lambda = i * 15 * kDegree;
                    const double phi =
                        std::clamp(j * 5 * kDegree + 0.001, -kHalfPi, kHalfPi);
                    Point p{{lambda, phi}, h};
                    there->transform(p);
                    back->transform(p);
                    worstAngle = std::max({worstAngle, std::abs(p.y - phi),
                                           std::abs(p.x - lambda)});
                    worstHeight = std::max(worstHeight, std::abs(p.z - h));
                }
            }
        }
        EXPECT_LT(worstAngle, 1e-10) << worstAngle << " rad";
        EXPECT_LT(worstHeight, kMillimetre) << worstHeight << " m";
    }
}
