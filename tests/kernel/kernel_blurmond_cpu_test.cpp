// The defocus kernel against a direct spatial convolution in double, and the edges the convolution leaves out.
#include "kernel/kernel_blurmond_cpu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include "kernel/blurmond_geometry.h"
#include "kernel/fft_lanes_cpu.h"
#include "kernel/kernel_draw_iris_cpu.h"
#include "tests/support/defocus_oracle.h"
#include "tests/support/image_compare.h"
#include "tests/support/owned_layer.h"
#include "tests/support/test_host.h"

namespace nb {
namespace {

using test::Rgba_D;

template <class P>
constexpr bool is_float() {
    return std::is_same_v<typename P::component, float>;
}

template <class P>
Rgba_D unit(const P& p) {
    const double w = P::white;
    return {p.r() / w, p.g() / w, p.b() / w, p.a() / w};
}

// Unit colour to a pixel: integers rounded to the nearest code value.
template <class P>
P pixel_of(const Rgba_D& c) {
    const auto code = [](double v) { return typename P::component(is_float<P>() ? v : std::lround(v * P::white)); };
    P p{};
    p.r() = code(c.r), p.g() = code(c.g), p.b() = code(c.b), p.a() = code(c.a);
    return p;
}

template <class P>
test::Oracle_Image oracle_image(const Layer<P>& layer) {
    test::Oracle_Image image{layer.width, layer.height, layer.x, layer.y, layer.premultiplied, {}};
    for (int64_t r = 0; r < layer.height; ++r)
        for (int64_t c = 0; c < layer.width; ++c) image.pixels.push_back(unit(layer.at(c, r)));
    for (Rgba_D& p : image.pixels)
        for (double* v : {&p.r, &p.g, &p.b, &p.a}) *v = std::isfinite(*v) ? *v : 0.0;
    return image;
}

struct Iris_Settings {
    float radius = 3.0f, aspect = 0.0f, soften = 0.0f;
    int32_t facets = 6;
    float angle = 0.3f, rounded = 0.2f;
};

// The product's own iris drawing (checked against its own oracle), into a layer that holds all of it.
template <class Drawn_P, class P>
test::Oracle_Iris drawn_iris(const Render_Context& context, const Iris_Settings& s, const Layer<P>& alternative) {
    const int64_t size = 2 * static_cast<int64_t>(4.0f * (s.radius + s.soften) + 8.0f);
    test::Owned_Layer<Drawn_P> out(size, size);
    out.layer().premultiplied = true;
    Kernel_Draw_Iris<Layer<Drawn_P>, Layer<P>> draw;
    draw.in = {out.layer(), alternative, s.radius, s.rounded, 0.0f, 0.0f, s.aspect, s.angle, s.facets, s.soften};
    draw.run(context);
    test::Oracle_Iris iris{size, size, Drawn_P::is_gray, {}};
    for (int64_t r = 0; r < size; ++r)
        for (int64_t c = 0; c < size; ++c) {
            if constexpr (Drawn_P::is_gray) iris.pixels.push_back({out.at(c, r).v(), 0, 0, 0});
            else iris.pixels.push_back(unit(out.at(c, r)));
        }
    return iris;
}

// Every hue and saturation passes and the weight is the lightness L of the premultiplied colour over
// 0.99 (a tent rising to the range's end), or 0 above 0.99; integer depths premultiply in whole codes.
template <class P>
double lightness_weight(P p, bool premultiplied) {
    if (!premultiplied)
        for (auto* c : {&p.r(), &p.g(), &p.b()}) {
            if constexpr (is_float<P>()) *c *= p.a();
            else *c = typename P::component(int64_t(*c) * int64_t(p.a()) / int64_t(P::white));
        }
    const Rgba_D c = unit(p);
    const double l = (std::max({c.r, c.g, c.b}) + std::min({c.r, c.g, c.b})) / 2.0;
    return l <= 0.99 ? l / 0.99 : 0.0;
}

struct Case {
    const char* name;
    int rule_horizontal, rule_vertical;
    bool gamma;
    float preservative, additive;
    bool colour;
    bool in_premultiplied, out_premultiplied;
    Iris_Settings iris;
    bool unselected = false;  // the selection is off: no pixel is boosted
    int image = 1;            // colour iris image: 0 none (the gray iris), 1 with red, 2 without any red
    bool non_finite = false;  // float images get NaN and infinite channels
};

// Every edge rule in each direction, linear light on and off, both highlight boosts alone and
// together, both alpha conventions, aspect and rotation, colour and gray irises. A colour channel
// summing to 0 must not divide by 0: an image without red gives red 0. A coloured iris without an
// image is the gray one. Radius 0 is a copy: a one-pixel iris.
// A NaN or infinite source channel counts as 0 (with linear light too, whose four-lane curve must not
// spread it); finite values above 1 are kept. The 11 by 8 frame and the margins give transforms of
// every radix mix, rows N/2 by columns M: 9 by 15 (pure 3; 3 and 5), 15 by 16 (radix-4 passes only),
// 10 by 24, 12 by 18, 6 by 8 (a radix-2 pass, then radix 4) and, for the large iris, 90 by 125 (pure 5);
// the tall iris's columns of 270 outgrow the cached block the short passes run in.
const Case cases[] = {
    {"border then colour, additive, straight in", 0, 3, false, 0.0f, 1.5f, false, false, true, {}},
    {"mirrored then border, preservative", 1, 0, false, 2.0f, 0.0f, false, false, true, {}},
    {"repeated, both boosts, gamma, straight out", 2, 2, true, 1.0f, 0.5f, false, true, false, {}},
    {"wide iris, colour and mirrored", 3, 1, false, 0.0f, 0.0f, false, true, true, {3.5f, 0.75f, 0.0f, 5, 0.0f, 0.0f}},
    {"tall softened iris, gamma", 1, 1, true, 0.0f, 0.0f, false, true, true, {2.5f, -0.5f, 1.5f, 7, 1.0f, 0.5f}},
    {"colour iris, weighted, gamma", 1, 3, true, 1.5f, 0.5f, true, false, false, {}},
    {"colour iris, additive", 2, 0, false, 0.0f, 1.0f, true, true, true, {}},
    {"both boosts, selection off", 0, 2, false, 1.0f, 1.0f, false, true, true, {}, true},
    {"colour iris without red", 0, 1, true, 0.0f, 0.0f, true, true, true, {}, false, 2},
    {"colour iris without an image, colour above and below, no boost", 2, 3, true, 0.0f, 0.0f, true, true, true, {}, false, 0},
    {"radius zero copies whatever the softening", 2, 2, true, 0.0f, 0.0f, false, true, true, {0.0f, 0.0f, 4.0f}},
    {"non-finite channels, gamma", 1, 2, true, 0.0f, 0.0f, false, true, true, {}, false, 1, true},
    {"large wide iris: transforms of 180 by 125", 1, 0, false, 1.0f, 0.0f, false, true, true, {58.0f, 0.4f, 0.0f, 6, 0.2f, 0.3f}},
    {"large tall iris: columns of 270", 0, 1, true, 0.0f, 1.0f, false, true, true, {70.0f, -0.8f, 0.0f, 5, 0.1f, 0.3f}},
};

const Rgba_D outside_colour{0.2, 0.7, 0.4, 0.5};

template <class P>
Kernel_Blurmond<Layer<P>> blurmond(const Case& c, const Layer<P>& in, const Layer<P>& out) {
    Kernel_Blurmond<Layer<P>> k;
    k.in.in = k.in.selection = in;
    k.in.out = out;
    k.in.radius = c.iris.radius;
    k.in.rounded = c.iris.rounded;
    k.in.aspect = c.iris.aspect;
    k.in.angle = c.iris.angle;
    k.in.facets = c.iris.facets;
    k.in.soften = c.iris.soften;
    k.in.gamma_correction = c.gamma;
    k.in.colored_iris = c.colour;
    k.in.preservative_highlight = c.preservative;
    k.in.additive_highlight = c.additive;
    k.in.outside_horizontal = static_cast<Outside>(c.rule_horizontal);
    k.in.outside_vertical = static_cast<Outside>(c.rule_vertical);
    const float outside[4] = {float(outside_colour.r), float(outside_colour.g), float(outside_colour.b),
                              float(outside_colour.a)};
    std::copy(outside, outside + 4, k.in.outside_color);
    k.in.selection_curve.selection_enabled = !c.unselected;
    k.in.selection_curve.lightness_end = 0.99;
    k.in.selection_curve.lightness_soften = 1.0;
    return k;
}

// Float: the transforms' rounding, a few float epsilons per level of log2(pw * ph) <= 12 relative to
// the largest (boosted) value, times the slope 4.5 of the curve near black, and divided by alpha for
// straight output. Integers: the float result may sit on the other side of a rounding boundary.
template <class P>
double tolerance(const Case& c, double alpha) {
    if (!is_float<P>()) return 1.0 / P::white + 1e-9;
    const double t = 16.0 * std::numeric_limits<float>::epsilon() * 12.0 * 4.5 * (1.0 + c.preservative + c.additive);
    return c.out_premultiplied ? t : t / std::max(alpha, 0.05);
}

// Empty when every channel of out lies within tolerance(expected pixel, x, y) of expected; otherwise
// the worst pixel and both values. Integer outputs clamp to 0..1, so the reference is clamped too.
template <class P, class Tolerance>
std::string worst_excess(const Layer<P>& out, const std::vector<Rgba_D>& expected, Tolerance&& tolerance) {
    double worst = 0.0;
    std::string where;
    for (int64_t r = 0; r < out.height; ++r)
        for (int64_t x = 0; x < out.width; ++x) {
            const Rgba_D want = expected[r * out.width + x], got = unit(out.at(x, r));
            const auto stored = [](double v) { return is_float<P>() ? v : std::clamp(v, 0.0, 1.0); };
            const double wanted[4] = {stored(want.r), stored(want.g), stored(want.b), stored(want.a)};
            const double actual[4] = {got.r, got.g, got.b, got.a};
            for (int ch = 0; ch < 4; ++ch) {
                const double excess = std::fabs(actual[ch] - wanted[ch]) - tolerance(want, x, r);
                if (excess <= worst) continue;
                worst = excess;
                where = "pixel (" + std::to_string(x) + ", " + std::to_string(r) + ") channel " + std::to_string(ch) +
                        ": got " + std::to_string(actual[ch]) + ", want " + std::to_string(wanted[ch]);
            }
        }
    return where;
}

template <class P>
void fill_random(test::Owned_Layer<P>& layer, uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> colour(0.0, 1.0), alpha(0.4, 1.0);
    layer.fill([&](int64_t, int64_t) { return pixel_of<P>({colour(random), colour(random), colour(random), alpha(random)}); });
}

// A small iris image, 7 x 6: a warm disc with a cooler, more transparent rim.
Rgba_D iris_image(int64_t x, int64_t y, double red) {
    const double d = std::hypot(x - 3.0, y - 2.5);
    return d < 2.0 ? Rgba_D{0.9 * red, 0.6, 0.3, 1.0} : d < 3.0 ? Rgba_D{0.2 * red, 0.3, 0.5, 0.6} : Rgba_D{};
}

template <class P>
class KernelBlurmond : public testing::Test {};

using Pixels = testing::Types<Pixel_Argb_8, Pixel_Argb_16, Pixel_Argb_32f, Pixel_Bgra_8, Pixel_Bgra_16, Pixel_Bgra_32f>;
TYPED_TEST_SUITE(KernelBlurmond, Pixels);

// Empty when the kernel's output for the case matches the oracle's; otherwise the worst pixel.
template <class P>
std::string oracle_mismatch(const Case& c, test::Test_Host& host) {
    const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
    test::Owned_Layer<P> alternative(7, 6), in(11, 8, 5, -3), out(11, 8, 5, -3);
    alternative.layer().premultiplied = true;
    alternative.fill([&](int64_t x, int64_t y) { return pixel_of<P>(iris_image(x, y, c.image == 2 ? 0.0 : 1.0)); });
    fill_random(in, 17);
    if (c.non_finite && is_float<P>()) {
        in.at(3, 2) = pixel_of<P>({nan, inf, 2.5, 1});
        in.at(5, 4) = pixel_of<P>({-inf, 0.5, 0.5, nan});
    }
    in.layer().premultiplied = c.in_premultiplied;
    out.layer().premultiplied = c.out_premultiplied;
    auto kernel = blurmond<P>(c, in.layer(), out.layer());
    if (c.colour && c.image) kernel.in.iris = alternative.layer();
    kernel.run(host.context());

    using Colour_Iris = Pixel_Rgb_Aos<typename P::layout, float, 1, 0, 1>;
    const test::Oracle_Iris iris = c.iris.radius == 0.0f ? test::Oracle_Iris{1, 1, true, {{1, 0, 0, 0}}}
                                   : c.colour && c.image
                                       ? drawn_iris<Colour_Iris>(host.context(), c.iris, alternative.layer())
                                       : drawn_iris<Pixel_Gray_32f>(host.context(), c.iris, Layer<P>{});
    test::Defocus_Oracle_Settings s{c.rule_horizontal, c.rule_vertical, outside_colour, c.gamma, c.preservative,
                                    c.additive, {}};
    for (int64_t r = 0; r < in.layer().height; ++r)
        for (int64_t x = 0; x < in.layer().width; ++x)
            s.selection_weight.push_back(c.unselected ? 0.0 : lightness_weight(in.at(x, r), c.in_premultiplied));
    const auto expected = test::defocus_oracle(oracle_image(in.layer()), iris, s, out.layer().x, out.layer().y,
                                               out.layer().width, out.layer().height, c.out_premultiplied);
    return worst_excess(out.layer(), expected, [&](const Rgba_D& want, int64_t, int64_t) { return tolerance<P>(c, want.a); });
}

TYPED_TEST(KernelBlurmond, MatchesDirectConvolutionWithTheDrawnIris) {
    test::Test_Host host(2);
    // Every instruction set the transforms may run on, whichever the processor picks.
    const Fft_Instructions chosen = fft_instructions();
    for (const Fft_Instructions instructions : {Fft_Instructions::sse2, Fft_Instructions::avx2_fma, Fft_Instructions::avx512}) {
        if (!fft_instructions_available(instructions)) continue;
        set_fft_instructions(instructions);
        for (const Case& c : cases)
            EXPECT_EQ(oracle_mismatch<TypeParam>(c, host), "") << c.name << ", instructions " << int(instructions);
    }
    set_fft_instructions(chosen);
}

// One light far above a background, or rows of them (more than the kernel splits off the transform).
// The transform's rounding, proportional to the largest value it carries, must not spoil the frame:
// every pixel holds the direct convolution within 1e-4, relative above 1 (the background beyond the
// light's reach, the disc within it), or with rows of lights within 1e-3 of the brightest; it stays
// finite at the top of the float range, and a convolution of non-negative data is never negative. A
// light in the corner is copied into the margins by the edge rule. The weighted and the colour iris
// modes carry the light on more channels; a softened iris spreads it further.
struct Highlight_Case {
    double value;
    bool gamma;
    double background = 0.1;
    int placed = 0;  // 0 alone at (20, 14), 1 alone at (0, 0), 2 every third column of rows 10 to 19, 3 alone at (47, 31)
    float preservative = 0.0f;
    bool colour = false;
    float soften = 0.0f;
    double iris_red = 1.0;  // the colour iris's red, far below its other channels when small
};

TEST(KernelBlurmondFloat, LightsFarAboveTheFrameStayExactAndFinite) {
    const double most = std::numeric_limits<float>::max();
    const Highlight_Case highlights[] = {
        {1e4, true},          {1e5, true},           {1e4, false},          {1e10, false},
        {1e30, true},         {most, true},          {most, false, 0, 1},   {1e4, false, 0.1, 3}, {1e5, true, 0},
        {1e4, false, -0.1},   {most, true, 0.1, 2},  {1e30, false, 0.1, 2}, {1e5, true, 0.1, 0, 2.0f},
        {1e4, true, 0.1, 0, 1.0f, true},   {1e5, true, 0.1, 0, 0.0f, false, 2.0f},
        {1e4, false, 0.1, 0, 0.0f, true, 0.0f, 1e-6}, {1e10, false, 0.1, 0, 0.0f, true, 2.0f}};
    test::Test_Host host(2);
    for (const Highlight_Case& h : highlights) {
        Case c{"one light", 0, 0, false, 0.0f, 0.0f, false, true, false, {}};
        c.gamma = h.gamma;
        c.iris.radius = 5.0f;
        c.preservative = h.preservative;
        c.colour = h.colour;
        c.iris.soften = h.soften;
        const int64_t lx = h.placed == 3 ? 47 : 20 * !h.placed, ly = h.placed == 3 ? 31 : 14 * !h.placed;
        test::Oracle_Image image{48, 32, 0, 0, true, {}};
        for (int64_t y = 0; y < 32; ++y)
            for (int64_t x = 0; x < 48; ++x) {
                const bool light = h.placed == 2 ? y >= 10 && y < 20 && x % 3 == 0 : x == lx && y == ly;
                const double v = light ? h.value : h.background;
                image.pixels.push_back({v, v, v, 1.0});
            }
        const auto check = [&]<class P>(P) {
            test::Owned_Layer<P> in(48, 32), out(48, 32), alternative(7, 6);
            in.layer().premultiplied = out.layer().premultiplied = alternative.layer().premultiplied = true;
            in.fill([&](int64_t x, int64_t y) { return pixel_of<P>(image.at(x, y)); });
            alternative.fill([&](int64_t x, int64_t y) { return pixel_of<P>(iris_image(x, y, h.iris_red)); });
            auto kernel = blurmond<P>(c, in.layer(), out.layer());
            kernel.in.iris = h.colour ? alternative.layer() : Layer<P>{};
            kernel.run(host.context());

            test::Defocus_Oracle_Settings s{0, 0, {}, h.gamma, h.preservative, 0.0, {}};
            for (const Rgba_D& p : image.pixels) s.selection_weight.push_back(lightness_weight(pixel_of<P>(p), true));
            using Colour_Iris = Pixel_Rgb_Aos<typename P::layout, float, 1, 0, 1>;
            test::Oracle_Iris iris = h.colour ? drawn_iris<Colour_Iris>(host.context(), c.iris, alternative.layer())
                                              : drawn_iris<Pixel_Gray_32f>(host.context(), c.iris, Layer<P>{});
            // The softening blur leaves rounding residues of 1e-7 of a channel's largest where the iris holds nothing.
            Rgba_D largest{};
            for (const Rgba_D& p : iris.pixels)
                largest = {std::max(largest.r, std::fabs(p.r)), std::max(largest.g, std::fabs(p.g)),
                           std::max(largest.b, std::fabs(p.b)), std::max(largest.a, std::fabs(p.a))};
            for (Rgba_D& p : iris.pixels)
                for (auto [v, most] : {std::pair{&p.r, largest.r}, {&p.g, largest.g}, {&p.b, largest.b}, {&p.a, largest.a}})
                    *v = std::fabs(*v) < 1e-5 * most ? 0.0 : *v;
            const auto expected = test::defocus_oracle(image, iris, s, 0, 0, 48, 32, true);
            double brightest = 0.0;
            for (const Rgba_D& p : expected) brightest = std::max(brightest, p.r);
            const auto tolerance = [&](const Rgba_D& want, int64_t, int64_t) {
                return h.placed == 2 ? 1e-3 * brightest : 1e-4 * std::max({1.0, std::fabs(want.r), std::fabs(want.g), std::fabs(want.b)});
            };
            EXPECT_EQ(worst_excess(out.layer(), expected, tolerance), "") << h.value << (h.gamma ? " linear" : "");
            float lowest = 0.0f;
            for (int64_t y = 0; y < 32; ++y)
                for (int64_t x = 0; x < 48; ++x) lowest = std::min({lowest, out.at(x, y).r(), out.at(x, y).a()});
            EXPECT_TRUE(h.background < 0.0 || lowest == 0.0f) << h.value << (h.gamma ? " linear: " : ": ") << lowest;
        };
        check(Pixel_Argb_32f{});
        check(Pixel_Bgra_32f{});
    }
}

// An outside colour beyond the float range (a control out of its range) counts as 0 where it is not
// finite, as a source channel does. Straight alpha of infinity once multiplied into infinite light
// that no census threshold could hold.
TEST(KernelBlurmondFloat, NonFiniteOutsideColourCountsAsZero) {
    test::Test_Host host(2);
    const Case c{"colour all round", 3, 3, false, 0.0f, 0.0f, false, false, true, {}};
    std::vector<float> frames[2];
    for (const int run : {0, 1}) {
        test::Owned_Layer<Pixel_Argb_32f> in(11, 8), out(11, 8);
        fill_random(in, 5);
        auto kernel = blurmond<Pixel_Argb_32f>(c, in.layer(), out.layer());
        kernel.in.outside_color[3] = run == 0 ? std::numeric_limits<float>::infinity() : 0.0f;
        kernel.in.outside_color[0] = run == 0 ? std::numeric_limits<float>::quiet_NaN() : 0.0f;
        kernel.run(host.context());
        for (int64_t y = 0; y < 8; ++y)
            for (int64_t x = 0; x < 11; ++x) frames[run].insert(frames[run].end(), out.at(x, y).c, out.at(x, y).c + 4);
    }
    EXPECT_EQ(frames[0], frames[1]);
}

// The output may reach beyond the buffer (a missing or smaller input), or lie wholly above or below it:
// those pixels are transparent black instead of memory outside the buffer.
TEST(KernelBlurmondFloat, OutputBeyondTheBufferIsTransparentBlack) {
    using Float = Pixel_Argb_32f;
    test::Test_Host host(2);
    const Blurmond_Geometry g = blurmond_geometry(4, 3, Iris_Extent_Settings{.radius = 1.0f});
    // Output rows around the buffer, wholly above and wholly below it; ordinary values, and a light that
    // the copy back adds in double.
    for (const int64_t top : {-15, -60, 20}) {
        for (const float light : {1.0f, 1e4f}) {
            test::Owned_Layer<Float> in(4, 3), out(60, 40, -20, top);
            in.fill(Float{{1, 0.5f, 0.5f, 0.5f}});
            in.at(1, 1) = Float{{1, light, light, light}};
            out.fill(Float{{9, 9, 9, 9}});
            in.layer().premultiplied = out.layer().premultiplied = true;
            const Case c{"edge pixels", 0, 0, false, 0.0f, 0.0f, false, true, false, {1.0f}};
            blurmond<Float>(c, in.layer(), out.layer()).run(host.context());
            int64_t inside_count = 0;
            for (int64_t y = 0; y < 40; ++y)
                for (int64_t x = 0; x < 60; ++x) {
                    const int64_t bx = x - 20 + g.margin_x, by = y + top + g.margin_y;
                    const bool inside = bx >= 0 && bx < g.width && by >= 0 && by < g.height;
                    const Float& p = out.at(x, y);
                    inside_count += inside;
                    ASSERT_TRUE(inside ? std::isfinite(p.r()) && p.a() > 0.0f : p.r() == 0.0f && p.a() == 0.0f)
                        << x - 20 << ", " << y + top << ": " << p.r() << ", " << p.a() << " with a light of " << light;
                }
            EXPECT_EQ(inside_count, top == -15 ? g.width * g.height : 0);
        }
    }
}

}  // namespace
}  // namespace nb
