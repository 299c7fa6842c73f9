#include "DatumShifts.h"
#include "OperationTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
constexpr double kArcSecond = 4.84813681109536e-06; // radians
} // namespace

TEST(PositionVector7Parameter, SingleParameterCases) {
    struct Case {
        const char *name, *value;
        Point in, out;
        double tolerance;
    };
    const Case cases[] = {
        // No parameters: the identity.
        {"Unused", "1", {{4e6, 8e5}, 4.7e6}, {{4e6, 8e5}, 4.7e6}, 0},
        {"ScaleDifference",
         "1",
         {{4e6, 8e5}, 4.7e6},
         {{4000004, 800000.8}, 4700004.7},
         1e-8},
        {"XaxisTranslation",
         "-104.1",
         {{4e6, 8e5}, 4.7e6},
         {{3999895.9, 8e5}, 4.7e6},
         1e-8},
        // Position vector: +rZ turns X towards +Y.
        {"ZaxisRotation",
         "0.00001",
         {{4e6, 8e5}, 4.7e6},
         {{3999992, 800040}, 4700000},
         1e-8},
        {"XaxisRotation",
         "0.00001",
         {{4e6, 8e5}, 4.7e6},
         {{4e6, 799953}, 4700008},
         1e-8},
        {"YaxisRotation",
         "0.00001",
         {{4e6, 8e5}, 4.7e6},
         {{4000047, 8e5}, 4699960},
         1e-8},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const auto op =
            makeOperation<PositionVector7Parameter>({{c.name, c.value}});
        Point p = c.in;
        op->transform(p);
        EXPECT_NEAR(p.x, c.out.x, c.tolerance);
        EXPECT_NEAR(p.y, c.out.y, c.tolerance);
        EXPECT_NEAR(p.z, c.out.z, c.tolerance);
    }
}

// Every output coordinate must come from the input ones: updating x first
// and using it for y would shift y by rZ * (change of x).
TEST(PositionVector7Parameter, AllOutputsUseTheInputPoint) {
    const auto op =
        makeOperation<PositionVector7Parameter>({{"XaxisTranslation", "1000"},
                                                 {"XaxisRotation", "0.001"},
                                                 {"YaxisRotation", "0.002"},
                                                 {"ZaxisRotation", "0.003"}});
    Point p{{100, 200}, 300};
    op->transform(p);
    EXPECT_DOUBLE_EQ(p.x, 100 - 0.003 * 200 + 0.002 * 300 + 1000);
    EXPECT_DOUBLE_EQ(p.y, 0.003 * 100 + 200 - 0.001 * 300);
    EXPECT_DOUBLE_EQ(p.z, -0.002 * 100 + 0.001 * 200 + 300);
}

// Reference: the guidance's formulas evaluated independently at 30 digits,
// International 1924 to GRS 1980.
TEST(AbridgedMolodensky, ShiftsKnownPoint) {
    const auto source = makeInternational1924();
    const auto target = makeGrs80();
    auto op = std::make_unique<AbridgedMolodensky>();
    op->parameters().setParameter("XaxisTranslation", "-87");
    op->parameters().setParameter("YaxisTranslation", "-98");
    op->parameters().setParameter("ZaxisTranslation", "-121");
    op->setSourceEllipsoid(source.get());
    op->setTargetEllipsoid(target.get());
    op->prepare();

    Point p{{kLambda11, kPhi46_5}, 250};
    op->transform(p);
    EXPECT_NEAR((p.y - kPhi46_5) / kArcSecond, -3.20687, 0.5e-5);
    EXPECT_NEAR((p.x - kLambda11) / kArcSecond, -3.73285, 0.5e-5);
    EXPECT_NEAR(p.z - 250, 43.49461, 0.5e-5);
    EXPECT_NEAR(p.x, 0.19196812035, 0.5e-11);
    EXPECT_NEAR(p.y, 0.81156255485, 0.5e-11);
    EXPECT_NEAR(p.z, 293.49461, 0.5e-5);
}

TEST(AbridgedMolodensky, SameEllipsoidWithoutTranslationIsIdentity) {
    const auto ellipsoid = makeInternational1924();
    AbridgedMolodensky op;
    op.setSourceEllipsoid(ellipsoid.get());
    op.setTargetEllipsoid(ellipsoid.get());
    op.prepare();
    Point p{{kLambda11, kPhi46_5}, 250};
    op.transform(p);
    EXPECT_EQ(p.x, kLambda11);
    EXPECT_EQ(p.y, kPhi46_5);
    EXPECT_EQ(p.z, 250);
}
