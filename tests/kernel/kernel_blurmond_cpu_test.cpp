// The defocus kernel against a direct spatial convolution in double, and its edge cases and mended faults.
#include "kernel/kernel_blurmond_cpu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include "kernel/blurmond_geometry.h"
#include "kernel/kernel_draw_iris_cpu.h"
#include "tests/support/defocus_oracle.h"
#include "tests/support/log_sandbox.h"
#include "tests/support/test_host.h"
#include "util/layer_buffer.h"

namespace nb {
namespace {

using test::Oracle_Image;
using test::Oracle_Iris;
using test::Rgba_D;

template <class P>
constexpr double white() {
    using T = typename P::component;
    return std::is_same_v<T, uint8_t> ? 255.0 : std::is_same_v<T, uint16_t> ? 32768.0 : 1.0;
}

template <class P>
constexpr bool is_float() {
    return std::is_same_v<typename P::component, float>;
}

template <class P>
Rgba_D unit(const P& p) {
    return {p.r() / white<P>(), p.g() / white<P>(), p.b() / white<P>(), p.a() / white<P>()};
}

// Unit colour to a pixel: integers rounded to the nearest code value.
template <class P>
P pixel_of(const Rgba_D& c) {
    using T = typename P::component;
    const auto code = [](double v) { return is_float<P>() ? T(v) : T(std::lround(v * white<P>())); };
    P p{};
    p.r() = code(c.r);
    p.g() = code(c.g);
    p.b() = code(c.b);
    p.a() = code(c.a);
    return p;
}

template <class P>
struct Frame {
    Layer_Buffer buffer;
    Layer<P> layer;
};

template <class P, class F>
Frame<P> make_frame(const Render_Context& context, int64_t w, int64_t h, int64_t x, int64_t y, bool premultiplied,
                    F&& colour) {
    Frame<P> f{allocate_layer_buffer<P>(context, w, h, premultiplied, x, y, 1.0f, 1.0f, 1.0f), {}};
    f.layer = f.buffer.template layer<P>();
    for (int64_t r = 0; r < h; ++r)
        for (int64_t c = 0; c < w; ++c) f.layer.at(c, r) = pixel_of<P>(colour(c, r));
    return f;
}

template <class P>
Oracle_Image oracle_image(const Layer<P>& layer) {
    Oracle_Image image{layer.width, layer.height, layer.x, layer.y, layer.premultiplied, {}};
    for (int64_t r = 0; r < layer.height; ++r)
        for (int64_t c = 0; c < layer.width; ++c) image.pixels.push_back(unit(layer.at(c, r)));
    return image;
}

struct Iris_Settings {
    float radius = 3.0f;
    float aspect = 0.0f;
    float soften = 0.0f;
    int32_t facets = 6;
    float angle = 0.3f;
    float rounded = 0.2f;
};

// The product's own iris drawing, into a layer large enough to hold the whole iris.
template <class Drawn_P, class P>
Oracle_Iris drawn_iris(const Render_Context& context, const Iris_Settings& s, const Layer<P>& alternative) {
    const int64_t size = 2 * static_cast<int64_t>(4.0f * (s.radius + s.soften) + 8.0f);
    const Layer_Buffer buffer = allocate_layer_buffer<Drawn_P>(context, size, size, true, 0, 0, 1.0f, 1.0f, 1.0f);
    Kernel_Draw_Iris<Layer<Drawn_P>, Layer<P>> draw;
    draw.in.out = buffer.layer<Drawn_P>();
    draw.in.iris = alternative;
    draw.in.radius = s.radius;
    draw.in.rounded = s.rounded;
    draw.in.aspect = s.aspect;
    draw.in.angle = s.angle;
    draw.in.facets = s.facets;
    draw.in.soften = s.soften;
    draw.run(context);
    Oracle_Iris iris{size, size, Drawn_P::is_gray, {}};
    for (int64_t r = 0; r < size; ++r)
        for (int64_t c = 0; c < size; ++c) {
            const Drawn_P& p = draw.in.out.at(c, r);
            if constexpr (Drawn_P::is_gray) iris.pixels.push_back({p.v(), p.v(), p.v(), p.v()});
            else iris.pixels.push_back(unit(p));
        }
    return iris;
}

// Selection settings whose weight is easy to state: every hue and saturation passes, and the weight
// is the lightness L of the premultiplied colour over 0.99 (a tent rising to the range's end), or 0
// above 0.99.
Highlight_Selection_Settings lightness_selection() {
    Highlight_Selection_Settings s;
    s.selection_enabled = true;
    s.lightness_end = 0.99;
    s.lightness_soften = 1.0;
    return s;
}

template <class P>
double lightness_weight(const P& pixel, bool premultiplied) {
    P p = pixel;
    if (!premultiplied) {
        if constexpr (is_float<P>()) {
            p.r() *= p.a(), p.g() *= p.a(), p.b() *= p.a();
        } else {
            const int64_t w = static_cast<int64_t>(white<P>());
            p.r() = static_cast<typename P::component>(p.r() * int64_t(p.a()) / w);
            p.g() = static_cast<typename P::component>(p.g() * int64_t(p.a()) / w);
            p.b() = static_cast<typename P::component>(p.b() * int64_t(p.a()) / w);
        }
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
};

// Every edge rule in each direction, linear light on and off, both highlight boosts alone and
// together, both alpha conventions, aspect and rotation, colour and gray irises.
const Case cases[] = {
    {"border, plain", 0, 0, false, 0.0f, 0.0f, false, true, true, {}},
    {"mirrored, gamma", 1, 1, true, 0.0f, 0.0f, false, true, true, {}},
    {"repeated then border, straight alpha", 2, 0, false, 0.0f, 0.0f, false, false, false, {}},
    {"colour outside, gamma", 3, 3, true, 0.0f, 0.0f, false, true, true, {}},
    {"border then colour, additive", 0, 3, false, 0.0f, 1.5f, false, true, false, {}},
    {"mirrored, preservative weighted", 1, 0, false, 2.0f, 0.0f, false, false, true, {}},
    {"repeated, both boosts, gamma", 2, 2, true, 1.0f, 0.5f, false, true, true, {}},
    {"wide iris", 0, 1, false, 0.0f, 0.0f, false, true, true, {3.5f, 0.75f, 0.0f, 5, 0.0f, 0.0f}},
    {"tall softened iris, gamma", 1, 2, true, 0.0f, 0.0f, false, true, true, {2.5f, -0.5f, 1.5f, 7, 1.0f, 0.5f}},
    {"colour iris", 0, 0, false, 0.0f, 0.0f, true, true, true, {}},
    {"colour iris, weighted, gamma", 1, 3, true, 1.5f, 0.5f, true, false, false, {}},
    {"colour iris, additive", 2, 0, false, 0.0f, 1.0f, true, true, true, {}},
};

template <class P>
class KernelBlurmond : public testing::Test {};

using Pixels = testing::Types<Pixel_Argb_8, Pixel_Argb_16, Pixel_Argb_32f, Pixel_Bgra_8, Pixel_Bgra_16, Pixel_Bgra_32f>;
TYPED_TEST_SUITE(KernelBlurmond, Pixels);

Rgba_D random_colour(std::mt19937& random) {
    std::uniform_real_distribution<double> colour(0.0, 1.0), alpha(0.4, 1.0);
    return {colour(random), colour(random), colour(random), alpha(random)};
}

// A small iris image: a warm disc with a cooler, more transparent rim.
template <class P>
Frame<P> alternative_iris(const Render_Context& context) {
    return make_frame<P>(context, 7, 6, 0, 0, true, [](int64_t c, int64_t r) {
        const double d = std::hypot(c - 3.0, r - 2.5);
        return d < 2.0 ? Rgba_D{0.9, 0.6, 0.3, 1.0} : d < 3.0 ? Rgba_D{0.1, 0.3, 0.5, 0.6} : Rgba_D{0, 0, 0, 0};
    });
}

template <class P>
Kernel_Blurmond<Layer<P>> blurmond(const Case& c, const Layer<P>& in, const Layer<P>& out) {
    Kernel_Blurmond<Layer<P>> k;
    k.in.in = in;
    k.in.out = out;
    k.in.selection = in;
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
    const float outside[4] = {0.2f, 0.7f, 0.4f, 0.5f};
    std::copy(outside, outside + 4, k.in.outside_color);
    k.in.selection_curve = lightness_selection();
    return k;
}

// Float: the transforms' rounding, a few float epsilons per level of log2(pw * ph) <= 12 relative to
// the largest (boosted) value, times the slope 4.5 of the curve near black, and divided by alpha for
// straight output. Integers: the float result may sit on the other side of a rounding boundary.
template <class P>
double tolerance(const Case& c, double alpha) {
    if (!is_float<P>()) return 1.0 / white<P>() + 1e-9;
    const double magnitude = 1.0 + c.preservative + c.additive;
    const double t = 16.0 * std::numeric_limits<float>::epsilon() * 12.0 * 4.5 * magnitude;
    return c.out_premultiplied ? t : t / std::max(alpha, 0.05);
}

// Empty when every channel of out lies within tolerance(pixel's expected alpha) of expected; otherwise
// the worst pixel and both values.
template <class P, class Tolerance>
std::string worst_excess(const Layer<P>& out, const std::vector<Rgba_D>& expected, Tolerance&& tolerance) {
    double worst = 0.0;
    std::string where;
    for (int64_t r = 0; r < out.height; ++r)
        for (int64_t x = 0; x < out.width; ++x) {
            const Rgba_D want = expected[r * out.width + x], got = unit(out.at(x, r));
            // Integer outputs clamp to 0..1; compare against the clamped reference.
            const auto stored = [](double v) { return is_float<P>() ? v : std::clamp(v, 0.0, 1.0); };
            const double wanted[4] = {stored(want.r), stored(want.g), stored(want.b), stored(want.a)};
            const double actual[4] = {got.r, got.g, got.b, got.a};
            for (int ch = 0; ch < 4; ++ch) {
                const double excess = std::fabs(actual[ch] - wanted[ch]) - tolerance(want.a);
                if (excess <= worst) continue;
                worst = excess;
                where = "pixel (" + std::to_string(x) + ", " + std::to_string(r) + ") channel " + std::to_string(ch) +
                        ": got " + std::to_string(actual[ch]) + ", want " + std::to_string(wanted[ch]);
            }
        }
    return where;
}

TYPED_TEST(KernelBlurmond, MatchesDirectConvolutionWithTheDrawnIris) {
    using P = TypeParam;
    test::Test_Host host(2);
    const Render_Context context = host.context();
    for (const Case& c : cases) {
        std::mt19937 random(17);
        const auto in = make_frame<P>(context, 11, 8, 5, -3, c.in_premultiplied,
                                      [&](int64_t, int64_t) { return random_colour(random); });
        const auto out = make_frame<P>(context, 11, 8, 5, -3, c.out_premultiplied,
                                       [](int64_t, int64_t) { return Rgba_D{}; });
        const auto alternative = alternative_iris<P>(context);
        auto kernel = blurmond<P>(c, in.layer, out.layer);
        if (c.colour) kernel.in.iris = alternative.layer;
        kernel.run(context);

        const Oracle_Iris iris = c.colour ? drawn_iris<Pixel_Rgb_Aos<typename P::layout, float, 1, 0, 1>>(
                                                context, c.iris, alternative.layer)
                                          : drawn_iris<Pixel_Gray_32f>(context, c.iris, Layer<P>{});
        test::Defocus_Oracle_Settings s;
        s.outside_horizontal = c.rule_horizontal;
        s.outside_vertical = c.rule_vertical;
        s.outside_color = {0.2, 0.7, 0.4, 0.5};
        s.gamma = c.gamma;
        s.preservative = c.preservative;
        s.additive = c.additive;
        s.selection_x = in.layer.x, s.selection_y = in.layer.y;
        s.selection_width = in.layer.width, s.selection_height = in.layer.height;
        for (int64_t r = 0; r < in.layer.height; ++r)
            for (int64_t x = 0; x < in.layer.width; ++x)
                s.selection_weight.push_back(lightness_weight(in.layer.at(x, r), c.in_premultiplied));
        const auto expected = test::defocus_oracle(oracle_image(in.layer), iris, s, out.layer.x, out.layer.y,
                                                   out.layer.width, out.layer.height, c.out_premultiplied);
        EXPECT_EQ(worst_excess(out.layer, expected, [&](double alpha) { return tolerance<P>(c, alpha); }), "")
            << c.name;
    }
}

TYPED_TEST(KernelBlurmond, RadiusZeroIsAPlainCopyWhateverTheOtherSettings) {
    using P = TypeParam;
    test::Test_Host host(2);
    const Render_Context context = host.context();
    std::mt19937 random(2);
    const auto in = make_frame<P>(context, 9, 5, 0, 0, false, [&](int64_t, int64_t) { return random_colour(random); });
    const auto out = make_frame<P>(context, 9, 5, 0, 0, true, [](int64_t, int64_t) { return Rgba_D{}; });
    Case c = cases[6];
    c.iris.radius = 0.0f;
    c.iris.soften = 4.0f;
    blurmond<P>(c, in.layer, out.layer).run(context);
    for (int64_t r = 0; r < 5; ++r)
        for (int64_t x = 0; x < 9; ++x)
            for (int ch = 0; ch < 4; ++ch)
                ASSERT_EQ(out.layer.at(x, r).c[ch], in.layer.at(x, r).c[ch]) << "pixel " << x << ", " << r;
}

using Float_Argb = Layer<Pixel_Argb_32f>;
using Colour_Of = std::function<Rgba_D(int64_t, int64_t)>;

Frame<Pixel_Argb_32f> float_frame(const Render_Context& context, int64_t w, int64_t h, const Colour_Of& colour,
                                  int64_t x = 0, int64_t y = 0) {
    return make_frame<Pixel_Argb_32f>(context, w, h, x, y, true, colour);
}

Colour_Of constant(Rgba_D colour) {
    return [colour](int64_t, int64_t) { return colour; };
}

Rgba_D finite(const Rgba_D& c) {
    const auto f = [](double v) { return std::isfinite(v) ? v : 0.0; };
    return {f(c.r), f(c.g), f(c.b), f(c.a)};
}

// Scenes that once went wrong, against the oracle on the same (cleaned) image under the border rule.
struct Float_Scene {
    const char* name;
    int64_t width, height;
    Iris_Settings iris;
    Colour_Of colour;
    // Transform rounding, a few float epsilons per level of log2(pw * ph), relative to the largest value:
    // 2.5 in a 16 x 16 buffer stays below 1e-5; the 64-wide wide-iris buffer is held to 1e-4.
    double tolerance;
};

const Colour_Of with_non_finite = [](int64_t x, int64_t y) {
    const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
    if (x == 3 && y == 2) return Rgba_D{nan, inf, 2.5, 1};
    if (x == 5 && y == 4) return Rgba_D{-inf, 0.5, 0.5, nan};
    return Rgba_D{0.3, 0.6, 0.9, 1};
};

const Float_Scene float_scenes[] = {
    // A NaN or infinite source channel counts as 0; finite values above 1 are kept.
    {"non-finite channels count as zero", 9, 7, {}, with_non_finite, 1e-5},
    // Aspect 0.75 at radius 10 reaches 1.75 (radius + 1) = 19.25 pixels sideways, beyond the reach
    // radius + soften = 10. With margins of 10 a 44-pixel row fits a 64-pixel buffer, and the taps of
    // the right edge would wrap round onto the black left edge.
    {"wide iris does not wrap round", 44, 6, {10.0f, 0.75f, 0.0f, 8, 0.0f, 0.0f},
     [](int64_t x, int64_t) { return x < 12 ? Rgba_D{0, 0, 0, 1} : Rgba_D{1, 1, 1, 1}; }, 1e-4},
};

TEST(KernelBlurmondFloat, ScenesThatOnceWentWrongMatchTheOracle) {
    test::Test_Host host(2);
    const Render_Context context = host.context();
    for (const Float_Scene& scene : float_scenes) {
        const auto in = float_frame(context, scene.width, scene.height, scene.colour);
        const auto cleaned = float_frame(context, scene.width, scene.height,
                                         [&](int64_t x, int64_t y) { return finite(scene.colour(x, y)); });
        const auto out = float_frame(context, scene.width, scene.height, constant({}));
        Case c = cases[0];
        c.iris = scene.iris;
        blurmond<Pixel_Argb_32f>(c, in.layer, out.layer).run(context);
        const Oracle_Iris iris = drawn_iris<Pixel_Gray_32f>(context, c.iris, Float_Argb{});
        const auto expected =
            test::defocus_oracle(oracle_image(cleaned.layer), iris, {}, 0, 0, scene.width, scene.height, true);
        EXPECT_EQ(worst_excess(out.layer, expected, [&](double) { return scene.tolerance; }), "") << scene.name;
    }
}

// The output may reach beyond the buffer (a missing or smaller input): those pixels are transparent
// black instead of memory outside the buffer.
TEST(KernelBlurmondFloat, OutputBeyondTheBufferIsTransparentBlack) {
    test::Test_Host host(2);
    const Render_Context context = host.context();
    const auto in = float_frame(context, 4, 3, constant({0.5, 0.5, 0.5, 1}));
    const auto out = float_frame(context, 60, 40, constant({9, 9, 9, 9}), -20, -15);
    Case c = cases[0];
    c.iris.radius = 1.0f;
    blurmond<Pixel_Argb_32f>(c, in.layer, out.layer).run(context);
    Iris_Extent_Settings extent;
    extent.radius = 1.0f;
    const Blurmond_Geometry g = blurmond_geometry(4, 3, 1.0f, 1.0f, extent);
    int64_t inside_count = 0;
    for (int64_t y = 0; y < 40; ++y)
        for (int64_t x = 0; x < 60; ++x) {
            const int64_t bx = x - 20 + g.margin_x, by = y - 15 + g.margin_y;
            const bool inside = bx >= 0 && bx < g.width && by >= 0 && by < g.height;
            const Pixel_Argb_32f& p = out.layer.at(x, y);
            inside_count += inside;
            const bool transparent_black = p.r() == 0.0f && p.a() == 0.0f;
            const bool rendered = std::isfinite(p.r()) && p.a() > 0.0f;
            ASSERT_TRUE(inside ? rendered : transparent_black)
                << x - 20 << ", " << y - 15 << ": " << p.r() << ", " << p.a();
        }
    EXPECT_EQ(inside_count, g.width * g.height);
}

// An iris that sums to 0 must not divide by 0: nothing drawn for a negative radius gives 0 everywhere;
// a coloured iris without any red gives red 0 while the other channels are convolved as usual (a
// uniform image under the border rule keeps its value).
TEST(KernelBlurmondFloat, IrisChannelSummingToZeroGivesZeroNotNan) {
    test::Test_Host host(2);
    const Render_Context context = host.context();
    const auto in = float_frame(context, 8, 6, constant({0.5, 0.2, 0.1, 1}));
    const auto no_red = float_frame(context, 5, 5, [](int64_t x, int64_t y) {
        return std::abs(x - 2) + std::abs(y - 2) <= 2 ? Rgba_D{0, 0.8, 0.4, 1} : Rgba_D{};
    });
    for (const bool coloured : {false, true}) {
        const auto out = float_frame(context, 8, 6, constant({9, 9, 9, 9}));
        Case c = coloured ? cases[0] : cases[1];
        c.colour = coloured;
        if (!coloured) c.iris.radius = -2.0f;
        auto kernel = blurmond<Pixel_Argb_32f>(c, in.layer, out.layer);
        if (coloured) kernel.in.iris = no_red.layer;
        kernel.run(context);
        const Rgba_D want = coloured ? Rgba_D{0.0, 0.2, 0.1, 1.0} : Rgba_D{};
        for (int64_t y = 0; y < 6; ++y)
            for (int64_t x = 0; x < 8; ++x) {
                const Rgba_D got = unit(out.layer.at(x, y));
                const std::string where = std::string(coloured ? "no red" : "empty") + " iris at " +
                                          std::to_string(x) + ", " + std::to_string(y);
                ASSERT_EQ(got.r, 0.0) << where;
                ASSERT_NEAR(got.g, want.g, 1e-5) << where;
                ASSERT_NEAR(got.b, want.b, 1e-5) << where;
                ASSERT_NEAR(got.a, want.a, 1e-5) << where;
            }
    }
}

// Without an alternative iris there is nothing coloured to use: the gray iris is drawn.
TEST(KernelBlurmondFloat, ColouredIrisWithoutAnImageRendersLikeTheGrayIris) {
    test::Test_Host host(2);
    const Render_Context context = host.context();
    std::mt19937 random(8);
    const auto in = float_frame(context, 9, 7, [&](int64_t, int64_t) { return random_colour(random); });
    const auto gray = float_frame(context, 9, 7, constant({}));
    const auto coloured = float_frame(context, 9, 7, constant({}));
    Case c = cases[6];
    blurmond<Pixel_Argb_32f>(c, in.layer, gray.layer).run(context);
    c.colour = true;
    blurmond<Pixel_Argb_32f>(c, in.layer, coloured.layer).run(context);
    for (int64_t y = 0; y < 7; ++y)
        for (int64_t x = 0; x < 9; ++x)
            for (int ch = 0; ch < 4; ++ch)
                ASSERT_EQ(coloured.layer.at(x, y).c[ch], gray.layer.at(x, y).c[ch]) << x << ", " << y;
}

// Both copy passes open their own timing entry with the bytes they move.
TEST(KernelBlurmondFloat, CopyPassesRecordTimingEntries) {
    test::Log_Sandbox log;
    log.create_log_file();
    nb::log("timing wanted\n", 0);  // opens the file, which activates timing
    test::Test_Host host(1);
    const Render_Context context = host.context();
    const auto in = float_frame(context, 5, 4, constant({0.5, 0.5, 0.5, 1}));
    const auto out = float_frame(context, 5, 4, constant({}));
    blurmond<Pixel_Argb_32f>(cases[0], in.layer, out.layer).run(context);
    const auto& root = host.timing()->root();
    ASSERT_EQ(root->children.size(), 1u);
    // Margins of 3 around the 5 x 4 source give 16 x 16 buffers of 18 float pixels a row, 320
    // bytes; the source has 5 pixels of 16 bytes padded to 128 bytes a row.
    std::vector<int64_t> copies;
    for (const auto& child : root->children[0]->children)
        if (child->label.starts_with("copy")) copies.push_back(child->workload);
    EXPECT_EQ(copies, (std::vector<int64_t>{4 * 128 + 16 * 320, 4 * 128 + 16 * 320}));
}

}  // namespace
}  // namespace nb
