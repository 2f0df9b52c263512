// The render commands of the plug-in binary under the headless host: both render paths in every pixel
// variant, extra layers, device worlds and the frame's extents.
#include "base/after_effects/after_effects_render.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>

#include "host/effect_session.h"
#include "tests/support/plugin_binary.h"

namespace nb {
namespace {

using host::Channel_Order;
using host::Effect_Session;
using host::Frame_Layers;
using host::Host_World;
using host::Pixel_Depth;
using host::Render_Path;
using host::World_Format;

constexpr int32_t show_iris_entry = 1;
constexpr int32_t show_selection_only_entry = 3;

struct Variant_Case {
    const char* name;
    A_long appl_id;
    Pixel_Depth depth;
    Channel_Order order;
    Render_Path path;
};

host::Session_Settings settings_for(A_long appl_id) {
    host::Session_Settings settings;
    settings.effect.appl_id = appl_id;
    settings.threads = 2;
    return settings;
}

// A session that has been through global and parameter setup.
struct Ready_Session {
    explicit Ready_Session(A_long appl_id, bool log_file = true)
        : binary(log_file), session(binary.library(), settings_for(appl_id)) {
        EXPECT_EQ(session.global_setup(), PF_Err_NONE);
        EXPECT_EQ(session.params_setup(), PF_Err_NONE);
    }
    bool premiere() { return session.in_data()->appl_id == host::app_id_premiere; }
    // Shows the selection alone; under After Effects it must be switched on.
    void show_selection_only() {
        session.set_choice(session.index_of("show"), show_selection_only_entry);
        if (!premiere()) session.set_checkbox(session.index_of("enable"), true);
    }
    test::Plugin_Binary binary;
    Effect_Session session;
};

// Left half opaque white, right half opaque black, the last row transparent.
void fill_halves(Host_World& world) {
    for (int64_t y = 0; y < world.height(); ++y)
        for (int64_t x = 0; x < world.width(); ++x) {
            const double v = x < world.width() / 2 ? 1.0 : 0.0;
            world.set_rgba(x, y, y + 1 == world.height() ? std::array<double, 4>{0, 0, 0, 0}
                                                         : std::array<double, 4>{v, v, v, 1.0});
        }
}

class AfterEffectsRenderVariants : public testing::TestWithParam<Variant_Case> {};

TEST_P(AfterEffectsRenderVariants, SelectionAloneIsWhiteWhereTheImageIsLight) {
    const Variant_Case& c = GetParam();
    Ready_Session ready(c.appl_id);
    ready.show_selection_only();
    const World_Format format{c.depth, c.order, false};
    Host_World input(24, 10, format), output(24, 10, format);
    fill_halves(input);
    ASSERT_EQ(ready.session.render(Frame_Layers{&input, &output, {}}, c.path), PF_Err_NONE);
    // Soften 0 makes the weight 1 inside the lightness window and 0 outside: white (lightness 1) lies
    // inside it on both hosts, black and transparent pixels outside.
    for (int64_t y = 0; y < 10; ++y)
        for (int64_t x = 0; x < 24; ++x) {
            const double w = x < 12 && y < 9 ? 1.0 : 0.0;
            ASSERT_EQ(output.rgba(x, y), (std::array<double, 4>{w, w, w, 1.0})) << c.name << " pixel " << x << ", " << y;
        }
    EXPECT_EQ(ready.session.outstanding_checkouts(), 0);
    const std::string log = ready.binary.log_text();
    EXPECT_NE(log.find(c.path == Render_Path::smart ? "render path: PF_Cmd_SMART_RENDER\n" : "render path: PF_Cmd_RENDER\n"),
              std::string::npos);
    EXPECT_NE(log.find("duration (s)"), std::string::npos) << "the timing report ends every render";
}

TEST_P(AfterEffectsRenderVariants, IrisAloneMatchesTheFloatRenderWithinRounding) {
    const Variant_Case& c = GetParam();
    Ready_Session reference_session(host::app_id_after_effects);
    reference_session.session.set_choice(reference_session.session.index_of("show"), show_iris_entry);
    const World_Format float_argb{Pixel_Depth::bits_32, Channel_Order::argb, false};
    Host_World reference_input(64, 48, float_argb), reference(64, 48, float_argb);
    ASSERT_EQ(reference_session.session.render(Frame_Layers{&reference_input, &reference, {}}, Render_Path::smart),
              PF_Err_NONE);
    // The preview draws an iris of radius (64/640 + 48/480) * 50 = 10 in the middle of the frame.
    EXPECT_GT(reference.rgba(32, 24)[0], 0.99);
    EXPECT_EQ(reference.rgba(2, 2)[0], 0.0);

    Ready_Session ready(c.appl_id);
    ready.session.set_choice(ready.session.index_of("show"), show_iris_entry);
    const World_Format format{c.depth, c.order, false};
    Host_World input(64, 48, format), output(64, 48, format);
    ASSERT_EQ(ready.session.render(Frame_Layers{&input, &output, {}}, c.path), PF_Err_NONE);
    // Every variant draws the same float values; 8- and 16-bit layers keep them truncated to their code
    // values, so they lie up to one code value below the float render (plus float rounding of the sum).
    const double tolerance = 1.0 / format.white() + 1e-6;
    double worst = 0;
    int64_t worst_x = 0, worst_y = 0;
    for (int64_t y = 0; y < 48; ++y)
        for (int64_t x = 0; x < 64; ++x)
            for (int k = 0; k < 4; ++k) {
                const double d = std::abs(output.rgba(x, y)[k] - reference.rgba(x, y)[k]);
                if (d > worst) std::tie(worst, worst_x, worst_y) = std::tie(d, x, y);
            }
    EXPECT_LE(worst, tolerance) << c.name << ": worst pixel " << worst_x << ", " << worst_y << " has "
                                << output.rgba(worst_x, worst_y)[1] << " against "
                                << reference.rgba(worst_x, worst_y)[1];
    EXPECT_EQ(ready.session.outstanding_checkouts(), 0);
}

TEST_P(AfterEffectsRenderVariants, NormalBlurKeepsAConstantImageConstant) {
    const Variant_Case& c = GetParam();
    Ready_Session ready(c.appl_id);
    ready.session.set_float(ready.session.index_of("radius"), 3.0);
    const World_Format format{c.depth, c.order, false};
    Host_World input(20, 16, format), output(20, 16, format);
    // A code value in every depth, so the input holds exactly this colour.
    const std::array<double, 4> colour{100.0 / 255.0, 20.0 / 255.0, 240.0 / 255.0, 1.0};
    for (int64_t y = 0; y < 16; ++y)
        for (int64_t x = 0; x < 20; ++x) input.set_rgba(x, y, colour);
    ASSERT_EQ(ready.session.render(Frame_Layers{&input, &output, {}}, c.path), PF_Err_NONE);
    // The iris sums to 1 and the edge pixels continue the image, so every output pixel is the colour
    // again, up to float rounding of the transforms (far below a code value) and the final rounding to
    // code values: one code value, or 1e-4 in float.
    const double tolerance = c.depth == Pixel_Depth::bits_32 ? 1e-4 : 1.0 / format.white() + 1e-6;
    for (int64_t y = 0; y < 16; ++y)
        for (int64_t x = 0; x < 20; ++x)
            for (int k = 0; k < 4; ++k)
                ASSERT_NEAR(output.rgba(x, y)[k], input.rgba(x, y)[k], tolerance)
                    << c.name << " pixel " << x << ", " << y << " component " << k;
    EXPECT_EQ(ready.session.outstanding_checkouts(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    SixVariantsTwoPaths, AfterEffectsRenderVariants,
    testing::Values(
        Variant_Case{"Argb8Smart", host::app_id_after_effects, Pixel_Depth::bits_8, Channel_Order::argb, Render_Path::smart},
        Variant_Case{"Argb16Smart", host::app_id_after_effects, Pixel_Depth::bits_16, Channel_Order::argb, Render_Path::smart},
        Variant_Case{"Argb32Smart", host::app_id_after_effects, Pixel_Depth::bits_32, Channel_Order::argb, Render_Path::smart},
        Variant_Case{"Argb8Render", host::app_id_after_effects, Pixel_Depth::bits_8, Channel_Order::argb, Render_Path::non_smart},
        Variant_Case{"Argb16Render", host::app_id_after_effects, Pixel_Depth::bits_16, Channel_Order::argb, Render_Path::non_smart},
        Variant_Case{"Argb32Render", host::app_id_after_effects, Pixel_Depth::bits_32, Channel_Order::argb, Render_Path::non_smart},
        Variant_Case{"Bgra8Smart", host::app_id_premiere, Pixel_Depth::bits_8, Channel_Order::bgra, Render_Path::smart},
        Variant_Case{"Bgra16Smart", host::app_id_premiere, Pixel_Depth::bits_16, Channel_Order::bgra, Render_Path::smart},
        Variant_Case{"Bgra32Smart", host::app_id_premiere, Pixel_Depth::bits_32, Channel_Order::bgra, Render_Path::smart},
        Variant_Case{"Bgra8Render", host::app_id_premiere, Pixel_Depth::bits_8, Channel_Order::bgra, Render_Path::non_smart},
        Variant_Case{"Bgra16Render", host::app_id_premiere, Pixel_Depth::bits_16, Channel_Order::bgra, Render_Path::non_smart},
        Variant_Case{"Bgra32Render", host::app_id_premiere, Pixel_Depth::bits_32, Channel_Order::bgra, Render_Path::non_smart}),
    [](const testing::TestParamInfo<Variant_Case>& info) { return std::string(info.param.name); });

struct Centring_Case {
    int64_t layer_width;
    int64_t first_column;  // (1920 - width) / 2, truncated
    Render_Path path;
};

class AfterEffectsRenderCentring : public testing::TestWithParam<Centring_Case> {};

TEST_P(AfterEffectsRenderCentring, ExtraLayersAreCentredOnTheFrame) {
    const Centring_Case& c = GetParam();
    Ready_Session ready(host::app_id_after_effects);
    ready.show_selection_only();
    const World_Format format{Pixel_Depth::bits_8, Channel_Order::argb, false};
    Host_World input(1920, 2, format), output(1920, 2, format), selection(c.layer_width, 2, format);
    for (int64_t x = 0; x < c.layer_width; ++x)
        for (int64_t y = 0; y < 2; ++y) selection.set_rgba(x, y, {1, 1, 1, 1});
    const int32_t selection_index = ready.session.index_of("alternative Selection layer");
    ASSERT_EQ(ready.session.render(Frame_Layers{&input, &output, {{selection_index, &selection}}}, c.path),
              PF_Err_NONE);
    for (int64_t x = 0; x < 1920; ++x) {
        const double w = x >= c.first_column && x < c.first_column + c.layer_width ? 1.0 : 0.0;
        ASSERT_EQ(output.rgba(x, 1)[1], w) << "width " << c.layer_width << " column " << x;
    }
    EXPECT_EQ(ready.session.outstanding_checkouts(), 0);
}

INSTANTIATE_TEST_SUITE_P(Widths, AfterEffectsRenderCentring,
                         testing::Values(Centring_Case{100, 910, Render_Path::smart},
                                         Centring_Case{101, 909, Render_Path::smart},
                                         Centring_Case{100, 910, Render_Path::non_smart},
                                         Centring_Case{101, 909, Render_Path::non_smart}));

TEST(AfterEffectsRender, PremiereSixteenBitsRendersThroughTheBgraSixteenBitVariant) {
    Ready_Session ready(host::app_id_premiere);
    ready.show_selection_only();
    const World_Format format{Pixel_Depth::bits_16, Channel_Order::bgra, false};
    Host_World input(8, 4, format), output(8, 4, format);
    ASSERT_EQ(ready.session.render(Frame_Layers{&input, &output, {}}, Render_Path::non_smart), PF_Err_NONE);
    EXPECT_NE(ready.binary.log_text().find("translating render call to 16 bit bgra us - cpu\n"), std::string::npos);
}

TEST(AfterEffectsRender, PreRenderGrowsTheInputRequestAndClampsTheResult) {
    Ready_Session ready(host::app_id_after_effects);
    ready.session.set_float(ready.session.index_of("radius"), 5.0);
    const World_Format format{Pixel_Depth::bits_8, Channel_Order::argb, false};
    Host_World input(210, 210, format, -10, -10), output(190, 190, format);
    const host::Pre_Render_Result r = ready.session.pre_render(Frame_Layers{&input, &output, {}}, PF_LRect{0, 0, 100, 50});
    ASSERT_EQ(r.error, PF_Err_NONE);
    EXPECT_EQ(r.max_result_rect.left, -10);
    EXPECT_EQ(r.max_result_rect.bottom, 200);
    EXPECT_EQ(r.result_rect.right, 100);
    EXPECT_EQ(r.result_rect.bottom, 50);
    ASSERT_EQ(r.checkouts.size(), 8u);
    EXPECT_EQ(r.checkouts[0].id, 10000);
    const host::Render_Frame::Checkout& input_checkout = r.checkouts[4];
    EXPECT_EQ(input_checkout.id, 0);
    EXPECT_LT(input_checkout.request.rect.left, 0) << "the input is requested beyond the output";
    EXPECT_GT(input_checkout.request.rect.bottom, 50);
}

TEST(AfterEffectsRender, DeviceWorldsStopAtTheMissingDevicePipeline) {
    Ready_Session ready(host::app_id_after_effects, false);
    ready.show_selection_only();
    const World_Format device{Pixel_Depth::bits_32, Channel_Order::bgra, true};
    Host_World input(8, 4, device), output(8, 4, device);
    EXPECT_THROW(ready.session.render_smart(Frame_Layers{&input, &output, {}}, PF_LRect{0, 0, 8, 4}, true),
                 std::exception);
    EXPECT_EQ(ready.session.outstanding_checkouts(), 0) << "the input is checked in on the way out";
    ASSERT_EQ(ready.binary.crash_files().size(), 1u);
    const std::string crash = test::Plugin_Binary::read(ready.binary.crash_files()[0]);
    EXPECT_NE(crash.find("smart render. is gpu:1\n"), std::string::npos) << crash;
    EXPECT_NE(crash.find("found something that needs implementation"), std::string::npos) << crash;
    EXPECT_NE(crash.find("duration (s)"), std::string::npos) << "the timing report is logged on failure too";
}

// A smooth but uneven float image: every output pixel of the blur depends on many different sources.
void fill_pattern(Host_World& world) {
    for (int64_t y = 0; y < world.height(); ++y)
        for (int64_t x = 0; x < world.width(); ++x) {
            const double v = 0.5 + 0.4 * std::sin(0.7 * x + 0.3 * y) * std::cos(0.2 * x * y / 7.0);
            world.set_rgba(x, y, {v, 1.0 - v, 0.25 + 0.5 * v * v, x % 7 == 0 ? 0.5 : 1.0});
        }
}

class AfterEffectsRenderParts : public testing::TestWithParam<double> {};

TEST_P(AfterEffectsRenderParts, APartOfTheFrameComesOutAsInTheWholeFrame) {
    const double aspect = GetParam();
    Ready_Session ready(host::app_id_after_effects);
    ready.session.set_float(ready.session.index_of("radius"), 6.0);
    ready.session.set_float(ready.session.index_of("x-y aspect"), aspect);
    ready.session.set_float(ready.session.index_of("smooth"), 40.0);
    const World_Format format{Pixel_Depth::bits_32, Channel_Order::argb, false};
    Host_World input(64, 48, format), whole(64, 48, format), part(64, 48, format);
    fill_pattern(input);
    ASSERT_EQ(ready.session.render(Frame_Layers{&input, &whole, {}}, Render_Path::smart), PF_Err_NONE);
    const PF_LRect r{21, 17, 40, 30};
    ASSERT_EQ(ready.session.render_smart(Frame_Layers{&input, &part, {}}, r), PF_Err_NONE);
    // Transforms of other sizes round differently: a few float epsilons (1.2e-7) times log2 of the size
    // (at most 7 here) for each of three transforms, on values of at most 1: about 3e-6, so 2e-5.
    constexpr double tolerance = 2e-5;
    double worst = 0;
    int64_t worst_x = 0, worst_y = 0;
    for (int64_t y = 0; y < 48; ++y)
        for (int64_t x = 0; x < 64; ++x) {
            const bool inside = x >= r.left && x < r.right && y >= r.top && y < r.bottom;
            for (int k = 0; k < 4; ++k) {
                const double d = inside ? std::abs(part.rgba(x, y)[k] - whole.rgba(x, y)[k]) : std::abs(part.rgba(x, y)[k]);
                if (d > worst) std::tie(worst, worst_x, worst_y) = std::tie(d, x, y);
            }
        }
    EXPECT_LE(worst, tolerance) << "aspect " << aspect << ": worst pixel " << worst_x << ", " << worst_y << " has "
                                << part.rgba(worst_x, worst_y)[1] << " against " << whole.rgba(worst_x, worst_y)[1];
    EXPECT_EQ(ready.session.outstanding_checkouts(), 0);
}

INSTANTIATE_TEST_SUITE_P(Aspects, AfterEffectsRenderParts, testing::Values(0.0, 0.75, -0.75));

TEST(AfterEffectsRender, AMissingInputGivesATransparentFrame) {
    for (const Render_Path path : {Render_Path::smart, Render_Path::non_smart}) {
        Ready_Session ready(host::app_id_after_effects);
        ready.session.set_float(ready.session.index_of("radius"), 4.0);
        // "extend" lets the blur reach beyond the source, so the smart path renders even without one.
        ready.session.set_checkbox(ready.session.index_of("extend"), true);
        const World_Format format{Pixel_Depth::bits_16, Channel_Order::argb, false};
        Host_World output(20, 12, format);
        for (int64_t y = 0; y < 12; ++y)
            for (int64_t x = 0; x < 20; ++x) output.set_rgba(x, y, {0.5, 0.5, 0.5, 1.0});
        ASSERT_EQ(ready.session.render(Frame_Layers{nullptr, &output, {}}, path), PF_Err_NONE);
        const std::string log = ready.binary.log_text();
        EXPECT_NE(log.find(path == Render_Path::smart ? "smart render. is gpu:0" : "render path: PF_Cmd_RENDER"),
                  std::string::npos)
            << "the render was called";
        for (int64_t y = 0; y < 12; ++y)
            for (int64_t x = 0; x < 20; ++x)
                ASSERT_EQ(output.rgba(x, y), (std::array<double, 4>{0, 0, 0, 0})) << "pixel " << x << ", " << y;
        EXPECT_EQ(ready.session.outstanding_checkouts(), 0);
    }
}

}  // namespace
}  // namespace nb
