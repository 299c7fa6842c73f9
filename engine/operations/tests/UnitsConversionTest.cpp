#include "UnitsConversion.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
UnitsConversion makeConversion(const char *in, const char *out) {
    UnitsConversion conversion;
    if (in != nullptr)
        conversion.parameters().setParameter("In", in);
    if (out != nullptr)
        conversion.parameters().setParameter("Out", out);
    conversion.prepare();
    return conversion;
}
} // namespace

TEST(UnitsConversion, DegreesToRadians) {
    UnitsConversion toRadians = makeConversion("DecimalDegree", "Radian");
    Point p{{180, 90}, 7};
    toRadians.transform(p);
    EXPECT_EQ(p.x, 3.141592653589794); // one ulp above the double nearest pi
    EXPECT_EQ(p.y, 1.570796326794897);
    EXPECT_EQ(p.z, 7);
    Point latitude{{11, 46.5}, 0};
    toRadians.transform(latitude);
    EXPECT_EQ(latitude.x, 0.1919862177193763);
    EXPECT_EQ(latitude.y, 0.8115781021773634);
}

// The two factors are not exact inverses: the way back does not give 180.
TEST(UnitsConversion, RoundTripIsNotExact) {
    UnitsConversion toRadians = makeConversion("DecimalDegree", "Radian");
    UnitsConversion toDegrees = makeConversion("Radian", "DecimalDegree");
    EXPECT_EQ(toDegrees.routine(),
              UnitsConversion::ConversionRoutine::RadiansToDegrees);
    Point p{{180, 90}, -3.5};
    toRadians.transform(p);
    toDegrees.transform(p);
    EXPECT_EQ(p.x, 180.00000000000006);
    EXPECT_NEAR(p.y, 90, 1e-13);
    EXPECT_EQ(p.z, -3.5);
}

TEST(UnitsConversion, UnsupportedPairsLeavePointsUnchanged) {
    struct Case {
        const char *in, *out;
    };
    const Case cases[] = {
        {"decimaldegree", "Radian"},        {"Radian", "Radian"},
        {"DecimalDegree", "DecimalDegree"}, {nullptr, "Radian"},
        {"DecimalDegree", nullptr},         {" DecimalDegree", "Radian"},
        {"Radian", "DecimalDegree "},       {"Grad", "Radian"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << (c.in ? c.in : "(none)") << " -> "
                                        << (c.out ? c.out : "(none)"));
        UnitsConversion conversion = makeConversion(c.in, c.out);
        EXPECT_EQ(conversion.routine(),
                  UnitsConversion::ConversionRoutine::None);
        Point p{{12.5, -45.25}, 100};
        conversion.transform(p);
        EXPECT_EQ(p.x, 12.5);
        EXPECT_EQ(p.y, -45.25);
        EXPECT_EQ(p.z, 100);
    }
}
