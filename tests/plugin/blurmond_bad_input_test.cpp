// The plug-in binary given frames a compositor can hand it but no one designs for: non-finite
// float pixels, a single pixel, a frame much smaller than the blur, the largest radius.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <tuple>

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

// The iris sums to 1 and the frame's edges continue it, so a constant frame stays constant up to float
// rounding of the transforms (far below a code value) and the rounding to code values: one code value,
// or 1e-4 in float.
double constant_tolerance(const host::World_Format& format) {
    return format.depth == host::Pixel_Depth::bits_32 ? 1e-4 : 1.0 / format.white() + 1e-6;
}

// Worst component distance from colour; prints the case and the pixel.
void expect_constant(const Host_World& output, const std::string& name) {
    double worst = 0;
    int64_t worst_x = 0, worst_y = 0;
    for (int64_t y = 0; y < output.height(); ++y)
        for (int64_t x = 0; x < output.width(); ++x)
            for (int k = 0; k < 4; ++k) {
                const double d = std::abs(output.rgba(x, y)[k] - colour[k]);
                if (!(d <= worst)) std::tie(worst, worst_x, worst_y) = std::tie(d, x, y);
            }
    EXPECT_LE(worst, constant_tolerance(output.format()))
        << name << ": worst pixel " << worst_x << ", " << worst_y << " has " << output.rgba(worst_x, worst_y)[0] << " "
        << output.rgba(worst_x, worst_y)[1] << " " << output.rgba(worst_x, worst_y)[2] << " "
        << output.rgba(worst_x, worst_y)[3];
}

struct Size_Case {
    Blurmond_Variant variant;
    int64_t width, height;
    double radius;
};

class BlurmondSmallFrames : public testing::TestWithParam<Size_Case> {};

TEST_P(BlurmondSmallFrames, KeepAConstantFrameConstant) {
    const Size_Case& c = GetParam();
    Blurmond_Session ready(c.variant.appl_id, 2, false);
    ready.defocus_with_highlights(c.radius);
    ready.session.set_float(ready.session.index_of(c.variant.appl_id == host::app_id_premiere ? "x/y aspect" : "x-y aspect"), 0.5);
    Host_World input(c.width, c.height, c.variant.format()), output(c.width, c.height, c.variant.format());
    test::fill_constant(input, colour);
    ASSERT_EQ(ready.session.render(Frame_Layers{&input, &output, {}}, c.variant.path), PF_Err_NONE);
    expect_constant(output, std::string(c.variant.name) + " " + std::to_string(c.width) + "x" +
                                std::to_string(c.height) + " radius " + std::to_string(c.radius));
    EXPECT_EQ(ready.session.outstanding_checkouts(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, BlurmondSmallFrames,
    testing::Values(Size_Case{test::blurmond_variants[0], 1, 1, 5.0}, Size_Case{test::blurmond_variants[2], 1, 1, 5.0},
                    Size_Case{test::blurmond_variants[4], 1, 1, 5.0}, Size_Case{test::blurmond_variants[5], 1, 1, 5.0},
                    Size_Case{test::blurmond_variants[1], 3, 2, 60.0}, Size_Case{test::blurmond_variants[3], 3, 2, 60.0},
                    Size_Case{test::blurmond_variants[2], 7, 1, 40.0}, Size_Case{test::blurmond_variants[5], 1, 9, 40.0}),
    [](const testing::TestParamInfo<Size_Case>& info) {
        const Size_Case& c = info.param;
        return std::string(c.variant.name) + "_" + std::to_string(c.width) + "x" + std::to_string(c.height) + "Radius" +
               std::to_string(static_cast<int>(c.radius));
    });

TEST(BlurmondLargestRadius, BlursASmallFrameToItsColourWithinBoundedMemory) {
    const Blurmond_Variant& c = test::blurmond_variants[2];
    Blurmond_Session ready(c.appl_id, 2, false);
    ready.session.set_float(ready.session.index_of("radius"), 999.0);
    Host_World input(24, 16, c.format()), output(24, 16, c.format());
    test::fill_constant(input, colour);
    ready.session.host().handles().reset_peak();
    ASSERT_EQ(ready.session.render(Frame_Layers{&input, &output, {}}, c.path), PF_Err_NONE);
    expect_constant(output, "radius 999");
    const int64_t peak = ready.session.host().handles().peak_bytes();
    // The frame and its margins of the reach (999 and the anti-aliased edge) fill 2048 x 2048 buffers
    // with two extra columns for the transform's Nyquist terms: the image of four floats a pixel and
    // the gray iris of one, 2048 * 2050 * 20 bytes; the twiddle tables and the transform's rows for
    // each thread come to well under 4 MiB.
    constexpr int64_t buffers = int64_t{2048} * 2050 * 20;
    EXPECT_LE(peak, buffers + 4 * 1024 * 1024) << "peak " << peak << " bytes";
}

enum class Bad_Layer { source, selection, iris };

struct Non_Finite_Case {
    Blurmond_Variant variant;
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
    constexpr int64_t width = 40, height = 30, bad_x = 9, bad_y = 8;
    constexpr double radius = 4.0;
    Blurmond_Session ready(c.variant.appl_id, 2, false);
    // With the highlights boosted the selection is judged at every pixel.
    ready.defocus_with_highlights(radius);
    const bool premiere = c.variant.appl_id == host::app_id_premiere;
    if (!premiere) ready.session.set_checkbox(ready.session.index_of("enable"), true);
    const host::World_Format format = c.variant.format();
    Host_World input(width, height, format), output(width, height, format);
    Host_World selection(width, height, format), iris(9, 9, format);
    test::fill_constant(input, colour);
    test::fill_constant(selection, colour);
    test::fill_constant(iris, {1, 1, 1, 1});
    std::array<double, 4> bad = c.layer == Bad_Layer::iris ? std::array<double, 4>{1, 1, 1, 1} : colour;
    bad[c.component] = c.value;
    Host_World& spoilt = c.layer == Bad_Layer::source ? input : c.layer == Bad_Layer::selection ? selection : iris;
    spoilt.set_rgba(c.layer == Bad_Layer::iris ? 4 : bad_x, c.layer == Bad_Layer::iris ? 4 : bad_y, bad);
    Frame_Layers frame{&input, &output, {}};
    if (c.layer == Bad_Layer::selection)
        frame.extra[ready.session.index_of(premiere ? "Highlight" : "alternative Selection layer")] = &selection;
    if (c.layer == Bad_Layer::iris) frame.extra[ready.session.index_of(premiere ? "Iris" : "alternative iris")] = &iris;
    if (c.colored_iris) ready.session.set_checkbox(ready.session.index_of("colored iris"), true);
    ASSERT_EQ(ready.session.render(frame, c.variant.path), PF_Err_NONE);
    // The iris reaches radius pixels and one more for its anti-aliased edge.
    const double reach = c.layer == Bad_Layer::iris ? -1.0 : radius + 1.0;
    const std::string name = std::string(c.variant.name) + " value " + std::to_string(c.value) + " in component " +
                             std::to_string(c.component) + " of layer " + std::to_string(static_cast<int>(c.layer));
    for (int64_t y = 0; y < height; ++y)
        for (int64_t x = 0; x < width; ++x) {
            const auto p = output.rgba(x, y);
            for (int k = 0; k < 4; ++k) ASSERT_TRUE(std::isfinite(p[k])) << name << ": pixel " << x << ", " << y;
            if (std::hypot(x - bad_x, y - bad_y) <= reach) continue;
            for (int k = 0; k < 4; ++k)
                ASSERT_NEAR(p[k], colour[k], constant_tolerance(format))
                    << name << ": pixel " << x << ", " << y << " component " << k;
        }
}

constexpr Blurmond_Variant ae_float = test::blurmond_variants[2];
constexpr Blurmond_Variant premiere_float = test::blurmond_variants[5];

std::string non_finite_name(const testing::TestParamInfo<Non_Finite_Case>& info) {
    const Non_Finite_Case& c = info.param;
    static const char* const layers[] = {"Source", "Selection", "Iris"};
    const std::string value = std::isnan(c.value) ? "Nan" : c.value > 0 ? "Inf" : "MinusInf";
    return std::string(c.variant.name) + layers[static_cast<int>(c.layer)] + value + "InComponent" +
           std::to_string(c.component) + (c.colored_iris ? "Colored" : "");
}

INSTANTIATE_TEST_SUITE_P(
    Values, BlurmondNonFinitePixels,
    testing::Values(Non_Finite_Case{ae_float, nan, 0, Bad_Layer::source}, Non_Finite_Case{ae_float, inf, 1, Bad_Layer::source},
                    Non_Finite_Case{ae_float, -inf, 2, Bad_Layer::source}, Non_Finite_Case{ae_float, nan, 3, Bad_Layer::source},
                    Non_Finite_Case{premiere_float, inf, 0, Bad_Layer::source},
                    Non_Finite_Case{premiere_float, nan, 3, Bad_Layer::source},
                    Non_Finite_Case{ae_float, nan, 1, Bad_Layer::selection},
                    Non_Finite_Case{premiere_float, inf, 0, Bad_Layer::selection},
                    Non_Finite_Case{ae_float, nan, 0, Bad_Layer::iris}, Non_Finite_Case{ae_float, inf, 3, Bad_Layer::iris},
                    Non_Finite_Case{ae_float, nan, 0, Bad_Layer::iris, true},
                    Non_Finite_Case{premiere_float, -inf, 1, Bad_Layer::iris}),
    non_finite_name);

}  // namespace
}  // namespace nb
