#include "OperationTestSupport.h"
#include "Projection.h"
#include "TransverseMercator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {
// Figures quoted to 0.1 mm are checked to half a unit of their last digit.
constexpr double kHalfTenthMillimetre = 0.5e-4; // metres
constexpr double kNineDegrees =
    0.15707963267948968; // as UnitsConversion gives it

// Zone on International 1924 with central meridian 9 degrees east, as the
// western Gauss-Boaga zone has it.
class TransverseMercatorTest : public testing::Test {
  protected:
    void build(const std::string &phi0, const std::string &k0,
               const std::string &fe, const std::string &fn) {
        const ParameterList parameters = {
            {"RefEllipsoid", "International 1924"},
            {"LatitudeOfNaturalOrigin", phi0},
            {"LongitudeOfNaturalOrigin", "0.15707963267948968"},
            {"ScaleFactorAtNaturalOrigin", k0},
            {"FalseEasting", fe},
            {"FalseNorthing", fn}};
        forward_ = makeOperation<TransverseMercatorForward>(parameters,
                                                            ellipsoid_.get());
        reverse_ = makeOperation<TransverseMercatorReverse>(parameters,
                                                            ellipsoid_.get());
    }
    void SetUp() override { build("0", "0.9996", "1500000", "0"); }

    std::unique_ptr<Ellipsoid> ellipsoid_ = makeInternational1924();
    std::unique_ptr<TransverseMercatorForward> forward_;
    std::unique_ptr<TransverseMercatorReverse> reverse_;
};
} // namespace

// Reference values: the same series evaluated independently at 30 digits.
TEST_F(TransverseMercatorTest, ForwardProjectsKnownPointAndKeepsZ) {
    Point p{{kLambda11, kPhi46_5}, 123.25};
    forward_->transform(p);
    EXPECT_NEAR(p.x, 1653469.3721, kHalfTenthMillimetre);
    EXPECT_NEAR(p.y, 5151644.8718, kHalfTenthMillimetre);
    EXPECT_EQ(p.z, 123.25);
}

// The residual, 2.9e-11 rad in latitude, is the truncation of the footpoint
// series.
TEST_F(TransverseMercatorTest, ReverseReturnsKnownPointAndKeepsZ) {
    Point p{{kLambda11, kPhi46_5}, -7.5};
    forward_->transform(p);
    reverse_->transform(p);
    EXPECT_NEAR(p.x, kLambda11, 3e-11);
    EXPECT_NEAR(p.y, kPhi46_5, 3e-11);
    EXPECT_EQ(p.z, -7.5);
}

TEST_F(TransverseMercatorTest, NaturalOriginMapsExactlyToFalseOrigin) {
    Point p{{kNineDegrees, 0}, 0};
    forward_->transform(p);
    EXPECT_EQ(p.x, 1500000);
    EXPECT_EQ(p.y, 0);

    Point q{{1500000, 0}, 0};
    reverse_->transform(q);
    EXPECT_EQ(q.x, kNineDegrees);
    EXPECT_EQ(q.y, 0);
}

TEST_F(TransverseMercatorTest, CentralMeridianGivesScaledMeridianArc) {
    Point p{{kNineDegrees, kPhi46_5}, 0};
    forward_->transform(p);
    EXPECT_EQ(p.x, 1500000);
    EXPECT_NEAR(p.y, 5149701.5368, kHalfTenthMillimetre);
}

TEST_F(TransverseMercatorTest, ReverseOfOriginGivesOriginLatitude) {
    build("0.8115781021773634", "1", "0", "0");
    Point p{{0, 0}, 0};
    reverse_->transform(p);
    EXPECT_EQ(p.x, kNineDegrees);
    // The footpoint series is truncated at e1^4.
    EXPECT_NEAR(p.y, kPhi46_5, 3e-11);
}

TEST_F(TransverseMercatorTest, MissingScaleFactorCollapsesOntoFalseOrigin) {
    build("0", "", "1500000", "0");
    Point p{{kLambda11, kPhi46_5}, 0};
    forward_->transform(p);
    EXPECT_EQ(p.x, 1500000);
    EXPECT_EQ(p.y, 0);
}

// Longitudes from GeocentricToGeographic lie in [0, 2pi]. A zone west of
// Greenwich must see 359 degrees as 1 degree west, not as 360 degrees away.
TEST(TransverseMercatorLongitude, FullTurnLongitudeProjectsLikeItsEquivalent) {
    const auto ellipsoid = makeEllipsoid("6377563.396", "299.3249646");
    const auto forward =
        makeBritishNationalGrid<TransverseMercatorForward>(*ellipsoid);
    const double cases[] = {-0.0174532925199433, -0.06, 0.03, -3.1};
    for (const double lambda : cases) {
        SCOPED_TRACE(lambda);
        Point signedLongitude{{lambda, 0.9}, 0};
        Point fullTurn{{lambda < 0 ? lambda + kTwoPi : lambda, 0.9}, 0};
        forward->transform(signedLongitude);
        forward->transform(fullTurn);
        EXPECT_NEAR(fullTurn.x, signedLongitude.x, 1e-6);
        EXPECT_NEAR(fullTurn.y, signedLongitude.y, 1e-6);
    }
}

TEST(LongitudeDifference, ReducesIntoHalfOpenTurn) {
    struct Case {
        double lambda, lambda0, expected;
    };
    const Case cases[] = {
        {0.3, 0.1, 0.3 - 0.1},          // in range: unchanged
        {kPi, 0, kPi},                  // pi stays pi
        {-kPi, 0, kPi},                 // -pi becomes pi
        {kTwoPi - 0.5, -0.1, -0.4},     // 360 - x degrees
        {-kTwoPi - 0.25, 0, -0.25},     // below a turn
        {5 * kTwoPi + 0.125, 0, 0.125}, // several turns
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.lambda << ' ' << c.lambda0);
        const double d = longitudeDifference(c.lambda, c.lambda0);
        EXPECT_NEAR(d, c.expected, 1e-14);
        EXPECT_GT(d, -kPi);
        EXPECT_LE(d, kPi);
    }
    EXPECT_TRUE(std::isnan(longitudeDifference(NAN, 0)));
    EXPECT_TRUE(std::isnan(longitudeDifference(INFINITY, 0)));
}

// Forward then reverse over the useful area: within 3 degrees of the central
// meridian, from the equator to 80 degrees, both hemispheres.
TEST_F(TransverseMercatorTest, RoundTripWithinThreeDegreesOfCentralMeridian) {
    constexpr double kDegree = kPi / 180;
    double worst = 0;
    for (int i = -6; i <= 6; ++i) {
        for (int j = -16; j <= 16; ++j) {
            const double lambda = kNineDegrees + i * 0.5 * kDegree;
            const double phi = j * 5 * kDegree;
            Point p{{lambda, phi}, 0};
            forward_->transform(p);
            reverse_->transform(p);
            worst =
                std::max({worst, std::abs(p.x - lambda), std::abs(p.y - phi)});
        }
    }
    EXPECT_LT(worst, 1e-9) << "largest difference " << worst << " rad";
}
