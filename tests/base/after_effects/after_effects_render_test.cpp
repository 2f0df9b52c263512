// The render commands of the plug-in binary under the headless host: both render paths in every pixel
// variant of both hosts, pre-render requests, extra layers, parts of the frame, device worlds.
#include "base/after_effects/after_effects_render.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>

#include "host/effect_session.h"
#include "tests/support/blurmond_session_rig.h"

namespace nb {
namespace {

using host::Frame_Layers;
using host::Host_World;
using host::World_Format;
using test::Blurmond_Session;
using test::Blurmond_Variant;

constexpr Blurmond_Variant ae_8_smart = test::blurmond_variants[0];
const World_Format argb_8 = ae_8_smart.format();
constexpr int32_t show_iris_entry = 1;

// Shows the selection alone; under After Effects it must be switched on.
void show_selection_only(Blurmond_Session& ready) {
    ready.session.set_choice(ready.index_of("show"), 3);
    if (!ready.variant.premiere()) ready.session.set_checkbox(ready.index_of("enable"), true);
}

class AfterEffectsRenderVariants : public testing::TestWithParam<Blurmond_Variant> {};

// Oracles that need no blur. A white selection layer of 11 x 6 is centred on the 24 x 10 frame, the odd
// column truncated: at (6, 2). The selection alone with soften 0 weighs 1 where the layer lies, inside
// the lightness window on both hosts, and 0 on the transparent rest. The normal blur keeps a constant
// image constant (the iris sums to 1, the edges continue the image) up to one code value, or 1e-4 in
// float. Without an input the frame comes out transparent.
TEST_P(AfterEffectsRenderVariants, CentredSelectionLayerAndConstantBlurMatchTheirOracles) {
    Blurmond_Session ready(GetParam());
    show_selection_only(ready);
    const World_Format format = ready.variant.format();
    Host_World input(24, 10, format), output(24, 10, format), layer(11, 6, format);
    test::fill_constant(layer, {1, 1, 1, 1});
    // At a third of the resolution the host describes the frame by its full size and the factor, which
    // it need not give in lowest terms.
    for (const PF_RationalScale reduction : {PF_RationalScale{1, 1}, {1, 3}, {2, 6}}) {
        ready.session.in_data()->downsample_x = ready.session.in_data()->downsample_y = reduction;
        ASSERT_EQ(ready.render(Frame_Layers{&input, &output, {{ready.index_of("alternative Selection layer", "Highlight"), &layer}}}), PF_Err_NONE);
        EXPECT_EQ(test::difference(output, [](int64_t x, int64_t y) {
            const double w = x >= 6 && x < 17 && y >= 2 && y < 8 ? 1.0 : 0.0;
            return std::array<double, 4>{w, w, w, 1.0};
        }, 0.0), "") << "reduced " << reduction.num << "/" << reduction.den;
    }
    ready.session.in_data()->downsample_x = ready.session.in_data()->downsample_y = PF_RationalScale{1, 1};

    ready.session.set_choice(ready.index_of("show"), 0);
    ready.session.set_float(ready.index_of("radius"), 3.0);
    const std::array<double, 4> color{100.0 / 255.0, 20.0 / 255.0, 240.0 / 255.0, 1.0};  // code values in every depth
    Host_World constant(20, 16, format), blurred(20, 16, format);
    test::fill_constant(constant, color);
    ASSERT_EQ(ready.render(Frame_Layers{&constant, &blurred, {}}), PF_Err_NONE);
    EXPECT_EQ(test::difference(blurred, [&](int64_t, int64_t) { return color; }), "");

    // "extend" lets the blur reach beyond the source, so the smart path renders even without one.
    ready.session.set_checkbox(ready.index_of("extend"), true);
    ASSERT_EQ(ready.render(Frame_Layers{nullptr, &blurred, {}}), PF_Err_NONE);
    EXPECT_EQ(test::difference(blurred, [](int64_t, int64_t) { return std::array<double, 4>{}; }, 0.0), "") << "a missing input";
}

constexpr Blurmond_Variant other_path(Blurmond_Variant v, const char* name) {
    v.name = name;
    v.path = v.path == host::Render_Path::smart ? host::Render_Path::non_smart : host::Render_Path::smart;
    return v;
}

INSTANTIATE_TEST_SUITE_P(
    BothPaths, AfterEffectsRenderVariants,
    testing::Values(test::blurmond_variants[0], test::blurmond_variants[1], test::blurmond_variants[2],
                    test::blurmond_variants[3], test::blurmond_variants[4], test::blurmond_variants[5],
                    other_path(test::blurmond_variants[0], "Argb8Render"), other_path(test::blurmond_variants[1], "Argb16Render"),
                    other_path(test::blurmond_variants[2], "Argb32Render"), other_path(test::blurmond_variants[3], "Bgra8Smart"),
                    other_path(test::blurmond_variants[4], "Bgra16Smart"), other_path(test::blurmond_variants[5], "Bgra32Smart")),
    [](const testing::TestParamInfo<Blurmond_Variant>& info) { return std::string(info.param.name); });

struct Pre_Render_Case {
    const char* name;
    double radius, smooth;
    bool extend, show_iris;
    PF_LRect request, input_request, max_result, result;
    A_u_long reduction = 1;  // the host renders at 1 / reduction of the full resolution
};

class AfterEffectsPreRender : public testing::TestWithParam<Pre_Render_Case> {};

auto corners(const PF_LRect& r) { return std::tuple(r.left, r.top, r.right, r.bottom); }

// The source covers (-10, -10) to (200, 200) of the 190 x 190 frame; a 64 x 48 background is chosen.
// Every layer is probed first, then the input is asked for grown by the blur's reach, extra layers
// whole, a layer not chosen for nothing.
TEST_P(AfterEffectsPreRender, ProbesEveryLayerThenRequestsTheInputGrownByTheReach) {
    const Pre_Render_Case& c = GetParam();
    Blurmond_Session ready(ae_8_smart);
    ready.session.set_float(ready.index_of("radius"), c.radius);
    ready.session.set_float(ready.index_of("smooth"), c.smooth);
    ready.session.set_checkbox(ready.index_of("extend"), c.extend);
    if (c.show_iris) ready.session.set_choice(ready.index_of("show"), show_iris_entry);
    ready.session.in_data()->downsample_x = ready.session.in_data()->downsample_y = PF_RationalScale{1, c.reduction};
    Host_World input(210, 210, argb_8, -10, -10), output(190, 190, argb_8), background(64, 48, argb_8);
    const host::Pre_Render_Result r = ready.session.pre_render(Frame_Layers{&input, &output, {{6, &background}}}, c.request);
    ASSERT_EQ(r.error, PF_Err_NONE);
    ASSERT_EQ(r.checkouts.size(), 8u) << "probe and checkout of the input and three extra layers";
    const PF_LRect none{0, 0, 0, 0}, wanted[] = {none, none, none, none, c.input_request, {0, 0, 64, 48}, none, none};
    const PF_ParamIndex indices[] = {0, 6, 10, 22};
    for (size_t i = 0; i < 8; ++i) {
        const host::Render_Frame::Checkout& checkout = r.checkouts[i];
        EXPECT_EQ(std::tuple(checkout.index, checkout.id, corners(checkout.request.rect)),
                  std::tuple(indices[i % 4], indices[i % 4] + (i < 4 ? 10000 : 0), corners(wanted[i]))) << "checkout " << i;
        EXPECT_TRUE(i >= 4 || (checkout.request.channel_mask == PF_ChannelMask_ARGB && checkout.request.preserve_rgb_of_zero_alpha));
    }
    EXPECT_EQ(std::pair(corners(r.max_result_rect), corners(r.result_rect)), std::pair(corners(c.max_result), corners(c.result)));
}

// Reach 5 with no softening (radius 10 at half resolution too), and none without a radius however smooth; "extend" lets the normal blur
// reach 5 beyond the source, not the previews. A request wholly outside the source gives an empty
// result on its nearest edges.
constexpr Pre_Render_Case pre_render_cases[] = {
    {"Radius5", 5, 0, false, false, {0, 0, 100, 50}, {-5, -5, 105, 55}, {-10, -10, 200, 200}, {0, 0, 100, 50}},
    {"Radius10AtHalf", 10, 0, false, false, {0, 0, 100, 50}, {-5, -5, 105, 55}, {-10, -10, 200, 200}, {0, 0, 100, 50}, 2},
    {"Extend", 5, 0, true, false, {0, 0, 100, 50}, {-5, -5, 105, 55}, {-15, -15, 205, 205}, {0, 0, 100, 50}},
    {"ExtendIris", 5, 0, true, true, {0, 0, 100, 50}, {-5, -5, 105, 55}, {-10, -10, 200, 200}, {0, 0, 100, 50}},
    {"NoRadiusNoSoftening", 0, 40, false, false, {3, 4, 50, 60}, {3, 4, 50, 60}, {-10, -10, 200, 200}, {3, 4, 50, 60}},
    {"BeyondFarEdges", 0, 0, false, false, {300, 250, 400, 400}, {300, 250, 400, 400}, {-10, -10, 200, 200}, {200, 200, 200, 200}},
    {"BeforeNearEdge", 0, 0, false, false, {-50, 20, -20, 40}, {-50, 20, -20, 40}, {-10, -10, 200, 200}, {-10, 20, -10, 40}},
};
INSTANTIATE_TEST_SUITE_P(Cases, AfterEffectsPreRender, testing::ValuesIn(pre_render_cases),
                         [](const testing::TestParamInfo<Pre_Render_Case>& info) { return std::string(info.param.name); });

// Transforms of other sizes round differently: a few float epsilons (1.2e-7) times log2 of the size (at
// most 7 here) for each of three transforms, on values of at most 1: about 3e-6, so 2e-5. Outside the
// part the output stays transparent.
TEST(AfterEffectsRender, APartOfTheFrameComesOutAsInTheWholeFrame) {
    for (const double aspect : {0.0, 0.75, -0.75}) {
        Blurmond_Session ready(test::blurmond_variants[2]);
        ready.session.set_float(ready.index_of("radius"), 6.0);
        ready.session.set_float(ready.index_of("x-y aspect"), aspect);
        ready.session.set_float(ready.index_of("smooth"), 40.0);
        const World_Format format = ready.variant.format();
        Host_World input(64, 48, format), whole(64, 48, format), part(64, 48, format);
        test::fill_test_frame(input, 1);
        ASSERT_EQ(ready.render(Frame_Layers{&input, &whole, {}}), PF_Err_NONE);
        const PF_LRect r{21, 17, 40, 30};
        ASSERT_EQ(ready.session.render_smart(Frame_Layers{&input, &part, {}}, r), PF_Err_NONE);
        EXPECT_EQ(test::difference(part, [&](int64_t x, int64_t y) {
            const bool inside = x >= r.left && x < r.right && y >= r.top && y < r.bottom;
            return inside ? whole.rgba(x, y) : std::array<double, 4>{};
        }, 2e-5), "") << "aspect " << aspect;
        EXPECT_EQ(ready.session.outstanding_checkouts(), 0);
    }
}

TEST(AfterEffectsRender, DeviceWorldsStopAtTheMissingDevicePipeline) {
    Blurmond_Session ready(ae_8_smart);
    show_selection_only(ready);
    const World_Format device{host::Pixel_Depth::bits_32, host::Channel_Order::bgra, true};
    Host_World input(8, 4, device), output(8, 4, device);
    EXPECT_THROW(ready.session.render_smart(Frame_Layers{&input, &output, {}}, PF_LRect{0, 0, 8, 4}, true), std::exception);
    EXPECT_EQ(ready.session.outstanding_checkouts(), 0) << "the input is checked in on the way out";
    ASSERT_EQ(ready.binary.crash_files().size(), 1u);
    const std::string crash = test::Plugin_Binary::read(ready.binary.crash_files()[0]);
    EXPECT_NE(crash.find("smart render. is gpu:1\n"), std::string::npos) << crash;
    EXPECT_NE(crash.find("duration (s)"), std::string::npos) << "the timing report is logged on failure too";
}

}  // namespace
}  // namespace nb
