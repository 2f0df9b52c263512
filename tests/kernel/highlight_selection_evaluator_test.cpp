// Highlight weights against values worked out by hand.
#include "kernel/highlight_selection_evaluator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
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
// d / (max + min) up to lightness 0.5, else d / (2 - max - min). Tents: t = (v - lo) / (hi - lo),
// peak p = (climax + 1) / 2, base t / p below the peak, else 1 - (t - p) / (1 - p); weight base^soften.
const Highlight_Selection_Settings across_red{.selection_enabled = true, .hue_start = 0.9, .hue_end = 1.1};
const std::vector<Weight_Case> weight_cases = {
    // (1, 0.25, 0): hue 1/24 lies below 0.9, so 1 + 1/24 < 1.1 is tested, and passes.
    {"HueRangeAcrossRedWrapsRedOrange", across_red, false, 1.0f, 0.25f, 0.0f, 1.0},
    // (0, 1, 1): hue 3 / 6 = 0.5; 1.5 is not below 1.1.
    {"HueRangeAcrossRedRejectsCyan", across_red, false, 0.0f, 1.0f, 1.0f, 0.0},
    // Gray has hue 0, wrapped to 1.
    {"GrayPassesHueRangeAcrossRed", across_red, false, 0.5f, 0.5f, 0.5f, 1.0},
    // Tent with climax 0 over 0.9 .. 1.1: t = (1 + 1/24 - 0.9) / 0.2 = 17/24, base = 1 - (5/24) / 0.5 = 7/12.
    {"HueTentAcrossRed", {.selection_enabled = true, .hue_start = 0.9, .hue_end = 1.1, .hue_climax = 0.0,
                          .hue_soften = 1.0}, false, 1.0f, 0.25f, 0.0f, 7.0 / 12.0},
    // 0 .. 2 is capped to 0 .. 1.00001; cyan: t = 0.5 / 1.00001, base = t / 0.5.
    {"TwoTurnsAreCappedJustAboveOneTurn", {.selection_enabled = true, .hue_end = 2.0, .hue_climax = 0.0,
                                           .hue_soften = 1.0}, false, 0.0f, 1.0f, 1.0f, 1.0 / 1.00001},
    // 0.2 .. 0.4 moved by -0.5 is shifted by a turn to 0.7 .. 0.9; (0.75, 0, 1) has hue 4.75 / 6 = 0.79.
    {"NegativeOffsetMovesRangeByWholeTurns", {.selection_enabled = true, .hue_start = 0.2, .hue_end = 0.4,
                                              .hue_offset = -0.5}, false, 0.75f, 0.0f, 1.0f, 1.0},
    // 0 .. 0.5 moved by -1 starts at exactly -1 and lands on 1 .. 1.5; (0.25, 1, 0) has hue 1.75 / 6,
    // and 1 + 0.29 < 1.5.
    {"ExactNegativeTurnStartsAtOne", {.selection_enabled = true, .hue_end = 0.5, .hue_offset = -1.0}, false,
     0.25f, 1.0f, 0.0f, 1.0},
    // Saturation 0 .. 1 is capped to 0 .. 1.00001. (0.75, 0.25, 0.25): saturation 0.5 / 1; peak 0.75:
    // base = (0.5 / 1.00001) / 0.75, squared.
    {"SaturationTentRisesToClimax", {.selection_enabled = true, .saturation_climax = 0.5,
                                     .saturation_soften = 2.0}, false, 0.75f, 0.25f, 0.25f,
     (4.0 / 9.0) / (1.00001 * 1.00001)},
    // (0.46875, 0.03125, 0.03125): saturation 0.4375 / 0.5 = 0.875, t = 0.875 / 1.00001;
    // base = 1 - (t - 0.75) / 0.25 = 4 - 3.5 / 1.00001, squared.
    {"SaturationTentFallsAfterClimax", {.selection_enabled = true, .saturation_climax = 0.5,
                                        .saturation_soften = 2.0}, false, 0.46875f, 0.03125f, 0.03125f,
     (4.0 - 3.5 / 1.00001) * (4.0 - 3.5 / 1.00001)},
    // Float images keep lightness 0 .. 1 as it is. Climax 0: 1 in the middle, 0.5 at a quarter.
    {"LightnessTentIsOneInTheMiddle", {.selection_enabled = true, .lightness_climax = 0.0,
                                       .lightness_soften = 1.0}, true, 0.5f, 0.5f, 0.5f, 1.0},
    {"LightnessTentAtAQuarter", {.selection_enabled = true, .lightness_climax = 0.0, .lightness_soften = 1.0},
     true, 0.25f, 0.25f, 0.25f, 0.5},
    // Climax 1: base = t; climax -1: base = 1 - t.
    {"ClimaxAtEndRampsUp", {.selection_enabled = true, .lightness_climax = 1.0, .lightness_soften = 1.0}, true,
     0.25f, 0.25f, 0.25f, 0.25},
    {"ClimaxAtStartRampsDown", {.selection_enabled = true, .lightness_climax = -1.0, .lightness_soften = 1.0},
     true, 0.25f, 0.25f, 0.25f, 0.75},
    // Gray has saturation 0: below 0.25 .. 0.75, and 0 + 1 is not below 0.75 ...
    {"GrayFailsSaturationRangeWithoutZero", {.selection_enabled = true, .saturation_start = 0.25,
                                             .saturation_end = 0.75}, false, 0.5f, 0.5f, 0.5f, 0.0},
    // ... but 0.5 .. 1.25 wraps past zero: 0 + 1 < 1.25.
    {"GrayPassesSaturationRangeWrappingPastZero", {.selection_enabled = true, .saturation_start = 0.5,
                                                   .saturation_end = 1.25}, false, 0.5f, 0.5f, 0.5f, 1.0},
    // (2, 0, 0): lightness 1, saturation 2 / (2 - 2 - 0) is infinite and clamps to 1, inside 0.9 .. 1.
    {"SaturationIsClampedToOne", {.selection_enabled = true, .saturation_start = 0.9}, true, 2.0f, 0.0f, 0.0f,
     1.0},
    // Float lightness above 1: 3 lies in 0.8 .. 5; over 0 .. 4 with climax 0, t = 0.75 and base 0.5.
    {"FloatLightnessAboveOnePasses", {.selection_enabled = true, .lightness_start = 0.8, .lightness_end = 5.0},
     true, 3.0f, 3.0f, 3.0f, 1.0},
    {"FloatLightnessTentAboveOne", {.selection_enabled = true, .lightness_end = 4.0, .lightness_climax = 0.0,
                                    .lightness_soften = 1.0}, true, 3.0f, 3.0f, 3.0f, 0.5},
    // 0.5 .. 0.75 moved by -1: float keeps -0.5 .. -0.25, which no lightness reaches; integer images
    // fold it back to 0.5 .. 0.75.
    {"FloatLightnessRangeIsNotFolded", {.selection_enabled = true, .lightness_start = 0.5, .lightness_end = 0.75,
                                        .lightness_offset = -1.0}, true, 0.5f, 0.5f, 0.5f, 0.0},
    {"IntegerLightnessRangeIsFolded", {.selection_enabled = true, .lightness_start = 0.5, .lightness_end = 0.75,
                                       .lightness_offset = -1.0}, false, 0.5f, 0.5f, 0.5f, 1.0},
    {"DisabledSelectionWeighsNothing", {.selection_enabled = false}, false, 1.0f, 0.25f, 0.0f, 0.0},
    // Not finite: no hue to judge, and a NaN weight would spread through the blur.
    {"NaNChannelWeighsNothing", {.selection_enabled = true}, true, std::numeric_limits<float>::quiet_NaN(), 0.5f,
     0.5f, 0.0},
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

// A ramp over lightness 0 .. 0.5 makes the weight twice the lightness, which shows how channels are read.
const Highlight_Selection_Settings lightness_ramp{.selection_enabled = true, .lightness_end = 0.5,
                                                  .lightness_climax = 1.0, .lightness_soften = 1.0};

// 8 bits: 51 / 255 = 0.2 (the single-precision factor 0.003921569 is off by under 1e-7 relative);
// 16 bits: 8192 / 32768 = 0.25 exactly. A straight red 200 at alpha 128 is judged as
// trunc(200 * 128 / 255) = 100, lightness 100 / 255 / 2; 16-bit white at half alpha as 16384.
TEST(HighlightSelectionEvaluator, ChannelsAreReadAgainstWhiteAndStraightPixelsPremultiplied) {
    const auto evaluator = Highlight_Selection_Evaluator::prepare(lightness_ramp, false);
    Pixel_Bgra_8 gray8{};
    gray8.r() = gray8.g() = gray8.b() = 51;
    EXPECT_NEAR(evaluator.weight(gray8), 0.4, 1e-7);
    Pixel_Argb_16 gray16{};
    gray16.r() = gray16.g() = gray16.b() = 8192;
    EXPECT_EQ(evaluator.weight(gray16), 0.5);
    Pixel_Argb_8 red8{};
    red8.r() = 200;
    red8.a() = 128;
    EXPECT_NEAR(evaluator.weight_of_layer_pixel(red8, false), 100.0 / 255.0, 1e-7);
    EXPECT_NEAR(evaluator.weight_of_layer_pixel(red8, true), 200.0 / 255.0, 1e-7);
    Pixel_Bgra_16 red16{};
    red16.r() = 32768;
    red16.a() = 16384;
    EXPECT_EQ(evaluator.weight_of_layer_pixel(red16, false), 0.5);
}

// Whatever the settings, including climaxes beyond -1..1, empty and over-wide ranges, the weight is a
// number in 0..1: the defocus kernel multiplies colours by it.
TEST(HighlightSelectionEvaluator, WeightStaysWithinUnitRangeForAnySettings) {
    uint32_t state = 99;
    auto pick = [&state](double lo, double hi) {
        state = state * 1664525u + 1013904223u;
        return lo + (hi - lo) * ((state >> 8) % 4097) / 4096.0;
    };
    for (int i = 0; i < 20000; ++i) {
        Highlight_Selection_Settings s{.selection_enabled = true};
        double* ranges[3][4] = {{&s.hue_start, &s.hue_end, &s.hue_climax, &s.hue_soften},
                                {&s.saturation_start, &s.saturation_end, &s.saturation_climax, &s.saturation_soften},
                                {&s.lightness_start, &s.lightness_end, &s.lightness_climax, &s.lightness_soften}};
        for (auto& r : ranges) {
            *r[0] = pick(-1.5, 1.5);
            *r[1] = *r[0] + pick(0.0, 2.5) * (i % 5 != 0);  // every fifth range is empty
            *r[2] = pick(-3.0, 3.0);
            *r[3] = pick(0.0, 3.0);
        }
        const bool is_float = i % 2;
        const auto evaluator = Highlight_Selection_Evaluator::prepare(s, is_float);
        const double r = pick(-0.5, 4.0), g = pick(-0.5, 1.5), b = pick(0.0, 1.0);
        const double w = evaluator.weight_rgb(r, g, b);
        ASSERT_TRUE(w >= 0.0 && w <= 1.0) << "weight " << w << " for (" << r << ", " << g << ", " << b
                                          << "), case " << i << (is_float ? ", float" : ", integer");
    }
}

}  // namespace
}  // namespace nb
