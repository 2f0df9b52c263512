// The derived kernel settings checked against values worked out by hand.
#include "effect/blurmond_derived_values.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <string>

namespace nb {
namespace {

Layer_Description frame(int64_t width, int64_t height, float horizontal_factor = 1.0f,
                        float vertical_factor = 1.0f) {
    Layer_Description d;
    d.width = width;
    d.height = height;
    d.horizontal_factor = horizontal_factor;
    d.vertical_factor = vertical_factor;
    return d;
}

TEST(SmallRadiusFade, VanishesBelowOneAndGrowsLinearlyToTwo) {
    const struct {
        float radius, factor;
    } cases[] = {{0.0f, 0.0f}, {0.5f, 0.0f}, {0.999f, 0.0f}, {1.0f, 0.0f},
                 {1.5f, 0.5f}, {1.75f, 0.75f}, {2.0f, 1.0f}, {300.0f, 1.0f}};
    for (const auto& c : cases) EXPECT_FLOAT_EQ(small_radius_fade(c.radius), c.factor) << "radius " << c.radius;
}

TEST(IrisAngle, TurnsTheOtherWayInRadians) {
    EXPECT_FLOAT_EQ(iris_angle(90.0), -1.5707964f);
    EXPECT_FLOAT_EQ(iris_angle(-180.0), 3.1415927f);
    EXPECT_EQ(iris_angle(0.0), 0.0f);
}

// Hand values: 4 x smooth x radius / (full-resolution width + height).
TEST(IrisSoften, RelatesTheRadiusToTheFullResolutionFrame) {
    EXPECT_FLOAT_EQ(iris_soften(3.0, 10.0f, frame(1920, 1080)), 0.04f);              // 120 / 3000
    EXPECT_FLOAT_EQ(iris_soften(3.0, 10.0f, frame(960, 540, 0.5f, 0.5f)), 0.04f);    // same frame, half size
    EXPECT_FLOAT_EQ(iris_soften(3.0, 10.0f, frame(960, 270, 0.5f, 0.25f)), 0.04f);   // uneven factors
    EXPECT_FLOAT_EQ(iris_soften(25.0, 100.0f, frame(640, 480)), 10000.0f / 1120.0f);
}

TEST(IrisSoften, EmptyFrameOrNoRadiusSoftensNothing) {
    EXPECT_EQ(iris_soften(3.0, 10.0f, frame(0, 0)), 0.0f);
    EXPECT_EQ(iris_soften(3.0, 10.0f, frame(100, 100, 0.0f, 0.0f)), 0.0f);
    EXPECT_EQ(iris_soften(DBL_MAX, 0.0f, frame(100, 100)), 0.0f);
    EXPECT_EQ(iris_soften(0.0, 10.0f, frame(100, 100)), 0.0f);
}

struct Preview_Case {
    std::string name;
    int64_t width, height;
    float horizontal_factor, vertical_factor;
    float radius;
};

std::ostream& operator<<(std::ostream& out, const Preview_Case& c) { return out << c.name; }

class IrisPreviewRadius : public ::testing::TestWithParam<Preview_Case> {};

TEST_P(IrisPreviewRadius, ScalesWithTheFrameAndFitsInIt) {
    const Preview_Case& c = GetParam();
    EXPECT_FLOAT_EQ(iris_preview_radius(c.width, c.height, c.horizontal_factor, c.vertical_factor), c.radius)
        << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IrisPreviewRadius,
    ::testing::Values(Preview_Case{"Vga", 640, 480, 1.0f, 1.0f, 100.0f},
                      // 1920 x 1080 at half resolution: (3 + 2.25) x 50.
                      Preview_Case{"HalfResolutionHd", 960, 540, 0.5f, 0.5f, 262.5f},
                      Preview_Case{"UnevenFactors", 960, 270, 0.5f, 0.25f, 262.5f},
                      // (0.15625 + 4.1667) x 50 = 216 > 50: limited to 100 x 0.5 - 1.
                      Preview_Case{"LimitedByWidth", 100, 2000, 1.0f, 1.0f, 49.0f},
                      Preview_Case{"LimitedByHeight", 2000, 100, 1.0f, 1.0f, 49.0f},
                      // (0.15625 + 0.125) x 50; 28.125 fits in both.
                      Preview_Case{"SmallFrame", 100, 60, 1.0f, 1.0f, 14.0625f},
                      Preview_Case{"OnePixel", 1, 1, 1.0f, 1.0f, (1.0f / 640.0f + 1.0f / 480.0f) * 50.0f},
                      // The width limit would give 1 x 0.5 - 1 = -0.5.
                      Preview_Case{"TooNarrowForAnyIris", 1, 5, 1.0f, 1.0f, 0.0f},
                      Preview_Case{"Empty", 0, 0, 1.0f, 1.0f, 0.0f},
                      Preview_Case{"NoWidth", 0, 100, 1.0f, 1.0f, 0.0f}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace nb
