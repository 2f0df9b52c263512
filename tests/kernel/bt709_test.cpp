// The transfer curve's scalar and four-lane forms against the curve evaluated in double, on values the
// defocus tolerances would not resolve: both segments, far beyond white and non-finite lanes.
#include "kernel/bt709.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>

#include "tests/support/transfer_oracle.h"
#include "util/pixel/pixel.h"

namespace nb {
namespace {

// The base (v + 0.099) / 1.099 rounds twice in float, which the exponent 2.22 turns into about two
// ulps; the four-lane power adds a few in log2 and exp2. Allowed: 4 ulps up to a few times white, where
// the float exponents start to tell. Far beyond (the polynomials end at 1e15) and for non-finite
// lanes the four-lane form goes through the scalar one lane by lane.
TEST(Bt709, CurvesStayWithinAFewUlpsOfTheDoubleCurve) {
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    // The last four have one far lane each, wherever it is.
    const Float4 lanes[] = {{-0.2f, 0.0179f, 0.0181f, 0.0809f}, {0.0811f, 0.5f, 1.0f, 7.5f},
                            {3e3f, 2e15f, 1e30f, 0.3f},         {nan, inf, 0.7f, -inf},
                            {5e20f, 0.2f, 0.4f, 0.6f},          {0.2f, 1e30f, 0.4f, 0.6f},
                            {0.2f, 0.4f, 3e20f, 0.6f},          {0.2f, 0.4f, 0.6f, 2e15f}};
    for (const Float4& v : lanes) {
        const Float4 four[2] = {linear_from_bt709(v), bt709_from_linear(v)};
        for (int lane = 0; lane < 4; ++lane)
            for (int form = 0; form < 2; ++form) {
                const double want = form == 0 ? test::bt709_to_linear(v[lane]) : test::linear_to_bt709(v[lane]);
                const float got = four[form][lane], scalar = form == 0 ? linear_from_bt709(v[lane]) : bt709_from_linear(v[lane]);
                const double ulps = 4.0 * std::numeric_limits<float>::epsilon() * std::fabs(want);
                if (std::isnan(want)) EXPECT_TRUE(std::isnan(got) && std::isnan(scalar)) << form;
                else if (std::fabs(v[lane]) > 8.0f) EXPECT_TRUE(got == scalar || std::fabs(got - scalar) <= ulps) << v[lane] << ": " << got;
                else EXPECT_TRUE(std::fabs(got - want) <= ulps && std::fabs(scalar - want) <= ulps)
                    << (form == 0 ? "to linear at " : "to the curve at ") << v[lane] << ": " << got << ", " << scalar;
            }
    }
    // The array forms take the pixels after the last group of four one by one, and a far lane there sends
    // them to the scalar powers too: every colour lane keeps its one-vector bits, alpha passes through.
    Float4 arrays[2][3] = {{lanes[1], lanes[2], lanes[3]}, {lanes[1], lanes[2], lanes[3]}};
    linear_from_bt709(arrays[0], 3);
    bt709_from_linear(arrays[1], 3);
    for (int i = 0; i < 3; ++i)
        for (int lane = 0; lane < 8; ++lane) {
            const Float4 v = lanes[i + 1], want = lane < 4 ? linear_from_bt709(v) : bt709_from_linear(v);
            EXPECT_EQ(std::bit_cast<uint32_t>(arrays[lane / 4][i][lane % 4]),
                      std::bit_cast<uint32_t>(lane % 4 < 3 ? want[lane % 4] : v[3])) << i << ", " << lane;
        }
}

// Integer frames look their levels up: a level whose entry is not the four-lane curve's bits changes frames.
TEST(Bt709, LevelTablesHoldTheFourLaneCurveOfEveryLevel) {
    const auto off_the_curve = [](auto max) {
        int64_t off = 0;
        for (int64_t level = 0; level <= max; ++level)
            off += linear_levels<decltype(max)>()[level] != linear_from_bt709(Float4{} + to_unit(decltype(max)(level)))[0];
        return off;
    };
    EXPECT_EQ(off_the_curve(uint8_t{255}) + off_the_curve(uint16_t{65535}), 0);
}

}  // namespace
}  // namespace nb
