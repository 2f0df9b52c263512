// Host worlds' code values: rounded to the nearest, clamped to white, and foreign records told apart. Where
// each format keeps its components the plug-in's renders check at every depth and order.
#include "host/host_world.h"

#include <gtest/gtest.h>

#include <array>
#include <stdexcept>

namespace nb::host {
namespace {

TEST(HostWorld, CodeValuesRoundToTheNearestAndClamp) {
    Host_World eight(1, 1, World_Format{Pixel_Depth::bits_8, Channel_Order::argb, false});
    eight.set_rgba(0, 0, {-0.5, 2.0, 0.5 / 255.0 + 1e-9, 0.5});
    EXPECT_EQ(eight.rgba(0, 0), (std::array<double, 4>{0.0, 1.0, 1.0 / 255.0, 128.0 / 255.0}));
    EXPECT_THROW(eight.rgba(1, 0), std::out_of_range);
    Host_World sixteen(1, 1, World_Format{Pixel_Depth::bits_16, Channel_Order::bgra, false});
    sixteen.set_rgba(0, 0, {1.5, 0.5 / 32768.0 + 1e-9, -1.0, 1.0});
    EXPECT_EQ(sixteen.rgba(0, 0), (std::array<double, 4>{1.0, 1.0 / 32768.0, 0.0, 1.0})) << "white is 32768";
    Host_World floats(1, 1, World_Format{Pixel_Depth::bits_32, Channel_Order::argb, false});
    floats.set_rgba(0, 0, {1.5, -0.25, 0.1, 1.0});
    EXPECT_EQ(floats.rgba(0, 0), (std::array<double, 4>{1.5, -0.25, static_cast<float>(0.1), 1.0})) << "unclamped";
    EXPECT_EQ(Host_World::format_of(floats.world()), &floats.format());
    PF_EffectWorld foreign{};
    EXPECT_EQ(Host_World::format_of(&foreign), nullptr);
}

}  // namespace
}  // namespace nb::host
