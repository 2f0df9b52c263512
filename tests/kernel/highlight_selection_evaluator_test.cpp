// Highlight weights against values worked out by hand.
#include "kernel/highlight_selection_evaluator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <vector>

namespace nb {
namespace {

// Pixel channels below are exact binary fractions, and every hand value has a tent slope of at
// most 5 per unit of hue, so the only error is double rounding: 1e-12 leaves room for it.
constexpr double tolerance = 1e-12;

struct Weight_Case {
    const char* name;
    Highlight_Selection_Settings settings;
    bool float_image;
    float r, g, b;
    double expected;
};

std::ostream& operator<<(std::ostream& s, const Weight_Case& c) { return s << c.name; }

// Hue of (r, g, b) with red the largest: (g - b) / d / 6; green largest: ((b - r) / d + 2) / 6;
// blue largest: ((r - g) / d + 4) / 6, where d = max - min. Lightness (max + min) / 2; saturation
// d / (max + min) up to lightness 0.5, else d / (2 - max - min).
const std::vector<Weight_Case> weight_cases = {
    // (1, 0.25, 0): hue 0.25 / 6 = 1/24, below 0.9, so 1 + 1/24 = 1.0417 < 1.1 passes.
    {"HueRangeAcrossRedWrapsRedOrange", {.selection_enabled = true, .hue_start = 0.9, .hue_end = 1.1}, false,
     1.0f, 0.25f, 0.0f, 1.0},
    // (0, 1, 1): green largest, (1 - 0) / 1 + 2 = 3, hue 0.5; 1.5 is not below 1.1.
    {"HueRangeAcrossRedRejectsCyan", {.selection_enabled = true, .hue_start = 0.9, .hue_end = 1.1}, false,
     0.0f, 1.0f, 1.0f, 0.0},
    // Reversed ends give the same range.
    {"StartAfterEndIsTheSameRange", {.selection_enabled = true, .hue_start = 1.1, .hue_end = 0.9}, false,
     1.0f, 0.25f, 0.0f, 1.0},
    // Tent over 0.9 .. 1.1, peak (0 + 1) / 2 = 0.5: t = (1 + 1/24 - 0.9) / 0.2 = 17/24;
    // base = 1 - (17/24 - 12/24) / 0.5 = 7/12.
    {"HueTentAcrossRed",
     {.selection_enabled = true, .hue_start = 0.9, .hue_end = 1.1, .hue_climax = 0.0, .hue_soften = 1.0}, false,
     1.0f, 0.25f, 0.0f, 7.0 / 12.0},
    // 0 .. 2 is capped to 0 .. 1.00001; cyan (hue 0.5): t = 0.5 / 1.00001, base = t / 0.5 = 1 / 1.00001.
    {"TwoTurnsAreCappedJustAboveOneTurn",
     {.selection_enabled = true, .hue_start = 0.0, .hue_end = 2.0, .hue_climax = 0.0, .hue_soften = 1.0}, false,
     0.0f, 1.0f, 1.0f, 1.0 / 1.00001},
    // 0.2 .. 0.4 moved by -0.5 is -0.3 .. -0.1, shifted by one turn to 0.7 .. 0.9.
    // (0.75, 0, 1): blue largest, (0.75 - 0) / 1 + 4 = 4.75, hue 0.7917: inside.
    {"NegativeOffsetMovesRangeByWholeTurns",
     {.selection_enabled = true, .hue_start = 0.2, .hue_end = 0.4, .hue_offset = -0.5}, false, 0.75f, 0.0f, 1.0f,
     1.0},
    // (0.25, 1, 0): green largest, (0 - 0.25) / 1 + 2 = 1.75, hue 0.2917: inside the old range only.
    {"NegativeOffsetLeavesOldRange",
     {.selection_enabled = true, .hue_start = 0.2, .hue_end = 0.4, .hue_offset = -0.5}, false, 0.25f, 1.0f, 0.0f,
     0.0},
    // 0 .. 0.5 moved by -1 starts at exactly -1 and lands on 1 .. 1.5: hue 0.2917 + 1 < 1.5 passes.
    {"ExactNegativeTurnStartsAtOne", {.selection_enabled = true, .hue_end = 0.5, .hue_offset = -1.0}, false, 0.25f,
     1.0f, 0.0f, 1.0},
    // ... and hue 0.7917 + 1 does not.
    {"ExactNegativeTurnRejectsOutside", {.selection_enabled = true, .hue_end = 0.5, .hue_offset = -1.0}, false,
     0.75f, 0.0f, 1.0f, 0.0},
    // Saturation 0 .. 1 is a full turn, capped to 0 .. 1.00001. (0.75, 0.25, 0.25): d = 0.5,
    // lightness 0.5, saturation 0.5 / 1 = 0.5, t = 0.5 / 1.00001. Peak (0.5 + 1) / 2 = 0.75:
    // base = t / 0.75 = (2/3) / 1.00001, squared.
    {"SaturationTentRisesToClimax",
     {.selection_enabled = true, .saturation_climax = 0.5, .saturation_soften = 2.0}, false, 0.75f, 0.25f, 0.25f,
     (4.0 / 9.0) / (1.00001 * 1.00001)},
    // (0.46875, 0.03125, 0.03125): d = 0.4375, max + min = 0.5, saturation 0.875, t = 0.875 / 1.00001;
    // base = 1 - (t - 0.75) / 0.25 = 4 - 3.5 / 1.00001 (0.500035), squared.
    {"SaturationTentFallsAfterClimax",
     {.selection_enabled = true, .saturation_climax = 0.5, .saturation_soften = 2.0}, false, 0.46875f, 0.03125f,
     0.03125f, (4.0 - 3.5 / 1.00001) * (4.0 - 3.5 / 1.00001)},
    // Lightness tent over 0 .. 1 with climax 0 on a float image, where 0 .. 1 is not folded or capped:
    // 0 at both ends, 1 in the middle, 0.5 at a quarter.
    {"LightnessTentIsZeroAtStart", {.selection_enabled = true, .lightness_climax = 0.0, .lightness_soften = 1.0},
     true, 0.0f, 0.0f, 0.0f, 0.0},
    {"LightnessTentIsOneInTheMiddle",
     {.selection_enabled = true, .lightness_climax = 0.0, .lightness_soften = 1.0}, true, 0.5f, 0.5f, 0.5f, 1.0},
    // t = 1: base = 1 - (1 - 0.5) / 0.5 = 0.
    {"LightnessTentIsZeroAtEnd", {.selection_enabled = true, .lightness_climax = 0.0, .lightness_soften = 1.0},
     true, 1.0f, 1.0f, 1.0f, 0.0},
    {"LightnessTentAtAQuarter", {.selection_enabled = true, .lightness_climax = 0.0, .lightness_soften = 1.0},
     true, 0.25f, 0.25f, 0.25f, 0.5},
    // Soften is the exponent: 0.5^3.
    {"SoftenSharpensTheTent", {.selection_enabled = true, .lightness_climax = 0.0, .lightness_soften = 3.0},
     true, 0.25f, 0.25f, 0.25f, 0.125},
    // Climax 1 puts the peak at the end: base = t; at t = 1 the peak itself gives 1.
    {"ClimaxAtEndRampsUp", {.selection_enabled = true, .lightness_climax = 1.0, .lightness_soften = 1.0}, true,
     0.25f, 0.25f, 0.25f, 0.25},
    {"ClimaxAtEndIsOneAtEnd", {.selection_enabled = true, .lightness_climax = 1.0, .lightness_soften = 1.0}, true,
     1.0f, 1.0f, 1.0f, 1.0},
    // Climax -1 puts the peak at the start: base = 1 - t.
    {"ClimaxAtStartRampsDown", {.selection_enabled = true, .lightness_climax = -1.0, .lightness_soften = 1.0},
     true, 0.25f, 0.25f, 0.25f, 0.75},
    {"HardRangeIgnoresClimax", {.selection_enabled = true, .lightness_climax = 0.3}, true, 0.25f, 0.25f, 0.25f,
     1.0},
    // Gray: saturation 0 and hue 0. 0 lies below 0.25 .. 0.75 and 0 + 1 is not below 0.75.
    {"GrayFailsSaturationRangeWithoutZero",
     {.selection_enabled = true, .saturation_start = 0.25, .saturation_end = 0.75}, false, 0.5f, 0.5f, 0.5f, 0.0},
    // 0.5 .. 1.25 wraps past zero: 0 + 1 < 1.25.
    {"GrayPassesSaturationRangeWrappingPastZero",
     {.selection_enabled = true, .saturation_start = 0.5, .saturation_end = 1.25}, false, 0.5f, 0.5f, 0.5f, 1.0},
    {"GrayHasHueZero", {.selection_enabled = true, .hue_start = 0.1, .hue_end = 0.3}, false, 0.5f, 0.5f, 0.5f, 0.0},
    {"GrayPassesHueRangeAcrossRed", {.selection_enabled = true, .hue_start = 0.9, .hue_end = 1.1}, false, 0.5f,
     0.5f, 0.5f, 1.0},
    // Float images keep lightness above 1: 3 lies in 0.8 .. 5.
    {"FloatLightnessAboveOnePasses", {.selection_enabled = true, .lightness_start = 0.8, .lightness_end = 5.0},
     true, 3.0f, 3.0f, 3.0f, 1.0},
    {"FloatLightnessBeyondRangeFails", {.selection_enabled = true, .lightness_start = 0.8, .lightness_end = 5.0},
     true, 6.0f, 6.0f, 6.0f, 0.0},
    // Tent over 0 .. 4, peak 0.5: t = 3 / 4, base = 1 - 0.25 / 0.5 = 0.5.
    {"FloatLightnessTentAboveOne",
     {.selection_enabled = true, .lightness_end = 4.0, .lightness_climax = 0.0, .lightness_soften = 1.0}, true,
     3.0f, 3.0f, 3.0f, 0.5},
    // 0.5 .. 0.75 moved by -1: a float image keeps -0.5 .. -0.25, which no lightness reaches ...
    {"FloatLightnessRangeIsNotFolded",
     {.selection_enabled = true, .lightness_start = 0.5, .lightness_end = 0.75, .lightness_offset = -1.0}, true,
     0.5f, 0.5f, 0.5f, 0.0},
    // ... while an integer image folds it back to 0.5 .. 0.75.
    {"IntegerLightnessRangeIsFolded",
     {.selection_enabled = true, .lightness_start = 0.5, .lightness_end = 0.75, .lightness_offset = -1.0}, false,
     0.5f, 0.5f, 0.5f, 1.0},
    // Negative lightness counts as 0, inside 0 .. 0.5.
    {"NegativeLightnessCountsAsZero", {.selection_enabled = true, .lightness_end = 0.5}, true, -2.0f, -2.0f, -2.0f,
     1.0},
    // (2, 0, 0): lightness 1, saturation 2 / (2 - 2 - 0) is infinite and clamps to 1, inside 0.9 .. 1.
    {"SaturationIsClampedToOne", {.selection_enabled = true, .saturation_start = 0.9}, true, 2.0f, 0.0f, 0.0f, 1.0},
    {"DisabledSelectionWeighsNothing", {.selection_enabled = false}, false, 1.0f, 0.25f, 0.0f, 0.0},
    // Not finite: no hue to judge, and a NaN weight would spread through the blur.
    {"NaNChannelWeighsNothing", {.selection_enabled = true}, true, std::numeric_limits<float>::quiet_NaN(), 0.5f,
     0.5f, 0.0},
    {"InfiniteChannelWeighsNothing", {.selection_enabled = true, .lightness_end = 1e30}, true,
     std::numeric_limits<float>::infinity(), 0.5f, 0.5f, 0.0},
};

class HighlightSelectionEvaluatorWeight : public testing::TestWithParam<Weight_Case> {};

TEST_P(HighlightSelectionEvaluatorWeight, MatchesHandWorkedValue) {
    const Weight_Case& c = GetParam();
    const auto evaluator = Highlight_Selection_Evaluator::prepare(c.settings, c.float_image);
    Pixel_Argb_32f pixel{};
    pixel.r() = c.r;
    pixel.g() = c.g;
    pixel.b() = c.b;
    pixel.a() = 1.0f;
    EXPECT_NEAR(evaluator.weight(pixel), c.expected, tolerance)
        << c.name << ": pixel (" << c.r << ", " << c.g << ", " << c.b << ")";
}

INSTANTIATE_TEST_SUITE_P(Cases, HighlightSelectionEvaluatorWeight, testing::ValuesIn(weight_cases),
                         [](const testing::TestParamInfo<Weight_Case>& info) { return info.param.name; });

TEST(HighlightSelectionEvaluator, ExactNegativeTurnPutsRangeStartAtOne) {
    const auto evaluator =
        Highlight_Selection_Evaluator::prepare({.selection_enabled = true, .hue_end = 0.5, .hue_offset = -1.0}, false);
    EXPECT_EQ(evaluator.hue().lo, 1.0);
    EXPECT_EQ(evaluator.hue().hi, 1.5);
}

// A ramp over lightness 0 .. 0.5 makes the weight twice the lightness, which shows how channels are read.
const Highlight_Selection_Settings lightness_ramp{.selection_enabled = true, .lightness_end = 0.5,
                                                  .lightness_climax = 1.0, .lightness_soften = 1.0};

TEST(HighlightSelectionEvaluator, IntegerChannelsAreReadAgainstTheirWhite) {
    const auto evaluator = Highlight_Selection_Evaluator::prepare(lightness_ramp, false);
    Pixel_Bgra_8 p8{};
    p8.r() = p8.g() = p8.b() = 51;
    // 51 / 255 = 0.2; the single-precision factor 0.003921569 is off by at most 1e-7 relative.
    EXPECT_NEAR(evaluator.weight(p8), 0.4, 1e-7);
    Pixel_Argb_16 p16{};
    p16.r() = p16.g() = p16.b() = 8192;  // 8192 / 32768 = 0.25 exactly
    EXPECT_EQ(evaluator.weight(p16), 0.5);
}

TEST(HighlightSelectionEvaluator, StraightLayerPixelsAreJudgedPremultipliedInTheirOwnType) {
    const auto evaluator = Highlight_Selection_Evaluator::prepare(lightness_ramp, false);
    // Red 200 at alpha 128: trunc(200 * 128 / 255) = trunc(100.39) = 100; lightness 100 / 255 / 2.
    Pixel_Argb_8 p8{};
    p8.r() = 200;
    p8.a() = 128;
    EXPECT_NEAR(evaluator.weight_of_layer_pixel(p8, false), 100.0 / 255.0, 1e-7);
    // Already premultiplied: lightness 200 / 255 / 2.
    EXPECT_NEAR(evaluator.weight_of_layer_pixel(p8, true), 200.0 / 255.0, 1e-7);
    // 16 bits: 32768 * 16384 / 32768 = 16384, lightness 0.25.
    Pixel_Bgra_16 p16{};
    p16.r() = 32768;
    p16.a() = 16384;
    EXPECT_EQ(evaluator.weight_of_layer_pixel(p16, false), 0.5);
    Pixel_Argb_32f pf{};
    pf.r() = 1.0f;
    pf.a() = 0.5f;
    EXPECT_EQ(evaluator.weight_of_layer_pixel(pf, false), 0.5);
}

// Whatever the settings, including climaxes beyond -1..1 and degenerate ranges, the weight is a
// number in 0..1: the defocus kernel multiplies colours by it.
TEST(HighlightSelectionEvaluator, WeightStaysWithinUnitRangeForAnySettings) {
    const double climaxes[] = {-3.0, -1.0, -0.25, 0.0, 0.7, 1.0, 3.0};
    const double softens[] = {0.0, 0.5, 1.0, 2.5};
    const double starts[] = {-1.3, 0.0, 0.4, 0.999};
    const double widths[] = {0.0, 0.3, 1.0, 2.5};
    const float channels[] = {-0.5f, 0.0f, 0.1f, 0.5f, 0.97f, 1.0f, 4.0f};
    for (double climax : climaxes)
        for (double soften : softens)
            for (double start : starts)
                for (double width : widths)
                    for (bool is_float : {false, true}) {
                        const Highlight_Selection_Settings s{
                            .selection_enabled = true, .hue_start = start, .hue_end = start + width,
                            .hue_climax = climax, .hue_soften = soften, .saturation_start = start,
                            .saturation_end = start + width, .saturation_climax = climax,
                            .saturation_soften = soften, .lightness_start = start,
                            .lightness_end = start + width, .lightness_climax = climax,
                            .lightness_soften = soften};
                        const auto evaluator = Highlight_Selection_Evaluator::prepare(s, is_float);
                        for (float r : channels)
                            for (float g : channels)
                                for (float b : channels) {
                                    const double w = evaluator.weight_rgb(r, g, b);
                                    ASSERT_TRUE(w >= 0.0 && w <= 1.0)
                                        << "weight " << w << " for (" << r << ", " << g << ", " << b
                                        << "), climax " << climax << ", soften " << soften << ", range "
                                        << start << " + " << width << (is_float ? ", float" : ", integer");
                                }
                    }
}

}  // namespace
}  // namespace nb
