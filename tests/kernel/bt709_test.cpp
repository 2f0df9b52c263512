// The transfer curve's scalar and four-lane forms against the curve evaluated in double.
#include "kernel/bt709.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "tests/support/transfer_oracle.h"

namespace nb {
namespace {

// Values across the linear segments, both powers' ranges and far beyond white (as far as the result
// stays finite in float). The thresholds themselves are left out: 0.018f and 0.081f are not the
// decimal constants, so which side they fall on depends on the representation.
std::vector<float> sweep() {
    std::vector<float> values;
    for (float v = -0.5f; v < 2.0f; v += 0.000731f) values.push_back(v);
    for (float v = 2.0f; v < 1e15f; v *= 1.013f) values.push_back(v);
    for (float v : {0.0f, 0.0809f, 0.0811f, 0.0179f, 0.0181f, 1.0f, 1e-30f}) values.push_back(v);
    return values;
}

// Relative error in units of float epsilon, measured against the double curve.
template <class F>
double worst_ulps(F&& curve, double (*reference)(double), float& where) {
    double worst = 0.0;
    const std::vector<float> values = sweep();
    for (size_t i = 0; i < values.size(); i += 4) {
        Float4 v{};
        for (int lane = 0; lane < 4 && i + lane < values.size(); ++lane) v[lane] = values[i + lane];
        const Float4 got = curve(v);
        for (int lane = 0; lane < 4 && i + lane < values.size(); ++lane) {
            const double want = reference(v[lane]);
            const double ulps = std::fabs(got[lane] - want) / (std::fabs(want) * std::numeric_limits<float>::epsilon());
            if (!(ulps <= worst)) worst = ulps, where = v[lane];
        }
    }
    return worst;
}

// The base (v + 0.099) / 1.099 rounds twice in float, about an ulp, which the exponent 2.22 turns
// into two; the power adds its own roundings (the four-lane one a few in log2 and exp2, growing with
// |y log2 x|). Measured: at most 2.1 ulps; allowed: 4.
TEST(Bt709, CurvesStayWithinAFewUlpsOfTheDoubleCurve) {
    float where = 0.0f;
    EXPECT_LE(worst_ulps([](Float4 v) { return linear_from_bt709(v); }, test::bt709_to_linear, where), 4.0)
        << "to linear, at " << where;
    EXPECT_LE(worst_ulps([](Float4 v) { return bt709_from_linear(v); }, test::linear_to_bt709, where), 4.0)
        << "to the curve, at " << where;
    const auto scalar = [](float (*curve)(float)) {
        return [curve](Float4 v) {
            for (int lane = 0; lane < 4; ++lane) v[lane] = curve(v[lane]);
            return v;
        };
    };
    EXPECT_LE(worst_ulps(scalar(linear_from_bt709), test::bt709_to_linear, where), 4.0) << "scalar, at " << where;
    EXPECT_LE(worst_ulps(scalar(bt709_from_linear), test::linear_to_bt709, where), 4.0) << "scalar, at " << where;
}

TEST(Bt709, NonFiniteLanesKeepTheirMeaningWithoutDisturbingTheOthers) {
    const float inf = std::numeric_limits<float>::infinity();
    const Float4 v{std::numeric_limits<float>::quiet_NaN(), inf, 0.5f, -inf};
    const Float4 linear = linear_from_bt709(v);
    EXPECT_TRUE(std::isnan(linear[0]));
    EXPECT_EQ(linear[1], inf);
    EXPECT_NEAR(linear[2], test::bt709_to_linear(0.5), 1e-7);
    EXPECT_EQ(linear[3], -inf);
    const Float4 curve = bt709_from_linear(v);
    EXPECT_TRUE(std::isnan(curve[0]));
    EXPECT_EQ(curve[1], inf);
    EXPECT_EQ(curve[3], -inf);
}

}  // namespace
}  // namespace nb
