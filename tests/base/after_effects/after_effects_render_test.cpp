// The render commands of the plug-in binary under the headless host: both render paths in every pixel
// variant of both hosts, pre-render requests, extra layers, parts of the frame, device worlds.
#include "base/after_effects/after_effects_render.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <sstream>
#include <string>

#include "host/effect_session.h"
#include "tests/support/blurmond_session_rig.h"

namespace nb {
namespace {

using host::Channel_Order;
using host::Frame_Layers;
using host::Host_World;
using host::Pixel_Depth;
using host::Render_Path;
using host::World_Format;
using test::Blurmond_Session;

constexpr A_long ae = host::app_id_after_effects;
constexpr A_long pr = host::app_id_premiere;
constexpr int32_t show_iris_entry = 1;
constexpr int32_t show_selection_only_entry = 3;

// Shows the selection alone; under After Effects it must be switched on.
void show_selection_only(Blurmond_Session& ready) {
    ready.session.set_choice(ready.session.index_of("show"), show_selection_only_entry);
    if (ready.session.in_data()->appl_id != host::app_id_premiere)
        ready.session.set_checkbox(ready.session.index_of("enable"), true);
}

// Empty when every component of a (inside r when given; outside it a must be 0) is within tolerance of
// b; otherwise the worst pixel and both values.
std::string worst_difference(const Host_World& a, const Host_World& b, double tolerance, const PF_LRect* r = nullptr) {
    double worst = 0;
    int64_t wx = 0, wy = 0;
    for (int64_t y = 0; y < a.height(); ++y)
        for (int64_t x = 0; x < a.width(); ++x) {
            const bool inside = !r || (x >= r->left && x < r->right && y >= r->top && y < r->bottom);
            for (int k = 0; k < 4; ++k) {
                const double d = std::abs(a.rgba(x, y)[k] - (inside ? b.rgba(x, y)[k] : 0.0));
                if (!(d <= worst)) std::tie(worst, wx, wy) = std::tie(d, x, y);
            }
        }
    if (worst <= tolerance) return {};
    std::ostringstream text;
    text << "worst pixel " << wx << ", " << wy << " differs by " << worst << ": green " << a.rgba(wx, wy)[1]
         << " against " << b.rgba(wx, wy)[1];
    return text.str();
}

struct Variant_Case {
    const char* name;
    A_long appl_id;
    Pixel_Depth depth;
    Channel_Order order;
    Render_Path path;
    World_Format format() const { return World_Format{depth, order, false}; }
};

class AfterEffectsRenderVariants : public testing::TestWithParam<Variant_Case> {};

// Three display modes of one effect against oracles that need no blur:
// - the selection alone with soften 0 weighs 1 inside the lightness window and 0 outside: white
//   (lightness 1) lies inside it on both hosts, black and transparent pixels outside;
// - the iris alone, of radius (64/640 + 48/480) * 50 = 10 in the middle of the frame, is the same float
//   drawing in every variant; 8- and 16-bit layers truncate it to their code values, so they lie up to
//   one code value below the float render (plus float rounding of the sum);
// - the normal blur keeps a constant image constant, the iris summing to 1 and the edges continuing the
//   image, up to float rounding of the transforms (far below a code value) and the final rounding to
//   code values: one code value, or 1e-4 in float.
TEST_P(AfterEffectsRenderVariants, DisplayModesMatchTheirOracles) {
    const Variant_Case& c = GetParam();
    Blurmond_Session ready(c.appl_id, 2, false);
    const int32_t show = ready.session.index_of("show");
    show_selection_only(ready);
    Host_World input(24, 10, c.format()), output(24, 10, c.format());
    for (int64_t y = 0; y < 10; ++y)
        for (int64_t x = 0; x < 24; ++x) {
            const double v = x < 12 ? 1.0 : 0.0;
            input.set_rgba(x, y, y == 9 ? std::array<double, 4>{0, 0, 0, 0} : std::array<double, 4>{v, v, v, 1.0});
        }
    ASSERT_EQ(ready.session.render(Frame_Layers{&input, &output, {}}, c.path), PF_Err_NONE);
    for (int64_t y = 0; y < 10; ++y)
        for (int64_t x = 0; x < 24; ++x) {
            const double w = x < 12 && y < 9 ? 1.0 : 0.0;
            ASSERT_EQ(output.rgba(x, y), (std::array<double, 4>{w, w, w, 1.0})) << c.name << " pixel " << x << ", " << y;
        }

    Blurmond_Session reference_session(ae, 2, false);
    reference_session.session.set_choice(reference_session.session.index_of("show"), show_iris_entry);
    const World_Format float_argb{Pixel_Depth::bits_32, Channel_Order::argb, false};
    Host_World reference_input(64, 48, float_argb), reference(64, 48, float_argb);
    ASSERT_EQ(reference_session.session.render(Frame_Layers{&reference_input, &reference, {}}, Render_Path::smart),
              PF_Err_NONE);
    EXPECT_GT(reference.rgba(32, 24)[0], 0.99);
    EXPECT_EQ(reference.rgba(2, 2)[0], 0.0);
    ready.session.set_choice(show, show_iris_entry);
    Host_World dark(64, 48, c.format()), iris(64, 48, c.format());
    ASSERT_EQ(ready.session.render(Frame_Layers{&dark, &iris, {}}, c.path), PF_Err_NONE);
    EXPECT_EQ(worst_difference(iris, reference, 1.0 / c.format().white() + 1e-6), "") << c.name << ": iris";

    ready.session.set_choice(show, 0);
    ready.session.set_float(ready.session.index_of("radius"), 3.0);
    Host_World constant(20, 16, c.format()), blurred(20, 16, c.format());
    test::fill_constant(constant, {100.0 / 255.0, 20.0 / 255.0, 240.0 / 255.0, 1.0});  // code values in every depth
    ASSERT_EQ(ready.session.render(Frame_Layers{&constant, &blurred, {}}, c.path), PF_Err_NONE);
    const double tolerance = c.depth == Pixel_Depth::bits_32 ? 1e-4 : 1.0 / c.format().white() + 1e-6;
    EXPECT_EQ(worst_difference(blurred, constant, tolerance), "") << c.name << ": normal blur";
    EXPECT_EQ(ready.session.outstanding_checkouts(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    SixVariantsTwoPaths, AfterEffectsRenderVariants,
    testing::Values(Variant_Case{"Argb8Smart", ae, Pixel_Depth::bits_8, Channel_Order::argb, Render_Path::smart},
                    Variant_Case{"Argb16Smart", ae, Pixel_Depth::bits_16, Channel_Order::argb, Render_Path::smart},
                    Variant_Case{"Argb32Smart", ae, Pixel_Depth::bits_32, Channel_Order::argb, Render_Path::smart},
                    Variant_Case{"Argb8Render", ae, Pixel_Depth::bits_8, Channel_Order::argb, Render_Path::non_smart},
                    Variant_Case{"Argb16Render", ae, Pixel_Depth::bits_16, Channel_Order::argb, Render_Path::non_smart},
                    Variant_Case{"Argb32Render", ae, Pixel_Depth::bits_32, Channel_Order::argb, Render_Path::non_smart},
                    Variant_Case{"Bgra8Smart", pr, Pixel_Depth::bits_8, Channel_Order::bgra, Render_Path::smart},
                    Variant_Case{"Bgra16Smart", pr, Pixel_Depth::bits_16, Channel_Order::bgra, Render_Path::smart},
                    Variant_Case{"Bgra32Smart", pr, Pixel_Depth::bits_32, Channel_Order::bgra, Render_Path::smart},
                    Variant_Case{"Bgra8Render", pr, Pixel_Depth::bits_8, Channel_Order::bgra, Render_Path::non_smart},
                    Variant_Case{"Bgra16Render", pr, Pixel_Depth::bits_16, Channel_Order::bgra, Render_Path::non_smart},
                    Variant_Case{"Bgra32Render", pr, Pixel_Depth::bits_32, Channel_Order::bgra, Render_Path::non_smart}),
    [](const testing::TestParamInfo<Variant_Case>& info) { return std::string(info.param.name); });

class AfterEffectsRenderCentring : public testing::TestWithParam<Render_Path> {};

// A selection layer narrower than the frame is centred on it, the odd pixel truncated: (1920 - 101) / 2.
TEST_P(AfterEffectsRenderCentring, ExtraLayersAreCentredOnTheFrame) {
    for (const auto& [width, first_column] : {std::pair<int64_t, int64_t>{100, 910}, {101, 909}}) {
        Blurmond_Session ready(ae, 2, false);
        show_selection_only(ready);
        const World_Format format{Pixel_Depth::bits_8, Channel_Order::argb, false};
        Host_World input(1920, 2, format), output(1920, 2, format), selection(width, 2, format);
        test::fill_constant(selection, {1, 1, 1, 1});
        const int32_t selection_index = ready.session.index_of("alternative Selection layer");
        ASSERT_EQ(ready.session.render(Frame_Layers{&input, &output, {{selection_index, &selection}}}, GetParam()),
                  PF_Err_NONE);
        for (int64_t x = 0; x < 1920; ++x)
            ASSERT_EQ(output.rgba(x, 1)[1], x >= first_column && x < first_column + width ? 1.0 : 0.0)
                << "width " << width << " column " << x;
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, AfterEffectsRenderCentring, testing::Values(Render_Path::smart, Render_Path::non_smart));

struct Pre_Render_Case {
    const char* name;
    double radius, smooth;
    bool extend, show_iris;
    PF_LRect request, input_request, max_result, result;
};

class AfterEffectsPreRender : public testing::TestWithParam<Pre_Render_Case> {};

bool same(const PF_LRect& a, const PF_LRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
std::string text(const PF_LRect& r) {
    return std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) + ", " +
           std::to_string(r.bottom);
}

// The source covers (-10, -10) to (200, 200) of the 190 x 190 frame; a 64 x 48 background is chosen.
// Every layer is probed first, then the input is asked for grown by the blur's reach, extra layers
// whole, a layer not chosen for nothing.
TEST_P(AfterEffectsPreRender, ProbesEveryLayerThenRequestsTheInputGrownByTheReach) {
    const Pre_Render_Case& c = GetParam();
    Blurmond_Session ready(ae, 2, false);
    ready.session.set_float(ready.session.index_of("radius"), c.radius);
    ready.session.set_float(ready.session.index_of("smooth"), c.smooth);
    ready.session.set_checkbox(ready.session.index_of("extend"), c.extend);
    if (c.show_iris) ready.session.set_choice(ready.session.index_of("show"), show_iris_entry);
    const World_Format format{Pixel_Depth::bits_8, Channel_Order::argb, false};
    Host_World input(210, 210, format, -10, -10), output(190, 190, format), background(64, 48, format);
    const host::Pre_Render_Result r =
        ready.session.pre_render(Frame_Layers{&input, &output, {{6, &background}}}, c.request);
    ASSERT_EQ(r.error, PF_Err_NONE);
    ASSERT_EQ(r.checkouts.size(), 8u) << "probe and checkout of the input and three extra layers";
    const PF_LRect none{0, 0, 0, 0};
    for (size_t i = 0; i < 4; ++i) {
        const host::Render_Frame::Checkout& probe = r.checkouts[i];
        EXPECT_EQ(probe.id, 10000 + probe.index) << "probe " << i;
        EXPECT_TRUE(same(probe.request.rect, none)) << "probe " << i << ": " << text(probe.request.rect);
        EXPECT_EQ(probe.request.channel_mask, PF_ChannelMask_ARGB);
        EXPECT_TRUE(probe.request.preserve_rgb_of_zero_alpha);
    }
    const PF_LRect wanted[] = {c.input_request, {0, 0, 64, 48}, none, none};
    const PF_ParamIndex indices[] = {0, 6, 10, 22};
    for (size_t i = 0; i < 4; ++i) {
        const host::Render_Frame::Checkout& checkout = r.checkouts[4 + i];
        EXPECT_EQ(checkout.index, indices[i]);
        EXPECT_EQ(checkout.id, indices[i]);
        EXPECT_TRUE(same(checkout.request.rect, wanted[i])) << "layer " << indices[i] << ": " << text(checkout.request.rect);
    }
    EXPECT_TRUE(same(r.max_result_rect, c.max_result)) << text(r.max_result_rect);
    EXPECT_TRUE(same(r.result_rect, c.result)) << text(r.result_rect);
}

// Reach 5 with no softening, and none without a radius however smooth; "extend" lets the normal blur reach 5 beyond the source, not the previews. A
// request wholly outside the source gives an empty result on its nearest edges.
INSTANTIATE_TEST_SUITE_P(
    Cases, AfterEffectsPreRender,
    testing::Values(Pre_Render_Case{"Radius5", 5, 0, false, false, {0, 0, 100, 50}, {-5, -5, 105, 55}, {-10, -10, 200, 200}, {0, 0, 100, 50}},
                    Pre_Render_Case{"Extend", 5, 0, true, false, {0, 0, 100, 50}, {-5, -5, 105, 55}, {-15, -15, 205, 205}, {0, 0, 100, 50}},
                    Pre_Render_Case{"ExtendIris", 5, 0, true, true, {0, 0, 100, 50}, {-5, -5, 105, 55}, {-10, -10, 200, 200}, {0, 0, 100, 50}},
                    Pre_Render_Case{"NoRadiusNoSoftening", 0, 40, false, false, {3, 4, 50, 60}, {3, 4, 50, 60}, {-10, -10, 200, 200}, {3, 4, 50, 60}},
                    Pre_Render_Case{"BeyondFarEdges", 0, 0, false, false, {300, 250, 400, 400}, {300, 250, 400, 400},
                                    {-10, -10, 200, 200}, {200, 200, 200, 200}},
                    Pre_Render_Case{"BeforeNearEdge", 0, 0, false, false, {-50, 20, -20, 40}, {-50, 20, -20, 40},
                                    {-10, -10, 200, 200}, {-10, 20, -10, 40}}),
    [](const testing::TestParamInfo<Pre_Render_Case>& info) { return std::string(info.param.name); });

class AfterEffectsRenderParts : public testing::TestWithParam<double> {};

// Transforms of other sizes round differently: a few float epsilons (1.2e-7) times log2 of the size (at
// most 7 here) for each of three transforms, on values of at most 1: about 3e-6, so 2e-5.
TEST_P(AfterEffectsRenderParts, APartOfTheFrameComesOutAsInTheWholeFrame) {
    const double aspect = GetParam();
    Blurmond_Session ready(ae, 2, false);
    ready.session.set_float(ready.session.index_of("radius"), 6.0);
    ready.session.set_float(ready.session.index_of("x-y aspect"), aspect);
    ready.session.set_float(ready.session.index_of("smooth"), 40.0);
    const World_Format format{Pixel_Depth::bits_32, Channel_Order::argb, false};
    Host_World input(64, 48, format), whole(64, 48, format), part(64, 48, format);
    for (int64_t y = 0; y < 48; ++y)
        for (int64_t x = 0; x < 64; ++x) {
            const double v = 0.5 + 0.4 * std::sin(0.7 * x + 0.3 * y) * std::cos(0.2 * x * y / 7.0);
            input.set_rgba(x, y, {v, 1.0 - v, 0.25 + 0.5 * v * v, x % 7 == 0 ? 0.5 : 1.0});
        }
    ASSERT_EQ(ready.session.render(Frame_Layers{&input, &whole, {}}, Render_Path::smart), PF_Err_NONE);
    const PF_LRect r{21, 17, 40, 30};
    ASSERT_EQ(ready.session.render_smart(Frame_Layers{&input, &part, {}}, r), PF_Err_NONE);
    EXPECT_EQ(worst_difference(part, whole, 2e-5, &r), "") << "aspect " << aspect;
    EXPECT_EQ(ready.session.outstanding_checkouts(), 0);
}

INSTANTIATE_TEST_SUITE_P(Aspects, AfterEffectsRenderParts, testing::Values(0.0, 0.75, -0.75));

// "extend" lets the blur reach beyond the source, so the smart path renders even without one.
TEST(AfterEffectsRender, AMissingInputGivesATransparentFrame) {
    for (const Render_Path path : {Render_Path::smart, Render_Path::non_smart}) {
        Blurmond_Session ready(ae, 2);
        ready.session.set_float(ready.session.index_of("radius"), 4.0);
        ready.session.set_checkbox(ready.session.index_of("extend"), true);
        const World_Format format{Pixel_Depth::bits_16, Channel_Order::argb, false};
        Host_World output(20, 12, format), transparent(20, 12, format);
        test::fill_constant(output, {0.5, 0.5, 0.5, 1.0});
        ASSERT_EQ(ready.session.render(Frame_Layers{nullptr, &output, {}}, path), PF_Err_NONE);
        EXPECT_EQ(test::byte_difference(output, transparent), "");
        EXPECT_NE(ready.binary.log_text().find(path == Render_Path::smart ? "smart render. is gpu:0" : "PF_Cmd_RENDER"),
                  std::string::npos)
            << "the render was called";
        EXPECT_EQ(ready.session.outstanding_checkouts(), 0);
    }
}

TEST(AfterEffectsRender, DeviceWorldsStopAtTheMissingDevicePipeline) {
    Blurmond_Session ready(ae, 2, false);
    show_selection_only(ready);
    const World_Format device{Pixel_Depth::bits_32, Channel_Order::bgra, true};
    Host_World input(8, 4, device), output(8, 4, device);
    EXPECT_THROW(ready.session.render_smart(Frame_Layers{&input, &output, {}}, PF_LRect{0, 0, 8, 4}, true),
                 std::exception);
    EXPECT_EQ(ready.session.outstanding_checkouts(), 0) << "the input is checked in on the way out";
    ASSERT_EQ(ready.binary.crash_files().size(), 1u);
    const std::string crash = test::Plugin_Binary::read(ready.binary.crash_files()[0]);
    EXPECT_NE(crash.find("smart render. is gpu:1\n"), std::string::npos) << crash;
    EXPECT_NE(crash.find("duration (s)"), std::string::npos) << "the timing report is logged on failure too";
}

}  // namespace
}  // namespace nb
