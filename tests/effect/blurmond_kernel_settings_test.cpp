// The mode settings read from the controls: fading, highlight switching, edge rules and the iris.
#include "effect/blurmond_kernel_settings.h"

#include <gtest/gtest.h>

#include <array>

#include "tests/support/memory_parameter_factory.h"

namespace nb {
namespace {

using test::memory_of;

const Layer_Description hd = [] {
    Layer_Description d;
    d.width = 1920;
    d.height = 1080;
    return d;
}();

struct Fade_Case {
    float radius;
    float additive, distortion;  // expected from additive 2 and distortion 10
};

class BlurmondKernelSettingsFade : public ::testing::TestWithParam<Fade_Case> {};

// Preservative highlight 3 is never faded; additive 2 and distortion 10 scale by (r - 1) below r = 2.
TEST_P(BlurmondKernelSettingsFade, FadesAdditiveAndDistortionForSmallRadii) {
    const Fade_Case& c = GetParam();
    test::Memory_Parameter_Factory factory;
    const Blurmond_Parameters p(factory, Plugin_Host::after_effects);
    p.selection_enable->set_value(true);
    p.radius->set_value(c.radius);
    p.preservative_highlight->set_value(3.0);
    p.additive_highlight->set_value(2.0);
    p.background_distortion->set_value(10.0);

    const Blur_Settings blur = blur_settings(p, hd, {});
    EXPECT_FLOAT_EQ(blur.additive_highlight, c.additive) << "radius " << c.radius;
    EXPECT_FLOAT_EQ(blur.preservative_highlight, 3.0f) << "radius " << c.radius;
    EXPECT_FLOAT_EQ(distortion_settings(p).strength, c.distortion) << "radius " << c.radius;
}

INSTANTIATE_TEST_SUITE_P(Radii, BlurmondKernelSettingsFade,
                         ::testing::Values(Fade_Case{0.0f, 0.0f, 0.0f}, Fade_Case{0.5f, 0.0f, 0.0f},
                                           Fade_Case{1.0f, 0.0f, 0.0f}, Fade_Case{1.5f, 1.0f, 5.0f},
                                           Fade_Case{2.0f, 2.0f, 10.0f}, Fade_Case{40.0f, 2.0f, 10.0f}));

TEST(BlurmondKernelSettings, HighlightsApplyOnlyWhileTheSelectionIsOn) {
    test::Memory_Parameter_Factory factory;
    const Blurmond_Parameters ae(factory, Plugin_Host::after_effects);
    ae.radius->set_value(10.0);
    ae.preservative_highlight->set_value(3.0);
    ae.additive_highlight->set_value(2.0);
    ae.background_distortion->set_value(10.0);
    ae.selection_enable->set_value(false);
    const Blur_Settings off = blur_settings(ae, hd, {});
    EXPECT_EQ(off.preservative_highlight, 0.0f);
    EXPECT_EQ(off.additive_highlight, 0.0f);
    EXPECT_FLOAT_EQ(distortion_settings(ae).strength, 10.0f);  // the distortion is no highlight

    // Premiere has no checkbox: the amounts always apply.
    test::Memory_Parameter_Factory premiere_factory;
    const Blurmond_Parameters pr(premiere_factory, Plugin_Host::premiere);
    pr.radius->set_value(10.0);
    pr.preservative_highlight->set_value(0.5);
    pr.additive_highlight->set_value(2.0);
    const Blur_Settings on = blur_settings(pr, hd, {});
    EXPECT_FLOAT_EQ(on.preservative_highlight, 0.5f);
    EXPECT_FLOAT_EQ(on.additive_highlight, 2.0f);
}

TEST(BlurmondKernelSettings, ExtendMakesTheBlurContinueTransparentButNotTheBackground) {
    test::Memory_Parameter_Factory factory;
    const Blurmond_Parameters p(factory, Plugin_Host::after_effects);
    p.outside_horizontal->set_value(assume_mirrored_image);
    p.outside_vertical->set_value(assume_repeated_image);
    p.outside_color->set_value(0.2f, 0.4f, 0.6f, 0.8f);
    const std::array<float, 4> chosen_color{0.2f, 0.4f, 0.6f, 0.8f};

    const Blur_Settings plain = blur_settings(p, hd, {});
    EXPECT_EQ(plain.outside.horizontal, Outside::mirrored);
    EXPECT_EQ(plain.outside.vertical, Outside::repeated);
    EXPECT_EQ(plain.outside.color, chosen_color);

    p.outside_extend->set_value(true);
    const Blur_Settings extended = blur_settings(p, hd, {});
    EXPECT_EQ(extended.outside.horizontal, Outside::color);
    EXPECT_EQ(extended.outside.vertical, Outside::color);
    EXPECT_EQ(extended.outside.color, (std::array<float, 4>{0.0f, 0.0f, 0.0f, 0.0f}));

    const Distortion_Settings background = distortion_settings(p);
    EXPECT_EQ(background.outside.horizontal, Outside::mirrored);
    EXPECT_EQ(background.outside.vertical, Outside::repeated);
    EXPECT_EQ(background.outside.color, chosen_color);
}

TEST(BlurmondKernelSettings, ChoicesMapOntoEdgeRulesInOrder) {
    test::Memory_Parameter_Factory factory;
    const Blurmond_Parameters p(factory, Plugin_Host::premiere);
    const Outside rules[] = {Outside::border, Outside::mirrored, Outside::repeated, Outside::color};
    for (int32_t choice = 0; choice < 4; ++choice) {
        p.outside_horizontal->set_value(choice);
        p.outside_vertical->set_value(3 - choice);
        const Outside_Settings s = chosen_outside(p);
        EXPECT_EQ(s.horizontal, rules[choice]) << "choice " << choice;
        EXPECT_EQ(s.vertical, rules[3 - choice]) << "choice " << 3 - choice;
    }
}

TEST(BlurmondKernelSettings, BlurCarriesTheIrisTheFlagsAndTheSelection) {
    test::Memory_Parameter_Factory factory;
    const Blurmond_Parameters p(factory, Plugin_Host::after_effects);
    p.radius->set_value(20.0);
    p.iris_soften->set_value(3.0);
    p.iris_rounded->set_value(0.5);
    p.iris_border_thickness->set_value(0.25);
    p.iris_border_brightness->set_value(-0.5);
    p.iris_aspect->set_value(0.125);
    memory_of(*p.iris_angle).set(45.0);
    memory_of(*p.iris_facets).set(7);
    p.gamma_correction->set_value(false);
    p.colored_iris->set_value(true);
    Highlight_Selection_Settings selection;
    selection.lightness_start = 0.7;

    const Blur_Settings s = blur_settings(p, hd, selection);
    EXPECT_FLOAT_EQ(s.iris.radius, 20.0f);
    EXPECT_FLOAT_EQ(s.iris.rounded, 0.5f);
    EXPECT_FLOAT_EQ(s.iris.border_thickness, 0.25f);
    EXPECT_FLOAT_EQ(s.iris.border_brightness, -0.5f);
    EXPECT_FLOAT_EQ(s.iris.aspect, 0.125f);
    EXPECT_FLOAT_EQ(s.iris.angle, -0.78539819f);  // -pi / 4
    EXPECT_EQ(s.iris.facets, 7);
    EXPECT_FLOAT_EQ(s.iris.soften, 0.08f);  // 4 x 3 x 20 / (1920 + 1080)
    EXPECT_FALSE(s.gamma_correction);
    EXPECT_TRUE(s.colored_iris);
    EXPECT_DOUBLE_EQ(s.selection_curve.lightness_start, 0.7);
}

}  // namespace
}  // namespace nb
