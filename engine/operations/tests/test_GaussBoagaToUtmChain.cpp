// Gauss-Boaga zone West (Monte Mario, International 1924) to ETRS89 / UTM
// zone 32N through the geocentric frame with the position vector Helmert of
// EPSG transformation 1659 (rotations converted from arc-seconds to radians).
// Reference: the same chain evaluated independently with the classic
// transverse Mercator series.

#include "DatumShifts.h"
#include "GeocentricConversions.h"
#include "OperationTestSupport.h"
#include "TransverseMercator.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
constexpr const char *kNineDegrees = "0.15707963267948968"; // radians

class GaussBoagaToUtmChain : public testing::Test {
  protected:
    void SetUp() override {
        chain_.push_back(makeOperation<TransverseMercatorReverse>(
            {{"LongitudeOfNaturalOrigin", kNineDegrees},
             {"ScaleFactorAtNaturalOrigin", "0.9996"},
             {"FalseEasting", "1500000"}},
            international_.get()));
        chain_.push_back(
            makeOperation<GeographicToGeocentric>({}, international_.get()));
        chain_.push_back(makeOperation<PositionVector7Parameter>(
            {{"XaxisTranslation", "-104.1"},
             {"YaxisTranslation", "-49.1"},
             {"ZaxisTranslation", "-9.9"},
             {"XaxisRotation", "4.707540843573595e-06"},   // 0.971"
             {"YaxisRotation", "-1.4142015077965165e-05"}, // -2.917"
             {"ZaxisRotation", "3.461569683122087e-06"},   // 0.714"
             {"ScaleDifference", "-11.68"}}));
        chain_.push_back(
            makeOperation<GeocentricToGeographic>({}, grs80_.get()));
        chain_.push_back(makeOperation<TransverseMercatorForward>(
            {{"LongitudeOfNaturalOrigin", kNineDegrees},
             {"ScaleFactorAtNaturalOrigin", "0.9996"},
             {"FalseEasting", "500000"}},
            grs80_.get()));
    }

    void run(Point &p) {
        for (const auto &op : chain_)
            op->transform(p);
    }

    std::unique_ptr<Ellipsoid> international_ = makeInternational1924();
    std::unique_ptr<Ellipsoid> grs80_ = makeGrs80();
    std::vector<std::unique_ptr<Operation>> chain_;
};
} // namespace

TEST_F(GaussBoagaToUtmChain, ReproducesControlPoints) {
    struct ControlPoint {
        const char *label;
        double gboE, gboN, utmE, utmN;
    };
    const ControlPoint points[] = {
        {"Trento", 1664097.77, 5103702.47, 664066.675693, 5103681.766225},
        {"Bolzano", 1680720.62, 5152103.32, 680689.013898, 5152081.772543},
        {"grid", 1605000.00, 5060000.00, 604970.199563, 5059979.877315},
        {"grid", 1671000.00, 5148000.00, 670968.593608, 5147978.489829},
        {"grid", 1770000.00, 5214000.00, 769966.463904, 5213977.654233},
    };
    for (const ControlPoint &c : points) {
        SCOPED_TRACE(testing::Message() << c.label << ' ' << c.gboE);
        Point p{{c.gboE, c.gboN}, 0};
        run(p);
        EXPECT_NEAR(p.x, c.utmE, kTenthMillimetre);
        EXPECT_NEAR(p.y, c.utmN, kTenthMillimetre);
    }
}
