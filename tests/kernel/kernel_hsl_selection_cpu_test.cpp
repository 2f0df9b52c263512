// The selection preview: its display modes for every pixel variant, and the highlight weight it shows,
// against values worked out by hand.
#include "kernel/kernel_hsl_selection_cpu.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <type_traits>

#include "tests/support/owned_layer.h"
#include "tests/support/test_host.h"

namespace nb {
namespace {

template <class P>
using Row = std::array<P, 4>;

// Runs the preview over out, frame columns 5..8; returns out's first row after checking both rows agree.
template <class P>
Row<P> preview(const test::Owned_Layer<P>& in, const test::Owned_Layer<P>& selection, test::Owned_Layer<P>& out,
               const Highlight_Selection_Settings& settings) {
    Kernel_Hsl_Selection<Layer<P>> kernel;
    kernel.in = {in.layer(), out.layer(), selection.layer(), settings};
    test::Test_Host host(2);
    kernel.run(host.context());
    Row<P> row;
    for (int64_t c = 0; c < out.layer().width; ++c) {
        for (int64_t r = 1; r < out.layer().height; ++r)
            for (int ch = 0; ch < 4; ++ch) EXPECT_EQ(out.at(c, r).c[ch], out.at(c, 0).c[ch]) << "rows differ at " << c;
        if (c < 4) row[size_t(c)] = out.at(c, 0);
    }
    return row;
}

template <class P>
class KernelHslSelection : public testing::Test {};

using Variants = testing::Types<Pixel_Argb_8, Pixel_Argb_16, Pixel_Argb_32f, Pixel_Bgra_8, Pixel_Bgra_16,
                                Pixel_Bgra_32f>;
TYPED_TEST_SUITE(KernelHslSelection, Variants);

// in covers frame columns 5..7 with a straight colour at about half alpha; the selection covers 6..8
// with gray, opaque red and straight red at half alpha. Saturation 0.5..1 rejects the gray; a ramp over
// lightness 0..0.6 weighs red by its premultiplied lightness / 0.6. Integer depths premultiply,
// weigh and scale the weight to white by truncating whole-number products, as the preview always has;
// float works in float (5/6 and 5/12 are not exact: a few units in the last place).
TYPED_TEST(KernelHslSelection, ShowsTheWeightedImageTheWeightOrTheImageInEveryMode) {
    using P = TypeParam;
    using T = typename P::component;
    constexpr bool is_float = std::is_same_v<T, float>;
    const double white = P::white;
    const auto make = [](double r, double g, double b, double a) {
        P p{};
        p.r() = T(r), p.g() = T(g), p.b() = T(b), p.a() = T(a);
        return p;
    };
    const auto code = [&](double unit) { return is_float ? unit : std::floor(unit * white); };
    const auto times = [&](double v, double factor) { return is_float ? v * factor : std::floor(v * factor / white); };
    const double half = is_float ? 0.5 : std::ceil(white / 2);
    test::Owned_Layer<P> in(3, 2, 5, 7), selection(3, 2, 6, 7), out(4, 2, 5, 7);
    const P colour = make(code(0.78125) + (is_float ? 0 : 1), code(0.390625), code(0.1953125), half);
    in.fill(colour);
    selection.fill([&](int64_t c, int64_t) {
        return c == 0 ? make(half, half, half, white) : make(white, 0, 0, c == 1 ? white : half);
    });
    const P pre = make(times(colour.r(), half), times(colour.g(), half), times(colour.b(), half), times(half, half));
    const double w_full = code(0.5 / 0.6), w_half = code(times(white, half) / white / 2.0 / 0.6);
    const P black = make(0, 0, 0, white), opaque_white = make(white, white, white, white);
    const P weighted = make(times(pre.r(), w_full), times(pre.g(), w_full), times(pre.b(), w_full), white);
    const struct {
        const char* mode;
        bool enabled, only;
        Row<P> expected;
    } modes[] = {
        {"over the image: premultiplied input times weight", true, false, {black, black, weighted, black}},
        {"alone: the weight as gray", true, true,
         {black, black, make(w_full, w_full, w_full, white), make(w_half, w_half, w_half, white)}},
        {"disabled alone: opaque white", false, true, {opaque_white, opaque_white, opaque_white, opaque_white}},
        {"disabled over the image: every channel times alpha", false, false, {pre, pre, pre, make(0, 0, 0, 0)}},
    };
    for (const auto& m : modes) {
        const Row<P> row = preview(in, selection, out,
                                   {.selection_only = m.only, .selection_enabled = m.enabled, .saturation_start = 0.5,
                                    .lightness_end = 0.6, .lightness_climax = 1.0, .lightness_soften = 1.0});
        for (size_t c = 0; c < 4; ++c)
            for (int ch = 0; ch < 4; ++ch)
                EXPECT_NEAR(row[c].c[ch], m.expected[c].c[ch], is_float ? 1e-6 : 0.0)
                    << m.mode << ", column " << c << ", channel " << ch;
    }
}

// The start, end, climax, soften and offset of the hue, saturation and lightness ranges.
std::array<std::array<double*, 5>, 3> ranges(Highlight_Selection_Settings& s) {
    return {{{&s.hue_start, &s.hue_end, &s.hue_climax, &s.hue_soften, &s.hue_offset},
             {&s.saturation_start, &s.saturation_end, &s.saturation_climax, &s.saturation_soften, &s.saturation_offset},
             {&s.lightness_start, &s.lightness_end, &s.lightness_climax, &s.lightness_soften, &s.lightness_offset}}};
}

// One range set apart from the defaults, and one pixel. Pixel channels are exact binary fractions, and
// every hand value has a tent slope of at most 5 per unit of hue, so only the storage of the weight rounds.
struct Weight_Case {
    int range;  // 0 hue, 1 saturation, 2 lightness
    double start, end, climax, soften, offset;
    bool float_image;
    float r, g, b;
    double expected;
};

// Hue of (r, g, b) with red the largest: (g - b) / d / 6; green largest: ((b - r) / d + 2) / 6;
// blue largest: ((r - g) / d + 4) / 6, where d = max - min. Lightness (max + min) / 2; saturation
// d / (max + min) up to lightness 0.5, else d / (2 - max - min). Tents: t = (v - lo) / (hi - lo),
// peak p = (climax + 1) / 2, base t / p below the peak, else 1 - (t - p) / (1 - p); weight base^soften.
const Weight_Case weight_cases[] = {
    // Hue 0.9 .. 1.1 across red. (1, 0.25, 0): hue 1/24 lies below 0.9, so 1 + 1/24 < 1.1 is tested and
    // passes; cyan (0, 1, 1) has hue 0.5, and 1.5 is not below 1.1; gray has hue 0, wrapped to 1.
    {0, 0.9, 1.1, 1, 0, 0, false, 1, 0.25f, 0, 1.0},
    {0, 0.9, 1.1, 1, 0, 0, false, 0, 1, 1, 0.0},
    {0, 0.9, 1.1, 1, 0, 0, false, 0.5f, 0.5f, 0.5f, 1.0},
    // Tent with climax 0: t = (1 + 1/24 - 0.9) / 0.2 = 17/24, base = 1 - (5/24) / 0.5 = 7/12.
    {0, 0.9, 1.1, 0, 1, 0, false, 1, 0.25f, 0, 7.0 / 12.0},
    // 0 .. 2 is capped to 0 .. 1.00001; cyan: t = 0.5 / 1.00001, base = t / 0.5.
    {0, 0, 2, 0, 1, 0, false, 0, 1, 1, 1.0 / 1.00001},
    // 0.2 .. 0.4 moved by -0.5 is shifted by a turn to 0.7 .. 0.9; (0.75, 0, 1) has hue 4.75 / 6 = 0.79.
    {0, 0.2, 0.4, 1, 0, -0.5, false, 0.75f, 0, 1, 1.0},
    // 0 .. 0.5 moved by -1 starts at exactly -1 and lands on 1 .. 1.5; (0.25, 1, 0) has hue 1.75 / 6,
    // and 1 + 0.29 < 1.5.
    {0, 0, 0.5, 1, 0, -1, false, 0.25f, 1, 0, 1.0},
    // Saturation 0 .. 1 is capped to 0 .. 1.00001. (0.75, 0.25, 0.25): saturation 0.5 / 1; peak 0.75:
    // base = (0.5 / 1.00001) / 0.75, squared.
    {1, 0, 1, 0.5, 2, 0, false, 0.75f, 0.25f, 0.25f, (4.0 / 9.0) / (1.00001 * 1.00001)},
    // (0.46875, 0.03125, 0.03125): saturation 0.4375 / 0.5 = 0.875, t = 0.875 / 1.00001;
    // base = 1 - (t - 0.75) / 0.25 = 4 - 3.5 / 1.00001, squared.
    {1, 0, 1, 0.5, 2, 0, false, 0.46875f, 0.03125f, 0.03125f, (4.0 - 3.5 / 1.00001) * (4.0 - 3.5 / 1.00001)},
    // Float images keep lightness 0 .. 1 as it is. Climax 0: 0.5 at a quarter; climax 1: base = t;
    // climax -1: base = 1 - t.
    {2, 0, 1, 0, 1, 0, true, 0.25f, 0.25f, 0.25f, 0.5},
    {2, 0, 1, 1, 1, 0, true, 0.25f, 0.25f, 0.25f, 0.25},
    {2, 0, 1, -1, 1, 0, true, 0.25f, 0.25f, 0.25f, 0.75},
    // Gray has saturation 0: below 0.25 .. 0.75, and 0 + 1 is not below 0.75; but 0.5 .. 1.25 wraps
    // past zero: 0 + 1 < 1.25.
    {1, 0.25, 0.75, 1, 0, 0, false, 0.5f, 0.5f, 0.5f, 0.0},
    {1, 0.5, 1.25, 1, 0, 0, false, 0.5f, 0.5f, 0.5f, 1.0},
    // (2, 0, 0): lightness 1, saturation 2 / (2 - 2 - 0) is infinite and clamps to 1, inside 0.9 .. 1.
    {1, 0.9, 1, 1, 0, 0, true, 2, 0, 0, 1.0},
    // Float lightness above 1: over 0 .. 4 with climax 0, t = 0.75 and base 0.5.
    {2, 0, 4, 0, 1, 0, true, 3, 3, 3, 0.5},
    // 0.5 .. 0.75 moved by -1: float keeps -0.5 .. -0.25, which no lightness reaches; integer images
    // fold it back to 0.5 .. 0.75.
    {2, 0.5, 0.75, 1, 0, -1, true, 0.5f, 0.5f, 0.5f, 0.0},
    {2, 0.5, 0.75, 1, 0, -1, false, 0.5f, 0.5f, 0.5f, 1.0},
    // Not finite: no hue to judge, and a NaN weight would spread through the blur.
    {0, 0, 1, 1, 0, 0, true, std::numeric_limits<float>::quiet_NaN(), 0.5f, 0.5f, 0.0},
};

// Shown alone, the weight of one pixel judged as a float image or, for integer images, as 16 bits
// (every channel above is an exact 16-bit code): float as it is, 16 bits truncated to a code value.
template <class P>
double shown_weight(const Weight_Case& c) {
    const double scale = std::is_same_v<typename P::component, float> ? 1.0 : P::white;
    test::Owned_Layer<P> pixel(1, 1), out(1, 1);
    pixel.layer().premultiplied = true;
    using T = typename P::component;
    pixel.fill(P{{T(scale), T(c.r * scale), T(c.g * scale), T(c.b * scale)}});
    Highlight_Selection_Settings settings{.selection_only = true, .selection_enabled = true};
    const double values[5] = {c.start, c.end, c.climax, c.soften, c.offset};
    for (int i = 0; i < 5; ++i) *ranges(settings)[size_t(c.range)][size_t(i)] = values[i];
    return preview(pixel, pixel, out, settings)[0].r() / scale;
}

// Float weights are stored in single precision; 16-bit ones lose up to one code by truncation.
TEST(KernelHslSelectionWeight, MatchesHandWorkedValues) {
    for (const Weight_Case& c : weight_cases) {
        const double shown = c.float_image ? shown_weight<Pixel_Argb_32f>(c) : shown_weight<Pixel_Argb_16>(c);
        EXPECT_NEAR(shown, c.expected - (c.float_image ? 0.0 : 0.5 / 32768), c.float_image ? 1e-7 : 0.5 / 32768)
            << "range " << c.range << " from " << c.start << " to " << c.end << ", pixel (" << c.r << ", " << c.g
            << ", " << c.b << ")";
    }
}

}  // namespace
}  // namespace nb
