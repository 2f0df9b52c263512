// The highlight selection settings read from the controls of either host, against hand-scaled values.
#include "effect/blurmond_highlight_selection.h"

#include <gtest/gtest.h>

#include <array>

#include "base/exception.h"
#include "tests/support/memory_parameter_factory.h"

namespace nb {
namespace {

using test::memory_of;

// Every number of the curves, by name; the switches are checked where they are decided.
void expect_curves(const Highlight_Selection_Settings& got, const Highlight_Selection_Settings& want) {
    const auto numbers = [](const Highlight_Selection_Settings& s) {
        return std::array<double, 15>{s.hue_start,        s.hue_end,           s.hue_climax,       s.hue_soften,
                                      s.saturation_start, s.saturation_end,    s.saturation_climax,
                                      s.saturation_soften, s.lightness_start,  s.lightness_end,    s.lightness_climax,
                                      s.lightness_soften, s.hue_offset,        s.saturation_offset, s.lightness_offset};
    };
    const char* names[] = {"hue start",        "hue end",          "hue climax",        "hue soften",
                           "saturation start", "saturation end",   "saturation climax", "saturation soften",
                           "lightness start",  "lightness end",    "lightness climax",  "lightness soften",
                           "hue offset",       "saturation offset", "lightness offset"};
    for (size_t i = 0; i < 15; ++i) EXPECT_DOUBLE_EQ(numbers(got)[i], numbers(want)[i]) << names[i];
}

TEST(BlurmondHighlightSelection, AfterEffectsScalesRangesToFractionsAndAnglesToTurns) {
    test::Memory_Parameter_Factory factory;
    const Blurmond_Parameters p(factory, Plugin_Host::after_effects);
    p.selection_enable->set_value(true);
    p.hue_start->set_value(51.0);  // 51 / 255 = 0.2
    p.hue_end->set_value(204.0);   // 0.8
    p.hue_climax->set_value(0.5);
    p.hue_soften->set_value(2.0);
    p.saturation_start->set_value(25.5);  // 0.1
    p.saturation_end->set_value(127.5);   // 0.5
    p.saturation_climax->set_value(-0.25);
    p.saturation_soften->set_value(1.0);
    p.lightness_start->set_value(229.5);  // 0.9
    p.lightness_end->set_value(255.0);
    p.lightness_climax->set_value(0.75);
    p.lightness_soften->set_value(3.0);
    memory_of(*p.hue_offset).set(90.0);          // a quarter turn
    memory_of(*p.saturation_offset).set(-36.0);  // -0.1
    memory_of(*p.lightness_offset).set(180.0);   // 0.5

    const Highlight_Selection_Settings s = highlight_selection_settings(p, Plugin_Host::after_effects, 0);
    EXPECT_TRUE(s.selection_enabled);
    EXPECT_FALSE(s.selection_only);
    expect_curves(s, {.hue_start = 0.2, .hue_end = 0.8, .hue_climax = 0.5, .hue_soften = 2.0,
                      .saturation_start = 0.1, .saturation_end = 0.5, .saturation_climax = -0.25,
                      .saturation_soften = 1.0, .lightness_start = 0.9, .lightness_end = 1.0,
                      .lightness_climax = 0.75, .lightness_soften = 3.0, .hue_offset = 0.25,
                      .saturation_offset = -0.1, .lightness_offset = 0.5});
}

// Under After Effects only the checkbox switches the selection; the amounts do not.
TEST(BlurmondHighlightSelection, AfterEffectsFollowsTheEnableCheckbox) {
    test::Memory_Parameter_Factory factory;
    const Blurmond_Parameters p(factory, Plugin_Host::after_effects);
    p.additive_highlight->set_value(2.0);
    for (const int32_t show : {0, 2, 3}) {
        p.selection_enable->set_value(false);
        const auto off = highlight_selection_settings(p, Plugin_Host::after_effects, show);
        EXPECT_FALSE(off.selection_enabled) << "show " << show;
        EXPECT_EQ(off.selection_only, show == 3) << "show " << show;
        p.selection_enable->set_value(true);
        EXPECT_TRUE(highlight_selection_settings(p, Plugin_Host::after_effects, show).selection_enabled);
    }
}

struct Premiere_Case {
    int32_t show;
    double preservative, additive;
    bool enabled, only;
};

class BlurmondHighlightSelectionPremiere : public ::testing::TestWithParam<Premiere_Case> {};

TEST_P(BlurmondHighlightSelectionPremiere, SelectsWhenShownOrAskedForByAnAmount) {
    const Premiere_Case& c = GetParam();
    test::Memory_Parameter_Factory factory;
    const Blurmond_Parameters p(factory, Plugin_Host::premiere);
    p.preservative_highlight->set_value(c.preservative);
    p.additive_highlight->set_value(c.additive);
    const Highlight_Selection_Settings s = highlight_selection_settings(p, Plugin_Host::premiere, c.show);
    EXPECT_EQ(s.selection_enabled, c.enabled) << "show " << c.show << ", preservative " << c.preservative
                                              << ", additive " << c.additive;
    EXPECT_EQ(s.selection_only, c.only);
}

INSTANTIATE_TEST_SUITE_P(Cases, BlurmondHighlightSelectionPremiere,
                         ::testing::Values(Premiere_Case{0, 0.0, 0.0, false, false},
                                           Premiere_Case{0, 0.5, 0.0, true, false},
                                           Premiere_Case{0, 0.0, 0.1, true, false},
                                           Premiere_Case{1, 0.0, 0.0, false, false},
                                           Premiere_Case{2, 0.0, 0.0, true, false},
                                           Premiere_Case{3, 0.0, 0.0, true, true}));

TEST(BlurmondHighlightSelection, PremiereJudgesByLightnessAlone) {
    test::Memory_Parameter_Factory factory;
    const Blurmond_Parameters p(factory, Plugin_Host::premiere);
    p.lightness_start->set_value(0.3);  // already on the 0..1 scale
    p.lightness_end->set_value(0.9);
    p.lightness_soften->set_value(1.5);

    // Hue and saturation pass everything with weight 1, lightness keeps its climax at the end.
    expect_curves(highlight_selection_settings(p, Plugin_Host::premiere, 0),
                  {.hue_start = 0.0, .hue_end = 1.0, .hue_climax = 1.0, .hue_soften = 0.0, .saturation_start = 0.0,
                   .saturation_end = 1.0, .saturation_climax = 1.0, .saturation_soften = 0.0, .lightness_start = 0.3,
                   .lightness_end = 0.9, .lightness_climax = 1.0, .lightness_soften = 1.5, .hue_offset = 0.0,
                   .saturation_offset = 0.0, .lightness_offset = 0.0});
}

TEST(BlurmondHighlightSelection, RefusesASetDeclaredForTheOtherHost) {
    test::Memory_Parameter_Factory factory;
    const Blurmond_Parameters p(factory, Plugin_Host::premiere);
    EXPECT_THROW(highlight_selection_settings(p, Plugin_Host::after_effects, 0), Exception_Assert);
}

}  // namespace
}  // namespace nb
