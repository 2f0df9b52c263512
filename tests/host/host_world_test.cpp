// Host worlds: the formats each suite reports, component round trips in every format, views.
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
    int64_t pixel_bytes;
};

class HostWorldFormats : public testing::TestWithParam<Format_Case> {};

TEST_P(HostWorldFormats, ReportTheirCodesAndKeepComponentsInTheirPlaces) {
    const Format_Case& c = GetParam();
    EXPECT_EQ(c.format.world_suite_format(), c.world_suite);
    EXPECT_EQ(c.format.premiere_format(), c.premiere);
    EXPECT_EQ(c.format.pixel_bytes(), c.pixel_bytes);

    Host_World world(3, 2, c.format, 0, 0, 8);
    EXPECT_EQ(world.row_bytes(), 3 * c.pixel_bytes + 8);
    // Half white is exact in every format: 127.5 rounds to 128 at 8 bits, 16384 at 16 bits.
    world.set_rgba(2, 1, {0.25, 0.5, 0.75, 1.0});
    const std::array<double, 4> back = world.rgba(2, 1);
    const double step = 1.0 / c.format.white();
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(back[i], 0.25 * (i + 1), c.format.depth == Pixel_Depth::bits_32 ? 0 : step);
    EXPECT_EQ(world.rgba(0, 0), (std::array<double, 4>{0, 0, 0, 0})) << "worlds start transparent";

    // Alpha is the first component in ARGB and the last in BGRA.
    const std::byte* pixel = world.row(1) + 2 * c.pixel_bytes;
    const std::byte* alpha = pixel + (c.format.order == Channel_Order::argb ? 0 : 3) * c.format.channel_bytes();
    if (c.format.depth == Pixel_Depth::bits_8) {
        EXPECT_EQ(std::to_integer<int>(*alpha), 255);
    }
    if (c.format.depth == Pixel_Depth::bits_16) {
        uint16_t v;
        std::memcpy(&v, alpha, 2);
        EXPECT_EQ(v, 32768);
    }
    if (c.format.depth == Pixel_Depth::bits_32) {
        float v;
        std::memcpy(&v, alpha, 4);
        EXPECT_EQ(v, 1.0f);
    }
    EXPECT_EQ(Host_World::format_of(world.world()), &world.format());
}

INSTANTIATE_TEST_SUITE_P(
    AllFormats, HostWorldFormats,
    testing::Values(
        Format_Case{{Pixel_Depth::bits_8, Channel_Order::argb, false}, PF_PixelFormat_ARGB32, PrPixelFormat_ARGB_4444_8u, 4},
        Format_Case{{Pixel_Depth::bits_16, Channel_Order::argb, false}, PF_PixelFormat_ARGB64, PrPixelFormat_ARGB_4444_16u, 8},
        Format_Case{{Pixel_Depth::bits_32, Channel_Order::argb, false}, PF_PixelFormat_ARGB128, PrPixelFormat_ARGB_4444_32f, 16},
        Format_Case{{Pixel_Depth::bits_8, Channel_Order::bgra, false}, PF_PixelFormat_BGRA32, PrPixelFormat_BGRA_4444_8u, 4},
        Format_Case{{Pixel_Depth::bits_16, Channel_Order::bgra, false}, PF_PixelFormat_INVALID, PrPixelFormat_BGRA_4444_16u, 8},
        Format_Case{{Pixel_Depth::bits_32, Channel_Order::bgra, false}, PF_PixelFormat_INVALID, PrPixelFormat_BGRA_4444_32f, 16},
        Format_Case{{Pixel_Depth::bits_32, Channel_Order::bgra, true}, PF_PixelFormat_GPU_BGRA128, PrPixelFormat_BGRA_4444_32f, 16}));

TEST(HostWorld, CodeValuesClampAndRoundToTheNearest) {
    Host_World eight(1, 1, World_Format{Pixel_Depth::bits_8, Channel_Order::argb, false});
    eight.set_rgba(0, 0, {-0.5, 2.0, 0.5 / 255.0 + 1e-9, 0.5});
    const std::array<double, 4> got = eight.rgba(0, 0);
    EXPECT_EQ(got[0], 0.0);
    EXPECT_EQ(got[1], 1.0);
    EXPECT_EQ(got[2], 1.0 / 255.0);
    EXPECT_EQ(got[3], 128.0 / 255.0);
    Host_World sixteen(1, 1, World_Format{Pixel_Depth::bits_16, Channel_Order::bgra, false});
    sixteen.set_rgba(0, 0, {1.5, 1.0, 0.0, 0.0});
    EXPECT_EQ(sixteen.rgba(0, 0)[0], 1.0) << "16-bit white is 32768, not 65535";
    EXPECT_THROW(sixteen.rgba(1, 0), std::out_of_range);
}

TEST(HostWorld, ViewsShareThePixelsOfTheirPartAndStartWhereItStarts) {
    Host_World world(10, 8, World_Format{Pixel_Depth::bits_16, Channel_Order::argb, false}, -2, -3, 4);
    world.set_rgba(5, 4, {1, 0, 0, 1});  // frame position (3, 1)
    const auto view = world.view(PF_LRect{1, 0, 20, 2});
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->origin_x(), 1);
    EXPECT_EQ(view->origin_y(), 0);
    EXPECT_EQ(view->width(), 7);   // frame columns 1 .. 7
    EXPECT_EQ(view->height(), 2);  // frame rows 0 .. 1
    EXPECT_EQ(view->row_bytes(), world.row_bytes());
    EXPECT_EQ(view->rgba(2, 1)[0], 1.0);
    EXPECT_EQ(world.view(PF_LRect{8, 0, 9, 5}), nullptr) << "right of the world";
    EXPECT_EQ(world.view(PF_LRect{0, 0, 0, 5}), nullptr) << "empty request";
    PF_EffectWorld foreign{};
    EXPECT_EQ(Host_World::format_of(&foreign), nullptr);
    EXPECT_EQ(Host_World::format_of(nullptr), nullptr);
}

}  // namespace
}  // namespace nb::host
