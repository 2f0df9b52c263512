// Background distortion against the direct model (its map taken through the angle, the long way round),
// and degenerate input the model leaves out.
#include "kernel/kernel_refraction_cpu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <type_traits>
#include <vector>

#include "kernel/kernel_refraction_preperation_cpu.h"
#include "tests/support/image_compare.h"
#include "tests/support/refraction_oracle.h"
#include "tests/support/test_host.h"

namespace nb {
namespace {

using Float_Pixel = Pixel_Argb_32f;

// A map written by hand: every pixel the same vector unless changed.
struct Hand_Map {
    Hand_Map(int64_t width, int64_t height, Refraction_Vector v) : vectors(static_cast<size_t>(width * height), v) {
        map = {vectors.data(), width * static_cast<int64_t>(sizeof(Refraction_Vector)), width, height};
    }
    std::vector<Refraction_Vector> vectors;
    Refraction_Map map;
};

struct Distortion {
    float strength = 1000.0f;
    int32_t antialias = 0;
    Outside horizontal = Outside::border;
    Outside vertical = Outside::border;
    Rgba_F color{};
};

template <class P>
void refract(const Layer<P>& out, const Layer<P>& background, const Refraction_Map& map, const Distortion& d) {
    Kernel_Refraction<Layer<P>> kernel;
    kernel.in = {out, background, map, d.strength, d.antialias, d.horizontal, d.vertical, d.color};
    test::Test_Host host(2);
    kernel.run(host.context());
}

template <class P>
P pixel(float r, float g, float b, float a) {
    P p{};
    p.r() = static_cast<typename P::component>(r);
    p.g() = static_cast<typename P::component>(g);
    p.b() = static_cast<typename P::component>(b);
    p.a() = static_cast<typename P::component>(a);
    return p;
}

// Float results below come from a handful of single-precision products and sums of values up to 1
// (plus bilinear weights of displacements up to 255 pixels, 1.5e-5 pixel apart): 1e-5 covers them.
constexpr double float_tolerance = 1e-5;

void expect_rgba(const Float_Pixel& p, double r, double g, double b, double a, const std::string& what) {
    const double error = std::max({std::fabs(p.r() - r), std::fabs(p.g() - g), std::fabs(p.b() - b), std::fabs(p.a() - a)});
    EXPECT_LE(error, float_tolerance) << what << ": " << p.r() << ", " << p.g() << ", " << p.b() << ", " << p.a();
}

// Degenerate settings fall back to the plain composite instead of NaN positions or no samples at all.
TEST(KernelRefraction, DegenerateSettingsGiveThePlainComposite) {
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    const Distortion cases[] = {{.strength = nan}, {.strength = inf}, {.strength = 1000.0f, .antialias = -5}};
    for (const Distortion& d : cases) {
        test::Owned_Layer<Float_Pixel> out(2, 1), background(300, 1);
        background.fill([](int64_t x, int64_t) { return pixel<Float_Pixel>(x / 1000.0f, 0, 0, 1); });
        refract(out.layer(), background.layer(), Hand_Map(2, 1, {1, 0, 0.5f}).map, d);
        // Negative antialias counts as one sample: x + 127.5. Non-finite strengths displace nothing: x.
        const double expected_shift = d.antialias < 0 ? 127.5 : 0.0;
        for (int64_t x = 0; x < 2; ++x)
            EXPECT_NEAR(out.at(x, 0).r(), (x + expected_shift) / 1000.0, float_tolerance)
                << "strength " << d.strength << ", antialias " << d.antialias;
    }
}

// An empty background changes nothing and an empty map displaces nothing. An outside colour that is
// not finite must not reach the integer conversion: NaN stores 0, infinities clamp.
TEST(KernelRefraction, EmptyInputsAndNonFiniteOutsideColour) {
    test::Owned_Layer<Float_Pixel> out(2, 1), background(2, 1);
    out.fill([](int64_t, int64_t) { return pixel<Float_Pixel>(0.5f, 0, 0, 0.25f); });
    background.fill([](int64_t, int64_t) { return pixel<Float_Pixel>(0, 1, 0, 1); });
    refract(out.layer(), Layer<Float_Pixel>{}, Hand_Map(2, 1, {1, 0, 1}).map, {});
    expect_rgba(out.at(0, 0), 0.5, 0.0, 0.0, 0.25, "empty background");
    refract(out.layer(), background.layer(), Refraction_Map{}, {});
    expect_rgba(out.at(0, 0), 0.125, 0.75, 0.0, 1.0, "empty map");
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    test::Owned_Layer<Pixel_Argb_8> eight(2, 1), eight_background(2, 1);
    refract(eight.layer(), eight_background.layer(), Hand_Map(2, 1, {1, 0, 1}).map,
            {.horizontal = Outside::color, .color = {nan, inf, -inf, 1.0f}});
    const Pixel_Argb_8& p = eight.at(1, 0);
    EXPECT_TRUE(p.r() == 0 && p.g() == 255 && p.b() == 0 && p.a() == 255) << +p.r() << ", " << +p.g() << ", " << +p.b();
}

// ---- Every variant against the double-precision oracle, pipeline style: the map is prepared from out.

struct Oracle_Case {
    const char* name;
    float strength;
    int32_t antialias;
    Outside horizontal, vertical;
    bool out_premultiplied, background_premultiplied;
    float factor;
};

// Every edge rule in each direction, displacements reaching several background widths away, every
// sub-sample count, both alpha conventions for out and the background, and half resolution.
const Oracle_Case oracle_cases[] = {
    {"BorderAntialias2", 40.0f, 2, Outside::border, Outside::border, false, false, 1.0f},
    {"MirroredRepeated", 60.0f, 1, Outside::mirrored, Outside::repeated, false, true, 1.0f},
    {"ColorMirroredHalfResolution", 80.0f, 0, Outside::color, Outside::mirrored, true, false, 0.5f},
    {"RepeatedColorPremultiplied", 50.0f, 3, Outside::repeated, Outside::color, true, true, 1.0f},
};

template <class P>
class KernelRefractionOracle : public testing::Test {};

using Variants = testing::Types<Pixel_Argb_8, Pixel_Argb_16, Pixel_Argb_32f, Pixel_Bgra_8, Pixel_Bgra_16,
                                Pixel_Bgra_32f>;
TYPED_TEST_SUITE(KernelRefractionOracle, Variants);

// An opaque core with a soft rim, in a frame that is transparent in one corner and rises by 0.004 a
// pixel towards the other (gradients far below the rim's but still with a direction); random colours,
// and a background smaller than out and offset from it, so displaced samples leave it on every side.
// Nothing displaces the transparent corner, which lies above and beyond the background's right edge:
// there the plain background sample, clamped to the edge, is all that shows.
template <class P>
void fill_scene(test::Owned_Layer<P>& out, test::Owned_Layer<P>& background) {
    constexpr double white = double(P::white);
    uint32_t state = 777;
    auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return ((state >> 8) % 10000) / 9999.0;
    };
    auto make = [&](double alpha) {
        const bool integer = white != 1.0;
        auto component = [&](double v) { return static_cast<float>(integer ? std::floor(v * white + 0.5) : v * white); };
        // Float colours may exceed white.
        return pixel<P>(component(next() * alpha), component(next()), component(next() * (integer ? 1.0 : 1.5)),
                        component(alpha));
    };
    out.fill([&](int64_t x, int64_t y) {
        const double distance = std::hypot(x - 4.5, y - 3.5);
        return make(std::clamp(std::max(1.6 - distance / 1.5, 0.004 * double(9 - x + y) - 0.02), 0.0, 1.0));
    });
    background.fill([&](int64_t, int64_t) { return make(0.3 + 0.7 * next()); });
}

TYPED_TEST(KernelRefractionOracle, MatchesTheDirectModel) {
    using P = TypeParam;
    constexpr double white = double(P::white);
    // Integer results are rounded from single precision here and from double in the model; where a value
    // lies within float noise of a rounding edge the two may land one code value apart. Float colours
    // reach 1.5, which scales the float tolerance.
    const double tolerance = white == 1.0 ? 1.5 * float_tolerance : 1.0;
    for (const Oracle_Case& c : oracle_cases) {
        test::Owned_Layer<P> out(10, 8, 3, 2), original(10, 8, 3, 2), background(9, 7, 1, 4);
        fill_scene(out, background);
        original.fill([&](int64_t x, int64_t y) { return out.at(x, y); });
        for (auto* image : {&out, &original}) {
            image->layer().premultiplied = c.out_premultiplied;
            image->layer().horizontal_factor = image->layer().vertical_factor = c.factor;
        }
        background.layer().premultiplied = c.background_premultiplied;
        const Rgba_F color{0.25f, 0.5f, 0.75f, 0.5f};

        test::Test_Host host(2);  // outlives the preparation, which holds host memory
        Kernel_Refraction_Preperation<Layer<P>> preparation;
        preparation.in.in = out.layer();
        preparation.run(host.context());
        refract(out.layer(), background.layer(), preparation.in.map,
                {c.strength, c.antialias, c.horizontal, c.vertical, color});

        const test::Plane map = test::oracle_refraction_map(original.layer());
        const test::Oracle_Refraction_Settings settings{c.strength, c.antialias, static_cast<int>(c.horizontal),
                                                        static_cast<int>(c.vertical), {0.25, 0.5, 0.75, 0.5}};
        test::Plane actual(10, 8, 4), expected(10, 8, 4);
        for (int64_t y = 0; y < 8; ++y)
            for (int64_t x = 0; x < 10; ++x) {
                const test::Oracle_Pixel e = test::oracle_refracted(original.layer(), background.layer(), map, settings, x, y);
                const test::Oracle_Pixel a = test::oracle_pixel(out.at(x, y));
                for (int k = 0; k < 4; ++k) expected.at(x, y, k) = e[k], actual.at(x, y, k) = a[k];
            }
        const test::Worst_Difference worst = test::worst_difference(actual, expected);
        EXPECT_LE(worst.difference, tolerance) << c.name << ", channels R, G, B, A: " << worst.describe();
    }
}

}  // namespace
}  // namespace nb
