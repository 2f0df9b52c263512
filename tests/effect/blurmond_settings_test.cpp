// What the kernels are told, read from the controls: the numbers a render shows only through the
// kernels' own arithmetic, checked against values worked out by hand.
#include <gtest/gtest.h>

#include <array>
#include <cfloat>

#include "effect/blurmond_derived_values.h"
#include "effect/blurmond_highlight_selection.h"
#include "effect/blurmond_kernel_settings.h"
#include "tests/support/memory_parameter_factory.h"

namespace nb {
namespace {

Layer_Description frame_of(int64_t width, int64_t height, float horizontal = 1.0f, float vertical = 1.0f) {
    return {.width = width, .height = height, .horizontal_factor = horizontal, .vertical_factor = vertical};
}

// 4 x smooth x radius / (full-resolution width + height); nothing without a size, a radius or smoothing.
TEST(BlurmondDerivedValues, IrisSoftenRelatesTheRadiusToTheFullResolutionFrame) {
    EXPECT_FLOAT_EQ(iris_soften(3.0, 10.0f, frame_of(1920, 1080)), 0.04f);
    EXPECT_FLOAT_EQ(iris_soften(3.0, 10.0f, frame_of(960, 270, 0.5f, 0.25f)), 0.04f);
    EXPECT_FLOAT_EQ(iris_soften(25.0, 100.0f, frame_of(640, 480)), 10000.0f / 1120.0f);
    EXPECT_EQ(iris_soften(3.0, 10.0f, frame_of(0, 0)), 0.0f);
    EXPECT_EQ(iris_soften(3.0, 10.0f, frame_of(100, 100, 0.0f, 0.0f)), 0.0f);
    EXPECT_EQ(iris_soften(DBL_MAX, 0.0f, frame_of(100, 100)), 0.0f);
    EXPECT_EQ(iris_soften(0.0, 10.0f, frame_of(100, 100)), 0.0f);
}

// (width / 640 + height / 480) x 50 at full resolution, at most half the frame less 1, never negative.
TEST(BlurmondDerivedValues, IrisPreviewRadiusScalesWithTheFrameAndFitsInIt) {
    const struct {
        int64_t width, height;
        float horizontal_factor, vertical_factor, radius;
    } cases[] = {{640, 480, 1.0f, 1.0f, 100.0f}, {960, 270, 0.5f, 0.25f, 262.5f}, {100, 2000, 1.0f, 1.0f, 49.0f},
                 {2000, 100, 1.0f, 1.0f, 49.0f}, {100, 60, 1.0f, 1.0f, 14.0625f},   {1, 5, 1.0f, 1.0f, 0.0f},
                 {0, 0, 1.0f, 1.0f, 0.0f}};
    for (const auto& c : cases)
        EXPECT_FLOAT_EQ(iris_preview_radius(c.width, c.height, c.horizontal_factor, c.vertical_factor), c.radius)
            << c.width << " x " << c.height << " at " << c.horizontal_factor << ", " << c.vertical_factor;
}

// The boosts apply only while the selection is on (always under Premiere); additive highlight and
// distortion vanish below radius 1 and grow linearly to radius 2; "extend" continues the blur's image
// as transparent black, not the background.
TEST(BlurmondKernelSettings, HighlightsFadeAndEdgeRules) {
    const std::array<float, 4> chosen{0.2f, 0.4f, 0.6f, 0.8f}, transparent{};
    const struct {
        Plugin_Host host;
        bool enable, extend;
        double radius;
        float preservative, additive, distortion;
    } cases[] = {{Plugin_Host::after_effects, true, false, 0.99, 3.0f, 0.0f, 0.0f},
                 {Plugin_Host::after_effects, true, false, 1.5, 3.0f, 1.0f, 5.0f},
                 {Plugin_Host::after_effects, true, false, 2.5, 3.0f, 2.0f, 10.0f},
                 {Plugin_Host::after_effects, false, true, 10.0, 0.0f, 0.0f, 10.0f},
                 {Plugin_Host::premiere, false, false, 10.0, 3.0f, 2.0f, 10.0f}};
    for (const auto& c : cases) {
        test::Memory_Parameter_Factory factory;
        const Blurmond_Parameters p(factory, c.host);
        if (p.selection_enable) p.selection_enable->set_value(c.enable);
        p.radius->set_value(c.radius);
        p.preservative_highlight->set_value(3.0);
        p.additive_highlight->set_value(2.0);
        p.background_distortion->set_value(10.0);
        p.outside_extend->set_value(c.extend);
        p.outside_horizontal->set_value(assume_mirrored_image);
        p.outside_vertical->set_value(assume_repeated_image);
        p.outside_color->set_value(0.2f, 0.4f, 0.6f, 0.8f);
        const Blur_Settings blur = blur_settings(p, frame_of(1920, 1080), {});
        EXPECT_FLOAT_EQ(blur.preservative_highlight, c.preservative) << c.radius;
        EXPECT_FLOAT_EQ(blur.additive_highlight, c.additive) << c.radius;
        EXPECT_EQ(blur.outside.horizontal, c.extend ? Outside::color : Outside::mirrored);
        EXPECT_EQ(blur.outside.vertical, c.extend ? Outside::color : Outside::repeated);
        EXPECT_EQ(blur.outside.color, c.extend ? transparent : chosen);
        const Distortion_Settings background = distortion_settings(p);
        EXPECT_FLOAT_EQ(background.strength, c.distortion) << c.radius;
        EXPECT_EQ(background.outside.horizontal, Outside::mirrored);
        EXPECT_EQ(background.outside.vertical, Outside::repeated);
        EXPECT_EQ(background.outside.color, chosen);
    }
}

using Curves = std::array<double, 15>;

// Hue, saturation and lightness: start, end, climax and soften each; then the three offsets.
Curves curves_of(const Highlight_Selection_Settings& s) {
    return {s.hue_start,        s.hue_end,           s.hue_climax,        s.hue_soften,       s.saturation_start,
            s.saturation_end,   s.saturation_climax, s.saturation_soften, s.lightness_start,  s.lightness_end,
            s.lightness_climax, s.lightness_soften,  s.hue_offset,        s.saturation_offset, s.lightness_offset};
}

// After Effects gives ranges on 0..255 and offsets as angles; only its checkbox switches the selection.
TEST(BlurmondHighlightSelection, AfterEffectsScalesRangesToFractionsAndAnglesToTurns) {
    test::Memory_Parameter_Factory factory;
    const Blurmond_Parameters p(factory, Plugin_Host::after_effects);
    p.additive_highlight->set_value(2.0);
    const std::array<Float_Parameter*, 12> ranges{
        p.hue_start.get(),        p.hue_end.get(),           p.hue_climax.get(),        p.hue_soften.get(),
        p.saturation_start.get(), p.saturation_end.get(),    p.saturation_climax.get(), p.saturation_soften.get(),
        p.lightness_start.get(),  p.lightness_end.get(),     p.lightness_climax.get(),  p.lightness_soften.get()};
    const Curves set{51, 204, 0.5, 2, 25.5, 127.5, -0.25, 1, 229.5, 255, 0.75, 3};
    for (size_t i = 0; i < ranges.size(); ++i) ranges[i]->set_value(set[i]);
    test::held(*p.hue_offset) = 90.0;
    test::held(*p.saturation_offset) = -36.0;
    test::held(*p.lightness_offset) = 180.0;
    const Curves want{0.2, 0.8, 0.5, 2, 0.1, 0.5, -0.25, 1, 0.9, 1, 0.75, 3, 0.25, -0.1, 0.5};
    for (const bool enable : {false, true}) {
        p.selection_enable->set_value(enable);
        for (const int32_t show : {0, 2, 3}) {
            const Highlight_Selection_Settings s = highlight_selection_settings(p, Plugin_Host::after_effects, show);
            EXPECT_EQ(s.selection_enabled, enable) << show;
            EXPECT_EQ(s.selection_only, show == show_highlight_selection_only) << show;
            const Curves got = curves_of(s);
            for (size_t i = 0; i < want.size(); ++i) EXPECT_DOUBLE_EQ(got[i], want[i]) << "number " << i;
        }
    }
}

// Premiere selects by lightness alone (0..1 already) and is on when shown or when an amount asks for it.
TEST(BlurmondHighlightSelection, PremiereJudgesByLightnessAloneWhenShownOrBoosted) {
    const struct {
        int32_t show;
        double preservative, additive;
        bool enabled;
    } cases[] = {{0, 0.0, 0.0, false}, {0, 0.5, 0.0, true}, {0, 0.0, 0.1, true},
                 {1, 0.0, 0.0, false}, {2, 0.0, 0.0, true}, {3, 0.0, 0.0, true}};
    const Curves want{0, 1, 1, 0, 0, 1, 1, 0, 0.3, 0.9, 1, 1.5, 0, 0, 0};
    for (const auto& c : cases) {
        test::Memory_Parameter_Factory factory;
        const Blurmond_Parameters p(factory, Plugin_Host::premiere);
        p.preservative_highlight->set_value(c.preservative);
        p.additive_highlight->set_value(c.additive);
        p.lightness_start->set_value(0.3);
        p.lightness_end->set_value(0.9);
        p.lightness_soften->set_value(1.5);
        const Highlight_Selection_Settings s = highlight_selection_settings(p, Plugin_Host::premiere, c.show);
        EXPECT_EQ(s.selection_enabled, c.enabled) << c.show << " " << c.preservative << " " << c.additive;
        EXPECT_EQ(s.selection_only, c.show == show_highlight_selection_only);
        EXPECT_EQ(curves_of(s), want);
    }
}

}  // namespace
}  // namespace nb
