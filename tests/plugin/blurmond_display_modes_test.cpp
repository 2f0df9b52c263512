// The plug-in binary's display modes in every pixel variant, on both hosts and both render paths: the
// chosen layers take their parts and the previews show what they should.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "host/effect_session.h"
#include "tests/support/blurmond_session_rig.h"

namespace nb {
namespace {

using host::Frame_Layers;
using host::Host_World;
using Rgba = std::array<double, 4>;

constexpr int32_t show_iris = 1, show_selection = 2;

class BlurmondDisplayModes : public testing::TestWithParam<test::Blurmond_Variant> {
protected:
    test::Blurmond_Session ready{GetParam()};
    const host::World_Format format = GetParam().format();
};

// An iris image is shown opaque: in colour when "colored iris" is on, else as the mean of its colour.
// The 9 x 7 image spans 11 rows at the preview radius 5 of a 32 x 24 frame, 14 columns; its scaled
// edges are partly transparent, which the two previews show differently, so only the inside is compared.
TEST_P(BlurmondDisplayModes, ImageIrisPreviewIsGrayUnlessColoured) {
    ready.session.set_choice(ready.index_of("show"), show_iris);
    Host_World input(32, 24, format), iris(9, 7, format), coloured(32, 24, format), gray(32, 24, format);
    for (int64_t y = 0; y < 7; ++y)
        for (int64_t x = 0; x < 9; ++x) iris.set_rgba(x, y, {0.9, 0.1 * y, 0.1 * x, 1.0});
    const int32_t layer = ready.index_of("alternative iris", "Iris");
    for (Host_World* output : {&coloured, &gray}) {
        ready.session.set_checkbox(ready.index_of("colored iris"), output == &coloured);
        ASSERT_EQ(ready.render(Frame_Layers{&input, output, {{layer, &iris}}}), PF_Err_NONE);
    }
    const auto mean_of_colour = [&](int64_t x, int64_t y) {
        if (x < 11 || x > 21 || y < 8 || y > 15) return gray.rgba(x, y);
        const Rgba c = coloured.rgba(x, y);
        const double m = (c[0] + c[1] + c[2]) / 3.0;
        return Rgba{m, m, m, 1.0};
    };
    EXPECT_EQ(test::difference(gray, mean_of_colour), "") << GetParam().name;
    EXPECT_TRUE(coloured.rgba(16, 12)[3] == 1.0 && coloured.rgba(16, 12)[0] - coloured.rgba(16, 12)[1] > 0.3)
        << "the iris shows in colour";
}

// Left half opaque light orange, right half opaque black, the last row transparent: the orange lies
// inside the lightness window of both hosts' defaults and soften 0 makes the weight 1 there, 0
// elsewhere. The selection shows the image so weighted, opaque.
TEST_P(BlurmondDisplayModes, SelectionShowsTheWeightedImage) {
    if (!GetParam().premiere()) ready.session.set_checkbox(ready.index_of("enable"), true);
    ready.session.set_choice(ready.index_of("show"), show_selection);
    Host_World input(24, 10, format), output(24, 10, format);
    for (int64_t y = 0; y < 9; ++y)
        for (int64_t x = 0; x < 24; ++x) input.set_rgba(x, y, x < 12 ? Rgba{1.0, 0.95, 0.9, 1.0} : Rgba{0, 0, 0, 1});
    ASSERT_EQ(ready.render(Frame_Layers{&input, &output, {}}), PF_Err_NONE);
    const auto weighted = [&](int64_t x, int64_t y) { return x >= 12 || y == 9 ? Rgba{0, 0, 0, 1} : input.rgba(x, y); };
    EXPECT_EQ(test::difference(output, weighted), "") << GetParam().name;
}

// A transparent image blurs to a transparent one with a flat alpha, so the background shows through
// undisplaced however strong the distortion.
TEST_P(BlurmondDisplayModes, BackgroundShowsThroughATransparentBlur) {
    ready.session.set_float(ready.index_of("radius"), 3.0);
    ready.session.set_float(ready.index_of("background distortion"), 50.0);
    Host_World input(20, 14, format), background(20, 14, format), output(20, 14, format);
    test::fill_test_frame(background, 4);
    ASSERT_EQ(ready.render(Frame_Layers{&input, &output, {{ready.index_of("background layer", "Background"), &background}}}),
              PF_Err_NONE);
    EXPECT_EQ(test::byte_difference(output, background), "") << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Variants, BlurmondDisplayModes, testing::ValuesIn(test::blurmond_variants),
                         [](const testing::TestParamInfo<test::Blurmond_Variant>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace nb
