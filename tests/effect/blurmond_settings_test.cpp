// What the kernels are told, read from the controls, and how far the blur reaches around a rectangle:
// the numbers a render shows only through the kernels' own arithmetic, checked against values worked
// out by hand.
#include <gtest/gtest.h>

#include <array>
#include <cfloat>
#include <cmath>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>

#include "effect/blurmond_derived_values.h"
#include "effect/blurmond_highlight_selection.h"
#include "effect/blurmond_kernel_settings.h"
#include "effect/blurmond_plugin.h"
#include "tests/support/memory_parameter_factory.h"

namespace nb {

namespace {

Layer_Description frame_of(int64_t width, int64_t height, float horizontal = 1.0f, float vertical = 1.0f) {
    return {.width = width, .height = height, .horizontal_factor = horizontal, .vertical_factor = vertical};
}

// Soften: 4 x smooth x radius / (full-resolution width + height), at most 2^30; nothing without a size,
// a radius or smoothing. Preview radius: (width / 640 + height / 480) x 50 at full resolution, at most half the
// frame less 1, never negative. The iris turns the other way than the angle control, in radians.
TEST(BlurmondDerivedValues, SoftenPreviewRadiusAndAngle) {
    EXPECT_FLOAT_EQ(iris_angle(20.0), -0.34906585f);
    const struct {
        double smooth;
        float radius;
        Layer_Description frame;
        float soften;
    } softens[] = {{3.0, 10.0f, frame_of(1920, 1080), 0.04f}, {3.0, 10.0f, frame_of(960, 270, 0.5f, 0.25f), 0.04f},
                   {3.0, 10.0f, frame_of(0, 0), 0.0f}, {3.0, 10.0f, frame_of(100, 100, 0.0f, 0.0f), 0.0f},
                   {DBL_MAX, 0.0f, frame_of(100, 100), 0.0f}, {DBL_MAX, 0.1f, frame_of(1, 1), 1073741824.0f}};
    for (const auto& c : softens)
        EXPECT_FLOAT_EQ(iris_soften(c.smooth, c.radius, c.frame), c.soften) << c.frame.width << " " << c.radius;
    const struct {
        Layer_Description frame;
        float radius;
    } previews[] = {{frame_of(640, 480), 100.0f}, {frame_of(960, 270, 0.5f, 0.25f), 262.5f},
                    {frame_of(100, 2000), 49.0f}, {frame_of(2000, 100), 49.0f}, {frame_of(1, 5), 0.0f}};
    for (const auto& c : previews)
        EXPECT_FLOAT_EQ(iris_preview_radius(c.frame.width, c.frame.height, c.frame.horizontal_factor,
                                            c.frame.vertical_factor),
                        c.radius)
            << c.frame.width << " x " << c.frame.height;
}

// The boosts apply only while the selection is on; additive highlight and
// distortion vanish below radius 1 and grow linearly to radius 2; "extend" continues the blur's image
// as transparent black, not the background.
TEST(BlurmondKernelSettings, HighlightsFadeAndEdgeRules) {
    const auto rules = [](const Outside_Settings& o) { return std::tuple(o.horizontal, o.vertical, o.color); };
    const auto chosen = std::tuple(Outside::mirrored, Outside::repeated, std::array{0.2f, 0.4f, 0.6f, 0.8f});
    const auto transparent = std::tuple(Outside::color, Outside::color, std::array<float, 4>{});
    const struct {
        bool enable, extend;
        double radius;
        std::array<float, 3> preservative_additive_distortion;
    } cases[] = {{true, false, 0.99, {3, 0, 0}},
                 {true, false, 1.5, {3, 1, 5}},
                 {true, false, 2.5, {3, 2, 10}},
                 {false, true, 10.0, {0, 0, 10}}};
    for (const auto& c : cases) {
        test::Memory_Parameter_Factory factory;
        const Blurmond_Parameters p(factory, Plugin_Host::after_effects);
        p.selection_enable->set_value(c.enable);
        p.radius->set_value(c.radius);
        p.preservative_highlight->set_value(3.0);
        p.additive_highlight->set_value(2.0);
        p.background_distortion->set_value(10.0);
        p.outside_extend->set_value(c.extend);
        p.outside_horizontal->set_value(assume_mirrored_image);
        p.outside_vertical->set_value(assume_repeated_image);
        p.outside_color->set_value(0.2f, 0.4f, 0.6f, 0.8f);
        const Blur_Settings blur = blur_settings(p, frame_of(1920, 1080), {});
        const Distortion_Settings background = distortion_settings(p);
        EXPECT_EQ((std::array{blur.preservative_highlight, blur.additive_highlight, background.strength}),
                  c.preservative_additive_distortion)
            << c.radius;
        EXPECT_EQ(rules(blur.outside), c.extend ? transparent : chosen) << c.radius;
    }
    // No host sends a boost beyond the float range; one that comes boosts nothing.
    test::Memory_Parameter_Factory factory;
    const Blurmond_Parameters p(factory, Plugin_Host::after_effects);
    p.selection_enable->set_value(true);
    p.radius->set_value(5.0);
    p.preservative_highlight->set_value(HUGE_VAL);
    p.additive_highlight->set_value(1e300);
    const Blur_Settings blur = blur_settings(p, frame_of(1920, 1080), {});
    EXPECT_EQ(std::pair(blur.preservative_highlight, blur.additive_highlight), std::pair(0.0f, 0.0f));
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
        const int32_t show = enable ? show_highlight_selection_only : show_highlight_selection;
        const Highlight_Selection_Settings s = highlight_selection_settings(p, Plugin_Host::after_effects, show);
        EXPECT_EQ(s.selection_enabled, enable);
        EXPECT_EQ(s.selection_only, enable);
        for (size_t i = 0; i < want.size(); ++i) EXPECT_DOUBLE_EQ(curves_of(s)[i], want[i]) << "number " << i;
    }
}

// Premiere selects by lightness alone (0..1 already) and is on when shown or when an amount asks for it.
TEST(BlurmondHighlightSelection, PremiereJudgesByLightnessAloneWhenShownOrBoosted) {
    const struct {
        int32_t show;
        double preservative, additive;
        bool enabled;
    } cases[] = {{0, 0.0, 0.0, false}, {0, 0.5, 0.0, true}, {0, 0.0, 0.1, true}, {2, 0.0, 0.0, true}, {3, 0.0, 0.0, true}};
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

// The plug-in's control of that name, set as the host would.
Parameter& control(const Blurmond_Plugin& plugin, const std::string& name) {
    for (Parameter* p : plugin.parameters())
        if (p->description().name == name) return *p;
    throw std::out_of_range(name);
}

// The source covers (-10, -10) to (200, 200) and (0, 0) to (100, 50) is asked for. Reaches worked by
// hand: the larger of radius + soften times the downsample factor, rounded up, and the drawn iris's
// extent. Only the normal blur extends.
TEST(BlurmondPluginExtent, GrowsByTheBlursReach) {
    const Rect source{-10, 200, -10, 200};
    const struct {
        double radius, smooth;
        bool extend;
        Layer_Description frame;
        Rect alternative_iris;  // empty: none chosen
        Rect request, extent;
    } cases[] = {
        // 10 + 10 x 27 x 4 / 3000 = 10.36 at the full resolution; x 0.5 = 5.18: 6 pixels; x 0.25 = 2.59: 3 rows.
        {10.0, 27.0, true, frame_of(960, 270, 0.5f, 0.25f), {}, {-6, 106, -3, 53}, {-16, 206, -13, 203}},
        // A 50 x 30 iris image scaled so its shorter side spans 2 x 10 + 1: zoom 30 / 21; it reaches
        // (25 + 1) x 21 / 30 + 0.5 = 18.7 across and (15 + 1) x 21 / 30 + 0.5 = 11.7 up and down.
        {10.0, 0.0, false, frame_of(1920, 1080), {0, 50, 0, 30}, {-18, 118, -11, 61}, source},
        // Absurd smoothness, up to beyond float, stays inside the host's range: held at 2^30 beyond the radius.
        {999.0, 1e300, false, frame_of(1920, 1080), {}, {-1073742823, 1073742923, -1073742823, 1073742873}, source}};
    for (const auto& c : cases) {
        test::Memory_Parameter_Factory factory;
        const Blurmond_Plugin plugin(make_host_context(Plugin_Host::after_effects), factory);
        dynamic_cast<Float_Parameter&>(control(plugin, "radius")).set_value(c.radius);
        dynamic_cast<Float_Parameter&>(control(plugin, "smooth")).set_value(c.smooth);
        dynamic_cast<Checkbox_Parameter&>(control(plugin, "extend")).set_value(c.extend);
        Layer_Extents extents{{"Source", {source, c.frame.horizontal_factor, c.frame.vertical_factor, 1.0f}}};
        if (!c.alternative_iris.empty()) extents["alternative_iris"] = Layer_Extent{c.alternative_iris, 1.0f, 1.0f, 1.0f};
        Plugin::Context context;
        context.frame_description = [&c] { return c.frame; };
        EXPECT_EQ(plugin.layer_extent_for_name(context, "Source", Rect{0, 100, 0, 50}, extents), c.request) << c.smooth;
        EXPECT_EQ(plugin.layer_extent(context, extents), c.extent) << c.smooth;
    }
}

}  // namespace
}  // namespace nb
