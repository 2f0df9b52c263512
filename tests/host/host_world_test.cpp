// Host worlds: the codes each suite reports, where every component sits in memory, and code values.
#include "host/host_world.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

namespace nb::host {
namespace {

struct Format_Case {
    World_Format format;
    PF_PixelFormat world_suite;
    PrPixelFormat premiere;
};

class HostWorldFormats : public testing::TestWithParam<Format_Case> {};

TEST_P(HostWorldFormats, ReportTheirCodesAndKeepComponentsInTheirPlaces) {
    const Format_Case& c = GetParam();
    EXPECT_EQ(c.format.world_suite_format(), c.world_suite);
    EXPECT_EQ(c.format.premiere_format(), c.premiere);
    Host_World world(3, 2, c.format, 0, 0, 8);
    EXPECT_EQ(Host_World::format_of(world.world()), &world.format());
    const int64_t channel = c.format.depth == Pixel_Depth::bits_8 ? 1 : c.format.depth == Pixel_Depth::bits_16 ? 2 : 4;
    EXPECT_EQ(world.row_bytes(), 3 * 4 * channel + 8);
    world.set_rgba(2, 1, {0.25, 0.5, 0.75, 1.0});
    // Red, green, blue, alpha as stored: ARGB or BGRA, white 255, 32768 or 1.0; 8 bits round 63.75 up.
    const std::array<int, 4> place = c.format.order == Channel_Order::argb ? std::array{1, 2, 3, 0} : std::array{2, 1, 0, 3};
    const std::byte* pixel = world.row(1) + 2 * 4 * channel;
    for (int k = 0; k < 4; ++k) {
        const std::byte* at = pixel + place[k] * channel;
        double stored = 0;
        if (channel == 1) stored = std::to_integer<int>(*at);
        if (channel == 2) {
            uint16_t v;
            std::memcpy(&v, at, 2);
            stored = v;
        }
        if (channel == 4) {
            float v;
            std::memcpy(&v, at, 4);
            stored = v;
        }
        const double expected[3][4] = {{64, 128, 191, 255}, {8192, 16384, 24576, 32768}, {0.25, 0.5, 0.75, 1.0}};
        EXPECT_EQ(stored, expected[channel == 1 ? 0 : channel == 2 ? 1 : 2][k]) << "component " << k;
        EXPECT_NEAR(world.rgba(2, 1)[k], 0.25 * (k + 1), 0.5 / 255) << "component " << k;
    }
    EXPECT_EQ(world.rgba(0, 0), (std::array<double, 4>{0, 0, 0, 0})) << "worlds start transparent";
}

INSTANTIATE_TEST_SUITE_P(
    AllFormats, HostWorldFormats,
    testing::Values(
        Format_Case{{Pixel_Depth::bits_8, Channel_Order::argb, false}, PF_PixelFormat_ARGB32, PrPixelFormat_ARGB_4444_8u},
        Format_Case{{Pixel_Depth::bits_16, Channel_Order::argb, false}, PF_PixelFormat_ARGB64, PrPixelFormat_ARGB_4444_16u},
        Format_Case{{Pixel_Depth::bits_32, Channel_Order::argb, false}, PF_PixelFormat_ARGB128, PrPixelFormat_ARGB_4444_32f},
        Format_Case{{Pixel_Depth::bits_8, Channel_Order::bgra, false}, PF_PixelFormat_BGRA32, PrPixelFormat_BGRA_4444_8u},
        Format_Case{{Pixel_Depth::bits_16, Channel_Order::bgra, false}, PF_PixelFormat_INVALID, PrPixelFormat_BGRA_4444_16u},
        Format_Case{{Pixel_Depth::bits_32, Channel_Order::bgra, true}, PF_PixelFormat_GPU_BGRA128, PrPixelFormat_BGRA_4444_32f}));

TEST(HostWorld, CodeValuesRoundToTheNearestAndClamp) {
    Host_World eight(1, 1, World_Format{Pixel_Depth::bits_8, Channel_Order::argb, false});
    eight.set_rgba(0, 0, {-0.5, 2.0, 0.5 / 255.0 + 1e-9, 0.5});
    EXPECT_EQ(eight.rgba(0, 0), (std::array<double, 4>{0.0, 1.0, 1.0 / 255.0, 128.0 / 255.0}));
    EXPECT_THROW(eight.rgba(1, 0), std::out_of_range);
    PF_EffectWorld foreign{};
    EXPECT_EQ(Host_World::format_of(&foreign), nullptr);
}

}  // namespace
}  // namespace nb::host
