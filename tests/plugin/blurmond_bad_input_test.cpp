// The plug-in binary given frames a compositor can hand it but no one designs for: non-finite
// float pixels, a single pixel, a frame much smaller than the blur, the largest radius.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <string>

#include "host/effect_session.h"
#include "tests/support/blurmond_session_rig.h"

namespace nb {
namespace {

using host::Frame_Layers;
using host::Host_World;
using test::Blurmond_Session;
using test::Blurmond_Variant;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();
// A code value in every depth, so 8- and 16-bit frames hold exactly this colour.
constexpr std::array<double, 4> colour{100.0 / 255.0, 20.0 / 255.0, 240.0 / 255.0, 1.0};
const auto constant = [](int64_t, int64_t) { return colour; };

struct Size_Case {
    int variant;  // into blurmond_variants
    int64_t width, height;
    double radius;
};

class BlurmondSmallFrames : public testing::TestWithParam<Size_Case> {};

// The iris sums to 1 and the frame's edges continue it, so a constant frame stays constant up to float
// rounding of the transforms (far below a code value) and the rounding to code values.
TEST_P(BlurmondSmallFrames, KeepAConstantFrameConstant) {
    const Size_Case& c = GetParam();
    const Blurmond_Variant& v = test::blurmond_variants[c.variant];
    Blurmond_Session ready(v);
    ready.defocus_with_highlights(c.radius);
    ready.session.set_float(ready.index_of("x-y aspect", "x/y aspect"), 0.5);
    Host_World input(c.width, c.height, v.format()), output(c.width, c.height, v.format());
    test::fill_constant(input, colour);
    ASSERT_EQ(ready.render(Frame_Layers{&input, &output, {}}), PF_Err_NONE);
    EXPECT_EQ(test::difference(output, constant, test::code_value(v.format())), "")
        << v.name << " " << c.width << " x " << c.height << " radius " << c.radius;
}

INSTANTIATE_TEST_SUITE_P(Sizes, BlurmondSmallFrames,
                         testing::Values(Size_Case{0, 1, 1, 5.0}, Size_Case{2, 1, 1, 5.0}, Size_Case{4, 1, 1, 5.0},
                                         Size_Case{5, 1, 1, 5.0}, Size_Case{1, 3, 2, 60.0}, Size_Case{3, 3, 2, 60.0},
                                         Size_Case{2, 7, 1, 40.0}, Size_Case{5, 1, 9, 40.0}));

TEST(BlurmondLargestRadius, BlursASmallFrameToItsColourWithinBoundedMemory) {
    const Blurmond_Variant& v = test::blurmond_variants[2];
    Blurmond_Session ready(v);
    ready.session.set_float(ready.index_of("radius"), 999.0);
    Host_World input(24, 16, v.format()), output(24, 16, v.format());
    test::fill_constant(input, colour);
    ready.session.host().handles().reset_peak();
    ASSERT_EQ(ready.render(Frame_Layers{&input, &output, {}}), PF_Err_NONE);
    EXPECT_EQ(test::difference(output, constant, test::code_value(v.format())), "");
    const int64_t peak = ready.session.host().handles().peak_bytes();
    // The frame and its margins of the reach (999 and the anti-aliased edge) fill 2048 x 2048 buffers
    // with two extra columns for the transform's Nyquist terms: the image of four floats a pixel and
    // the gray iris of one, 2048 * 2050 * 20 bytes; the twiddle tables and the transform's rows for
    // each thread come to well under 4 MiB.
    constexpr int64_t buffers = int64_t{2048} * 2050 * 20;
    EXPECT_LE(peak, buffers + 4 * 1024 * 1024) << "peak " << peak << " bytes";
}

enum Bad_Layer { source, selection, iris };

struct Non_Finite_Case {
    int variant;  // into blurmond_variants
    double value;
    int component;  // 0 red .. 3 alpha
    Bad_Layer layer;
    bool colored_iris = false;
};

class BlurmondNonFinitePixels : public testing::TestWithParam<Non_Finite_Case> {};

// A compositor hands over what earlier effects produced, NaN and infinities included. In the image or
// the selection they may spoil what lies within the blur's reach of them, never the rest of the frame;
// the iris is normalised to sum 1, so with one in the iris a constant frame stays constant throughout.
TEST_P(BlurmondNonFinitePixels, StayWithinTheBlursReach) {
    const Non_Finite_Case& c = GetParam();
    const Blurmond_Variant& v = test::blurmond_variants[c.variant];
    constexpr int64_t bad_x = 9, bad_y = 8;
    constexpr double radius = 4.0;
    Blurmond_Session ready(v);
    // With the highlights boosted the selection is judged at every pixel.
    ready.defocus_with_highlights(radius);
    if (!v.premiere()) ready.session.set_checkbox(ready.index_of("enable"), true);
    ready.session.set_checkbox(ready.index_of("colored iris"), c.colored_iris);
    Host_World input(40, 30, v.format()), output(40, 30, v.format()), selection_layer(40, 30, v.format()),
        iris_layer(9, 9, v.format());
    test::fill_constant(input, colour);
    test::fill_constant(selection_layer, colour);
    test::fill_constant(iris_layer, {1, 1, 1, 1});
    Frame_Layers frame{&input, &output, {}};
    if (c.layer == selection) frame.extra[ready.index_of("alternative Selection layer", "Highlight")] = &selection_layer;
    if (c.layer == iris) frame.extra[ready.index_of("alternative iris", "Iris")] = &iris_layer;
    Host_World& spoilt = c.layer == source ? input : c.layer == selection ? selection_layer : iris_layer;
    std::array<double, 4> bad = c.layer == iris ? std::array<double, 4>{1, 1, 1, 1} : colour;
    bad[c.component] = c.value;
    spoilt.set_rgba(c.layer == iris ? 4 : bad_x, c.layer == iris ? 4 : bad_y, bad);
    ASSERT_EQ(ready.render(frame), PF_Err_NONE);
    // The iris reaches radius pixels and one more for its anti-aliased edge; non-finite output is wrong
    // even there.
    const double reach = c.layer == iris ? -1.0 : radius + 1.0;
    const auto expected = [&](int64_t x, int64_t y) {
        return std::hypot(x - bad_x, y - bad_y) <= reach ? output.rgba(x, y) : colour;
    };
    EXPECT_EQ(test::difference(output, expected, test::code_value(v.format())), "")
        << v.name << ": " << c.value << " in component " << c.component << " of layer " << c.layer;
}

INSTANTIATE_TEST_SUITE_P(Values, BlurmondNonFinitePixels,
                         testing::Values(Non_Finite_Case{2, nan, 0, source}, Non_Finite_Case{2, inf, 1, source},
                                         Non_Finite_Case{2, -inf, 2, source}, Non_Finite_Case{2, nan, 3, source},
                                         Non_Finite_Case{5, inf, 0, source}, Non_Finite_Case{5, nan, 3, source},
                                         Non_Finite_Case{2, nan, 1, selection}, Non_Finite_Case{5, inf, 0, selection},
                                         Non_Finite_Case{2, nan, 0, iris}, Non_Finite_Case{2, inf, 3, iris},
                                         Non_Finite_Case{2, nan, 0, iris, true}, Non_Finite_Case{5, -inf, 1, iris}));

}  // namespace
}  // namespace nb
