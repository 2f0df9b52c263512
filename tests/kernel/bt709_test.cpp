// The transfer curve's scalar and four-lane forms against the curve evaluated in double, on values the
// defocus tolerances would not resolve: both segments, far beyond white and non-finite lanes.
#include "kernel/bt709.h"

#include <gtest/gtest.h>

#include <algorithm>
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
    const Float4 lanes[] = {{-0.2f, 0.0179f, 0.0181f, 0.0809f}, {0.0811f, 0.5f, 1.0f, 7.5f},
                            {3e3f, 2e15f, 1e30f, 0.3f},         {nan, inf, 0.7f, -inf}};
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
}

// Seven pixels: a group of four whose colour lanes are packed, and three after it taken one by one. A
// lane beyond the polynomials' range sends the whole array to the scalar powers lane by lane, wherever
// it lies; alpha passes through.
TEST(Bt709, ArrayFormsGiveEveryColourLaneTheOneVectorBits) {
    for (const int far : {1, 5, 6}) {
        Float4 pixels[7];
        for (int i = 0; i < 7; ++i) pixels[i] = Float4{0.1f * i, 0.5f + i, 0.01f * i, 1e30f};
        pixels[far][far % 3] = 1e30f;
        for (int form = 0; form < 2; ++form) {
            Float4 got[7];
            std::copy(pixels, pixels + 7, got);
            form == 0 ? linear_from_bt709(got, 7) : bt709_from_linear(got, 7);
            for (int i = 0; i < 7; ++i) {
                Float4 want = form == 0 ? linear_from_bt709(pixels[i]) : bt709_from_linear(pixels[i]);
                want[3] = pixels[i][3];
                for (int lane = 0; lane < 4; ++lane) EXPECT_EQ(got[i][lane], want[lane]) << far << form << i << lane;
            }
        }
    }
}

// Integer frames look the curve up: any level whose entry differs from the four-lane curve changes frames.
template <class T>
int64_t levels_off_the_curve() {
    const float* levels = linear_levels<T>();
    int64_t off = 0;
    for (int64_t level = 0; level <= std::numeric_limits<T>::max(); ++level) {
        const float v = to_unit(static_cast<T>(level));
        off += std::bit_cast<uint32_t>(levels[level]) != std::bit_cast<uint32_t>(linear_from_bt709(Float4{v, v, v, v})[1]);
    }
    return off;
}

TEST(Bt709, LevelTablesHoldTheFourLaneCurveBitForBit) {
    EXPECT_EQ(levels_off_the_curve<uint8_t>(), 0);
    EXPECT_EQ(levels_off_the_curve<uint16_t>(), 0);
}

}  // namespace
}  // namespace nb
