// Conversions between float and the integer components: rounding, clamping and non-finite values.
#include "util/pixel/pixel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

namespace nb {
namespace {

struct Conversion_Case {
    float value;
    int expected_8;   // worked out by hand: truncate(clamp(v * 255 + 0.5, 0, 255))
    int expected_16;  // truncate(clamp(v * 32768 + 0.5, 0, 32768))
};

constexpr float inf = std::numeric_limits<float>::infinity();

// 0.999 * 255 = 254.745 (+0.5 clamps to 255), 0.998 * 255 = 254.49 (+0.5 truncates to 254),
// 0.999 * 32768 = 32735.23 (+0.5 truncates to 32735).
const Conversion_Case conversion_cases[] = {
    {0.999f, 255, 32735}, {0.998f, 254, 32702}, {1.0f, 255, 32768},
    {1.2f, 255, 32768},   {-0.1f, 0, 0},        {0.0f, 0, 0},
    {0.5f, 128, 16384},   {inf, 255, 32768},    {-inf, 0, 0},
    {std::numeric_limits<float>::quiet_NaN(), 0, 0},
};

class PixelConversion : public ::testing::TestWithParam<Conversion_Case> {};

TEST_P(PixelConversion, FloatToIntegerRoundsHalfUpAndClamps) {
    const Conversion_Case c = GetParam();
    EXPECT_EQ(from_unit<uint8_t>(c.value), c.expected_8) << "value " << c.value;
    EXPECT_EQ(from_unit<uint16_t>(c.value), c.expected_16) << "value " << c.value;
}

INSTANTIATE_TEST_SUITE_P(Cases, PixelConversion, ::testing::ValuesIn(conversion_cases));

// Every 8-bit and 16-bit code survives the trip through float; one code of error would show here.
TEST(PixelConversion, IntegerCodesRoundTripThroughFloat) {
    for (int code = 0; code <= 255; ++code)
        EXPECT_EQ(from_unit<uint8_t>(to_unit<uint8_t>(static_cast<uint8_t>(code))), code) << "8-bit code " << code;
    for (int code = 0; code <= 32768; ++code) {
        const int back = from_unit<uint16_t>(to_unit<uint16_t>(static_cast<uint16_t>(code)));
        ASSERT_EQ(back, code) << "16-bit code " << code;
    }
}

TEST(PixelLayout, ArgbAndBgraPlaceChannelsWhereTheHostExpectsThem) {
    Pixel_Argb_8 argb{};
    store_rgba(argb, Rgba_F{1.0f, 0.0f, 0.5f, 0.2f});
    EXPECT_EQ(argb.c[0], 51);  // alpha first: 0.2 * 255 + 0.5 = 51.5
    EXPECT_EQ(argb.c[1], 255);
    EXPECT_EQ(argb.c[2], 0);
    EXPECT_EQ(argb.c[3], 128);
    Pixel_Bgra_16 bgra{};
    store_rgba(bgra, Rgba_F{1.0f, 0.0f, 0.5f, 0.25f});
    EXPECT_EQ(bgra.c[0], 16384);  // blue first
    EXPECT_EQ(bgra.c[1], 0);
    EXPECT_EQ(bgra.c[2], 32768);
    EXPECT_EQ(bgra.c[3], 8192);
}

}  // namespace
}  // namespace nb
