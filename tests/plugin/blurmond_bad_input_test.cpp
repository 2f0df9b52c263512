// The plug-in binary given frames a compositor can hand it but no one designs for: non-finite
// float pixels, a single pixel, a frame much smaller than the blur, the largest radius.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

#include "host/effect_session.h"
#include "tests/support/blurmond_session_rig.h"

namespace nb {
namespace {

using host::Host_World;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();
// A code value in every depth, so 8- and 16-bit frames hold exactly this colour.
constexpr std::array<double, 4> colour{100.0 / 255.0, 20.0 / 255.0, 240.0 / 255.0, 1.0};

enum Bad_Layer { none, source, selection, iris };

struct Bad_Input_Case {
    int variant;  // into blurmond_variants
    int64_t width, height;
    double radius;
    Bad_Layer layer = none;
    double value = 0.0;
    int component = 0;  // 0 red .. 3 alpha
    bool colored_iris = false;
};

class BlurmondBadInput : public testing::TestWithParam<Bad_Input_Case> {};

// The iris sums to 1 and the frame's edges continue it, so a constant frame stays constant up to float
// rounding of the transforms (far below a code value) and the rounding to code values, also on frames
// far smaller than the blur. A compositor hands over what earlier effects produced, NaN and infinities
// included: in the image or the selection they may spoil what lies within the blur's reach of them, never
// the rest of the frame; the iris is normalised, so with one in the iris the frame stays constant.
TEST_P(BlurmondBadInput, ConstantFrameStaysConstantBeyondTheBlursReachOfABadPixel) {
    const Bad_Input_Case& c = GetParam();
    const test::Blurmond_Variant& v = test::blurmond_variants[c.variant];
    test::Blurmond_Session ready(v);
    // With the highlights boosted the selection is judged at every pixel.
    ready.defocus_with_highlights(c.radius);
    ready.session.set_float(ready.index_of("x-y aspect", "x/y aspect"), c.layer == none ? 0.5 : 0.0);
    if (!v.premiere()) ready.session.set_checkbox(ready.index_of("enable"), true);
    ready.session.set_checkbox(ready.index_of("colored iris"), c.colored_iris);
    Host_World input(c.width, c.height, v.format()), output(c.width, c.height, v.format()),
        selection_layer(c.width, c.height, v.format()), iris_layer(9, 9, v.format());
    Host_World* const layers[] = {nullptr, &input, &selection_layer, &iris_layer};
    for (Host_World* layer : {&input, &selection_layer, &iris_layer}) test::fill_constant(*layer, colour);
    host::Frame_Layers frame{&input, &output, {}};
    if (c.layer == selection) frame.extra[ready.index_of("alternative Selection layer", "Highlight")] = &selection_layer;
    if (c.layer == iris) frame.extra[ready.index_of("alternative iris", "Iris")] = &iris_layer;
    std::array<double, 4> bad = colour;
    bad[c.component] = c.value;
    if (c.layer != none) layers[c.layer]->set_rgba(4, 4, bad);
    ASSERT_EQ(ready.render(frame), PF_Err_NONE);
    // The iris reaches radius pixels and one more for its anti-aliased edge; non-finite output is wrong
    // even there.
    const double reach = c.layer == iris || c.layer == none ? -1.0 : c.radius + 1.0;
    const auto expected = [&](int64_t x, int64_t y) { return std::hypot(x - 4, y - 4) <= reach ? output.rgba(x, y) : colour; };
    EXPECT_EQ(test::difference(output, expected, test::code_value(v.format())), "")
        << v.name << " " << c.width << " x " << c.height << ": " << c.value << " in component " << c.component
        << " of layer " << c.layer;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BlurmondBadInput,
    testing::Values(Bad_Input_Case{0, 1, 1, 5.0}, Bad_Input_Case{5, 1, 1, 5.0}, Bad_Input_Case{1, 3, 2, 60.0},
                    Bad_Input_Case{3, 3, 2, 60.0}, Bad_Input_Case{2, 7, 1, 40.0}, Bad_Input_Case{4, 1, 9, 40.0},
                    Bad_Input_Case{2, 24, 16, 999.0}, Bad_Input_Case{2, 40, 30, 4.0, source, nan, 0},
                    Bad_Input_Case{2, 40, 30, 4.0, source, inf, 1}, Bad_Input_Case{2, 40, 30, 4.0, source, -inf, 2},
                    Bad_Input_Case{5, 40, 30, 4.0, source, nan, 3}, Bad_Input_Case{2, 40, 30, 4.0, selection, nan, 1},
                    Bad_Input_Case{5, 40, 30, 4.0, selection, inf, 0}, Bad_Input_Case{2, 40, 30, 4.0, iris, inf, 3},
                    Bad_Input_Case{2, 40, 30, 4.0, iris, nan, 0, true}, Bad_Input_Case{5, 40, 30, 4.0, iris, -inf, 1}));

}  // namespace
}  // namespace nb
