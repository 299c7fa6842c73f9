#include "CassiniSoldner.h"
#include "OperationTestSupport.h"
#include "Projection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace {
constexpr double kHalfTenthMillimetre = 0.5e-4; // metres
// 46 and 11.5 degrees as UnitsConversion gives them in radians.
constexpr double kPhi46 = 0.8028514559173917;
constexpr double kLambda11_5 = 0.20071286397934793;

class CassiniSoldnerTest : public testing::Test {
  protected:
    void build(const std::string &fe, const std::string &fn) {
        const ParameterList parameters = {
            {"RefEllipsoid", "International 1924"},
            {"LatitudeOfNaturalOrigin", "0.8028514559173917"},
            {"LongitudeOfNaturalOrigin", "0.20071286397934793"},
            {"FalseEasting", fe},
            {"FalseNorthing", fn}};
        forward_ =
            makeOperation<CassiniSoldnerForward>(parameters, ellipsoid_.get());
        reverse_ =
            makeOperation<CassiniSoldnerReverse>(parameters, ellipsoid_.get());
    }
    void SetUp() override { build("0", "0"); }

    std::unique_ptr<Ellipsoid> ellipsoid_ = makeInternational1924();
    std::unique_ptr<CassiniSoldnerForward> forward_;
    std::unique_ptr<CassiniSoldnerReverse> reverse_;
};
} // namespace

// Reference values: the same series evaluated independently at 30 digits.
TEST_F(CassiniSoldnerTest, ForwardProjectsKnownPointWithAndWithoutFalseOrigin) {
    struct Case {
        const char *fe, *fn;
        double easting, northing;
    };
    const Case cases[] = {{"0", "0", -38382.8374, 55701.4256},
                          {"50000", "100000", 11617.1626, 155701.4256}};
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.fe << ' ' << c.fn);
        build(c.fe, c.fn);
        Point p{{kLambda11, kPhi46_5}, 42.5};
        forward_->transform(p);
        EXPECT_NEAR(p.x, c.easting, kHalfTenthMillimetre);
        EXPECT_NEAR(p.y, c.northing, kHalfTenthMillimetre);
        EXPECT_EQ(p.z, 42.5);
    }
}

TEST_F(CassiniSoldnerTest, ReverseReturnsKnownPointAndKeepsZ) {
    Point p{{kLambda11, kPhi46_5}, -3};
    forward_->transform(p);
    reverse_->transform(p);
    EXPECT_NEAR(p.x, kLambda11, 4e-11);
    EXPECT_NEAR(p.y, kPhi46_5, 4e-11);
    EXPECT_EQ(p.z, -3);
}

TEST_F(CassiniSoldnerTest, NaturalOriginAndFalseOriginCorrespond) {
    build("50000", "100000");
    Point p{{kLambda11_5, kPhi46}, 0};
    forward_->transform(p);
    EXPECT_EQ(p.x, 50000);
    EXPECT_EQ(p.y, 100000);

    Point q{{50000, 100000}, 0};
    reverse_->transform(q);
    EXPECT_EQ(q.x, kLambda11_5);
    EXPECT_NEAR(q.y, kPhi46, 3e-11); // truncation of the footpoint series

    // FN + M - M0 would round for origins such as this one.
    const auto forward = makeOperation<CassiniSoldnerForward>(
        {{"LatitudeOfNaturalOrigin", "0.00645771823237902"},
         {"LongitudeOfNaturalOrigin", "0.2"},
         {"FalseNorthing", "500000"}},
        ellipsoid_.get());
    Point origin{{0.2, 0.00645771823237902}, 0};
    forward->transform(origin);
    EXPECT_EQ(origin.y, 500000);
}

TEST_F(CassiniSoldnerTest, CentralMeridianGivesMeridianArcDifference) {
    Point p{{kLambda11_5, kPhi46_5}, 0};
    forward_->transform(p);
    EXPECT_EQ(p.x, 0);
    EXPECT_NEAR(p.y, 55579.9401, kHalfTenthMillimetre);
}

// 359 degrees from GeocentricToGeographic is 1 degree west.
TEST_F(CassiniSoldnerTest, FullTurnLongitudeProjectsLikeItsEquivalent) {
    const auto forward = makeOperation<CassiniSoldnerForward>(
        {{"LatitudeOfNaturalOrigin", "0.18224146272907457"},
         {"LongitudeOfNaturalOrigin", "-1.0704686078898555"}},
        ellipsoid_.get());
    Point signedLongitude{{-1.0821041362364843, 0.17453292519943295}, 0};
    Point fullTurn{{-1.0821041362364843 + kTwoPi, 0.17453292519943295}, 0};
    forward->transform(signedLongitude);
    forward->transform(fullTurn);
    EXPECT_NEAR(fullTurn.x, signedLongitude.x, 1e-6);
    EXPECT_NEAR(fullTurn.y, signedLongitude.y, 1e-6);
}

// Forward then reverse, from the equator to 80 degrees. The reverse latitude
// series stops at D^4, so the round trip closes to 1e-9 rad only within about
// 2 degrees of the central meridian; at 3 degrees and 45 to 50 degrees of
// latitude it leaves 2.7e-9 rad (17 mm), as an independent evaluation of the
// same series at 30 digits shows.
TEST_F(CassiniSoldnerTest, RoundTripNearCentralMeridian) {
    constexpr double kDegree = kPi / 180;
    struct Case {
        double halfWidth; // degrees of longitude either side
        double tolerance; // radians
    };
    const Case cases[] = {{2, 1e-9}, {3, 3e-9}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.halfWidth);
        double worst = 0;
        for (int i = -12; i <= 12; ++i) {
            for (int j = -16; j <= 16; ++j) {
                const double lambda =
                    kLambda11_5 + i / 12.0 * c.halfWidth * kDegree;
                const double phi = j * 5 * kDegree;
                Point p{{lambda, phi}, 0};
                forward_->transform(p);
                reverse_->transform(p);
                worst = std::max(
                    {worst, std::abs(p.x - lambda), std::abs(p.y - phi)});
            }
        }
        EXPECT_LT(worst, c.tolerance) << "largest difference " << worst;
    }
}
