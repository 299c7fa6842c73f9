#include "ChainStatus.h"
#include "DatumShifts.h"
#include "OperationTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

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

// Reverse undoes Forward to rounding, both ways round, for small and for
// large rotations; Forward written out is the step without Direction, bit
// for bit; the loader refuses any other Direction.
TEST(PositionVector7Parameter, ReverseIsTheExactInverse) {
    const auto text = [](double value) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.17g", value);
        return std::string(buffer);
    };
    const auto seconds = [&](double s) { return text(s * kArcSecond); };
    struct Set {
        const char *name;
        double t[3], r[3]; // metres, arc-seconds
        const char *scale; // ppm
    };
    const Set sets[] = {
        {"EPSG:1659", {-104.1, -49.1, -9.9}, {0.971, -2.917, 0.714}, "-11.68"},
        {"DHDN", {598.1, 73.7, 418.2}, {0.202, 0.045, -2.455}, "6.7"},
        {"large", {1000, -2000, 500}, {200, -300, 150}, "120"},
    };
    // Geocentric points of Sicily, Rome, the Alps and northern Germany.
    const Point points[] = {{{4917000, 1343000}, 3910000},
                            {{4642000, 1028000}, 4236000},
                            {{4290000, 874000}, 4620000},
                            {{3770000, 650000}, 5130000}};
    for (const Set &set : sets) {
        SCOPED_TRACE(set.name);
        const auto make = [&](const char *direction) {
            return makeOperation<PositionVector7Parameter>(
                {{"XaxisTranslation", text(set.t[0])},
                 {"YaxisTranslation", text(set.t[1])},
                 {"ZaxisTranslation", text(set.t[2])},
                 {"XaxisRotation", seconds(set.r[0])},
                 {"YaxisRotation", seconds(set.r[1])},
                 {"ZaxisRotation", seconds(set.r[2])},
                 {"ScaleDifference", set.scale},
                 {"Direction", direction}});
        };
        const auto absent = make("");
        const auto forward = make("Forward");
        const auto reverse = make("Reverse");
        for (const Point &start : points) {
            Point a = start, b = start;
            absent->transform(a);
            forward->transform(b);
            EXPECT_EQ(a.x, b.x);
            EXPECT_EQ(a.y, b.y);
            EXPECT_EQ(a.z, b.z);
            reverse->transform(b);
            Point c = start;
            reverse->transform(c);
            forward->transform(c);
            for (const Point &back : {b, c}) {
                EXPECT_NEAR(back.x, start.x, 1e-6);
                EXPECT_NEAR(back.y, start.y, 1e-6);
                EXPECT_NEAR(back.z, start.z, 1e-6);
            }
        }
    }
    for (const char *direction : {"", "Forward", "Reverse", "reverse"}) {
        PositionVector7Parameter op;
        op.parameters().setParameter("Direction", direction);
        LoadContext context;
        ParameterProblem problem;
        EXPECT_EQ(op.acquire(context, problem), direction[0] != 'r');
        EXPECT_EQ(problem.description,
                  direction[0] != 'r'
                      ? ""
                      : "Direction \"reverse\" is neither Forward "
                        "nor Reverse");
    }
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
