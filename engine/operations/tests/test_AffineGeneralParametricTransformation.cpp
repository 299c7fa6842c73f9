#include "AffineGeneralParametricTransformation.h"
#include "OperationTestSupport.h"

#include <gtest/gtest.h>

TEST(AffineGeneralParametricTransformation, MapsPointsByItsTerms) {
    struct Case {
        const char *what;
        ParameterList parameters;
        Point in, out;
    };
    const Case cases[] = {
        {"unit diagonal is the identity",
         {{"A1", "1"}, {"B2", "1"}, {"C3", "1"}},
         {{1653469.3721, 5151644.8718}, -12.5},
         {{1653469.3721, 5151644.8718}, -12.5}},
        // x' = 1 + 2000 + 6000 + 12, y' = 5 + 6000 + 14000 + 24, and
        // z' = 9 + 10000 + 22000 + 36: every output from the input point.
        {"all twelve terms",
         {{"A0", "1"},
          {"A1", "2"},
          {"A2", "3"},
          {"A3", "4"},
          {"B0", "5"},
          {"B1", "6"},
          {"B2", "7"},
          {"B3", "8"},
          {"C0", "9"},
          {"C1", "10"},
          {"C2", "11"},
          {"C3", "12"}},
         {{1000, 2000}, 3},
         {{8013, 20029}, 32045}},
        {"no parameters give the origin", {}, {{1000, 2000}, 3}, {{0, 0}, 0}},
        {"two-dimensional terms only set z to 0",
         {{"A0", "-1500000"}, {"A1", "1"}, {"B0", "-5000000"}, {"B2", "1"}},
         {{1650000, 5100000}, 7},
         {{150000, 100000}, 0}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const auto op =
            makeOperation<AffineGeneralParametricTransformation>(c.parameters);
        Point p = c.in;
        op->transform(p);
        EXPECT_EQ(p.x, c.out.x);
        EXPECT_EQ(p.y, c.out.y);
        EXPECT_EQ(p.z, c.out.z);
    }
}
