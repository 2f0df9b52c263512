// Conversions between float and the integer components: rounding, clamping and non-finite values.
#include "util/pixel/pixel.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace nb {
namespace {

// Worked out by hand as truncate(clamp(v * white + 0.5, 0, white)) for white 255 and 32768:
// 0.999 * 255 = 254.745 clamps to 255, 0.998 * 255 = 254.49 truncates to 254.
TEST(PixelConversion, FloatToIntegerRoundsHalfUpClampsAndEveryCodeRoundTrips) {
    constexpr float inf = std::numeric_limits<float>::infinity();
    const struct {
        float value;
        int expected_8, expected_16;
    } cases[] = {{0.999f, 255, 32735}, {0.998f, 254, 32702}, {1.2f, 255, 32768}, {-0.1f, 0, 0}, {0.5f, 128, 16384},
                 {inf, 255, 32768},    {-inf, 0, 0},         {std::numeric_limits<float>::quiet_NaN(), 0, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(from_unit<uint8_t>(c.value), c.expected_8) << "value " << c.value;
        EXPECT_EQ(from_unit<uint16_t>(c.value), c.expected_16) << "value " << c.value;
    }
    for (int code = 0; code <= 32768; ++code) {
        const int eight = code <= 255 ? from_unit<uint8_t>(to_unit<uint8_t>(static_cast<uint8_t>(code))) : code;
        ASSERT_EQ(eight, code);
        ASSERT_EQ(from_unit<uint16_t>(to_unit<uint16_t>(static_cast<uint16_t>(code))), code);
    }
    // Alpha first in ARGB, blue first in BGRA.
    Pixel_Argb_8 argb{};
    store_rgba(argb, Rgba_F{1.0f, 0.0f, 0.5f, 0.2f});
    EXPECT_TRUE(argb.c[0] == 51 && argb.c[1] == 255 && argb.c[2] == 0 && argb.c[3] == 128);
    Pixel_Bgra_16 bgra{};
    store_rgba(bgra, Rgba_F{1.0f, 0.0f, 0.5f, 0.25f});
    EXPECT_TRUE(bgra.c[0] == 16384 && bgra.c[1] == 0 && bgra.c[2] == 32768 && bgra.c[3] == 8192);
}

}  // namespace
}  // namespace nb
