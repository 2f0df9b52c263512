// Tests of the demo scene: repeatable, opaque, dark overall with lights far above 1.0.
#include "tools/demo_scene.h"

#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

#include "tools/tool_error.h"

namespace nb::tools {
namespace {

// Small sizes keep the tests quick; the layout is in units of the height, so they show the same scene.
constexpr Demo_Scene_Settings small{320, 180, 1};

TEST(DemoScene, SameSettingsGiveTheSamePixels) {
    const Image_Rgba a = make_demo_scene(small);
    const Image_Rgba b = make_demo_scene(small);
    EXPECT_EQ(a.rgba, b.rgba);
    Demo_Scene_Settings other = small;
    other.seed = 2;
    EXPECT_NE(make_demo_scene(other).rgba, a.rgba);
}

TEST(DemoScene, IsAnOpaqueNightWithBrightLights) {
    const Image_Rgba image = make_demo_scene(small);
    ASSERT_EQ(image.width, 320);
    ASSERT_EQ(image.height, 180);
    double sum = 0.0;
    float brightest = 0.0f;
    int64_t above_ten = 0, non_finite = 0, negative = 0;
    for (size_t i = 0; i < image.rgba.size(); ++i) {
        const float v = image.rgba[i];
        if (i % 4 == 3) {
            ASSERT_EQ(v, 1.0f) << "alpha of pixel " << i / 4;
            continue;
        }
        non_finite += std::isfinite(v) ? 0 : 1;
        negative += v < 0.0f ? 1 : 0;
        above_ten += v > 10.0f ? 1 : 0;
        brightest = std::max(brightest, v);
        sum += v;
    }
    EXPECT_EQ(non_finite, 0);
    EXPECT_EQ(negative, 0);
    // A night: the average stays low although lamps and headlights reach tens to hundreds.
    EXPECT_LT(sum / (image.width * image.height * 3), 0.25);
    EXPECT_GT(brightest, 50.0f);
    EXPECT_GT(above_ten, 20) << "too few bright points to bloom";
    // The sky at the top centre is dark, and no light sits exactly there.
    EXPECT_LT(image.pixel(160, 2)[2], 0.1f);
}

TEST(DemoScene, TinyAndOddSizesWork) {
    for (const auto& [w, h] : {std::pair<int64_t, int64_t>{1, 1}, {3, 500}, {501, 7}}) {
        const Image_Rgba image = make_demo_scene({w, h, 5});
        EXPECT_EQ(image.width, w);
        EXPECT_EQ(image.height, h);
        EXPECT_TRUE(std::all_of(image.rgba.begin(), image.rgba.end(), [](float v) { return std::isfinite(v); }));
    }
}

TEST(DemoScene, EmptySizeIsRefused) {
    EXPECT_THROW(make_demo_scene({0, 10, 1}), Tool_Error);
    EXPECT_THROW(make_demo_scene({10, -1, 1}), Tool_Error);
}

}  // namespace
}  // namespace nb::tools
