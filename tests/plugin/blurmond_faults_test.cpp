// The plug-in binary when things go wrong: the host cancels, runs out of memory or fails a call in the
// middle of a render (the caller gets the code, the rest of the frame is not computed, nothing is left
// behind, the next render is as good as one that never failed); or it is given frames a compositor can
// hand over but no one designs for: non-finite float pixels, a single pixel, a frame much smaller than
// the blur, the largest radius, any softening up to the largest double, an iris without light.
#include <gtest/gtest.h>

#include <array>
#include <cfloat>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>

#include "host/effect_session.h"
#include "tests/support/transfer_oracle.h"
#include "tests/support/blurmond_session_rig.h"

namespace nb {
namespace {

using host::Frame_Layers;
using host::Host_World;
using test::Blurmond_Variant;

constexpr Blurmond_Variant smart_float = test::blurmond_variants[2];
constexpr Blurmond_Variant render_8 = test::blurmond_variants[3];

struct Fault_Case {
    const char* failing;  // a host callback answering error, "abort" or "allocation"
    Blurmond_Variant variant;
    int64_t threads;
    PF_Err error, returned;  // a check-in failing after the frame is done leaves the frame good
    // The abort query cancels at this many twelfths of a full render's queries, the first at 0. With
    // several threads the rows the rendering thread takes, and so its queries, vary from run to run;
    // only its checks between passes are certain, so those cases cancel at the first query.
    int64_t share = 0;
};

class BlurmondFaults : public testing::TestWithParam<Fault_Case> {};

TEST_P(BlurmondFaults, ReachTheCallerAsTheirCodeAndLeaveNothingBehind) {
    const Fault_Case& c = GetParam();
    const std::string_view failing = c.failing;
    const bool callback = failing != "abort" && failing != "allocation";
    test::Blurmond_Session ready(c.variant, c.threads, true);
    ready.defocus_with_highlights(6.0);
    host::Headless_Host& host = ready.session.host();
    Host_World input(48, 32, c.variant.format()), clean(48, 32, c.variant.format()), output(48, 32, c.variant.format()),
        background(8, 8, c.variant.format());
    test::fill_test_frame(input, 2);
    const Frame_Layers frame{&input, &output, {{ready.index_of("background layer", "Background"), &background}}};
    const int64_t handles = host.handles().live_handles();
    const int64_t queries = host.abort_calls(), allocations = host.handles().allocations();
    ASSERT_EQ(ready.render(Frame_Layers{&input, &clean, frame.extra}), PF_Err_NONE);
    const int64_t full_queries = host.abort_calls() - queries, full_allocations = host.handles().allocations() - allocations;
    // The rows check for a cancel as they go (the rendering thread's rows ask the host, the others
    // follow it): even shared with a second thread a render of 32 rows through a dozen passes asks
    // more than ten times, so the points below fall inside the render.
    ASSERT_TRUE(full_queries > 10 && full_allocations > 3) << full_queries << " queries, " << full_allocations;
    // Each allocation of a full render fails in turn.
    for (int64_t n = 1; n <= (failing == "allocation" ? full_allocations : 1); ++n) {
        const int64_t armed = host.abort_calls() + 1 + full_queries * c.share / 12, calls = host.faults().calls(c.failing);
        if (failing == "allocation") host.handles().fail_allocation_at(n);
        else if (failing == "abort") host.arm_abort_at(armed);
        else host.faults().inject(c.failing, c.error);
        EXPECT_EQ(ready.session.render(frame, c.variant.path), c.returned) << c.failing << " " << n;
        // Only the rendering thread asks the host; once it is told to stop nothing asks again, and the
        // other threads stop at their next row.
        EXPECT_TRUE(failing != "abort" || host.abort_calls() == armed) << "the render went on after the cancel";
        // A callback's failure is logged as a warning naming the code, except a cancel, which is no failure.
        const std::string log = ready.binary.log_text();
        EXPECT_EQ(log.find("WARNING") != log.npos && log.find(std::to_string(c.error)) != log.npos,
                  callback && c.error != PF_Interrupt_CANCEL)
            << c.failing << ":\n" << log;
        EXPECT_EQ(host.handles().live_handles(), handles) << c.failing << " " << n;
        // A parameter whose check-in the host refused stays checked out; every other one comes back.
        const int64_t refused = failing == "checkin_param" ? host.faults().calls(c.failing) - calls : 0;
        EXPECT_EQ(ready.session.outstanding_checkouts(), refused) << c.failing << " " << n;
        host.arm_abort_at(0);
        host.handles().fail_allocation_at(0);
        host.faults().inject(c.failing, 0);
        ASSERT_EQ(ready.session.render(frame, c.variant.path), PF_Err_NONE);
        EXPECT_EQ(test::byte_difference(output, clean), "") << c.failing << ": the render after failure " << n;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, BlurmondFaults,
    testing::Values(Fault_Case{"abort", smart_float, 1, PF_Interrupt_CANCEL, PF_Interrupt_CANCEL, 0},
                    Fault_Case{"abort", smart_float, 1, PF_Interrupt_CANCEL, PF_Interrupt_CANCEL, 4},
                    Fault_Case{"abort", smart_float, 2, PF_Interrupt_CANCEL, PF_Interrupt_CANCEL, 0},
                    Fault_Case{"abort", render_8, 1, PF_Interrupt_CANCEL, PF_Interrupt_CANCEL, 6},
                    Fault_Case{"abort", render_8, 2, PF_Interrupt_CANCEL, PF_Interrupt_CANCEL, 0},
                    Fault_Case{"allocation", smart_float, 2, PF_Err_OUT_OF_MEMORY, PF_Err_OUT_OF_MEMORY},
                    Fault_Case{"allocation", render_8, 2, PF_Err_OUT_OF_MEMORY, PF_Err_OUT_OF_MEMORY},
                    Fault_Case{"checkout_layer", smart_float, 2, PF_Err_INVALID_INDEX, PF_Err_INVALID_INDEX},
                    Fault_Case{"checkout_output", smart_float, 2, PF_Err_INTERNAL_STRUCT_DAMAGED, PF_Err_INTERNAL_STRUCT_DAMAGED},
                    Fault_Case{"checkin_layer_pixels", smart_float, 2, PF_Err_BAD_CALLBACK_PARAM, PF_Err_NONE},
                    Fault_Case{"GetPixelFormat", render_8, 2, PF_Interrupt_CANCEL, PF_Interrupt_CANCEL},
                    Fault_Case{"checkout_param", render_8, 2, PF_Err_INVALID_INDEX, PF_Err_INVALID_INDEX},
                    Fault_Case{"checkin_param", render_8, 2, PF_Err_BAD_CALLBACK_PARAM, PF_Err_NONE}));

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
// far smaller than the blur. A compositor hands over what earlier effects produced, NaN, infinities and
// values near the float maximum included: in the image or the selection they may spoil what lies within
// the blur's reach of them, never the rest of the frame; the iris is normalised, so with one in the iris
// the frame stays constant.
TEST_P(BlurmondBadInput, ConstantFrameStaysConstantBeyondTheBlursReachOfABadPixel) {
    const Bad_Input_Case& c = GetParam();
    const Blurmond_Variant& v = test::blurmond_variants[c.variant];
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
    Frame_Layers frame{&input, &output, {}};
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
    EXPECT_EQ(test::difference(output, expected), "")
        << v.name << " " << c.width << " x " << c.height << ": " << c.value << " in component " << c.component
        << " of layer " << c.layer;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BlurmondBadInput,
    testing::Values(Bad_Input_Case{0, 1, 1, 5.0}, Bad_Input_Case{5, 1, 1, 5.0}, Bad_Input_Case{1, 3, 2, 60.0},
                    Bad_Input_Case{3, 3, 2, 60.0}, Bad_Input_Case{2, 7, 1, 40.0}, Bad_Input_Case{4, 1, 9, 40.0},
                    Bad_Input_Case{2, 24, 16, 999.0}, Bad_Input_Case{2, 40, 30, 4.0, source, nan, 0},
                    Bad_Input_Case{2, 40, 30, 4.0, source, inf, 1}, Bad_Input_Case{2, 40, 30, 4.0, source, -inf, 2},
                    Bad_Input_Case{2, 40, 30, 4.0, source, 6e34, 0}, Bad_Input_Case{5, 40, 30, 4.0, source, 3.4e38, 3},
                    Bad_Input_Case{5, 40, 30, 4.0, source, nan, 3}, Bad_Input_Case{2, 40, 30, 4.0, selection, nan, 1},
                    Bad_Input_Case{5, 40, 30, 4.0, selection, inf, 0}, Bad_Input_Case{2, 40, 30, 4.0, iris, inf, 3},
                    Bad_Input_Case{2, 40, 30, 4.0, iris, nan, 0, true}, Bad_Input_Case{5, 40, 30, 4.0, iris, -inf, 1},
                    Bad_Input_Case{2, 40, 30, 4.0, iris, 3.4e38, 0, true}, Bad_Input_Case{5, 40, 30, 4.0, iris, 3.4e38, 1}));


struct Soften_Case {
    int variant, horizontal, vertical;  // edge rules: 0 border, 1 mirrored, 2 repeated
    int64_t width, height;
    double smooth, uncapped;  // uncapped: just below the width where the frame stops changing
    double border;            // brightness of a border across the whole radius: -1 leaves no light
    bool gamma;
    PF_Err expected;
};

class BlurmondSoften : public testing::TestWithParam<Soften_Case> {};

// Every legal softening renders or fails with a code, never a blank frame as success. Past the width
// where a tiled or mirrored frame stops changing it renders that frame (the mean, as just below that
// width); beyond what memory holds it fails for want of memory; an iris without light fails as well.
TEST_P(BlurmondSoften, RendersTheFrameItConvergesToOrFailsClearly) {
    const Soften_Case& c = GetParam();
    test::Blurmond_Session ready(test::blurmond_variants[c.variant]);
    host::Effect_Session& s = ready.session;
    for (const auto& [name, value] : {std::pair{"radius", 0.5}, {"border thickness", 1.0}, {"relative border brightness", c.border}})
        s.set_float(s.index_of(name), value);
    s.set_checkbox(s.index_of("gamma correction"), c.gamma);
    s.set_choice(s.index_of("horizontal assume"), c.horizontal);
    s.set_choice(s.index_of("vertical assume"), c.vertical);
    const host::World_Format format = ready.variant.format();
    Host_World input(c.width, c.height, format), output(c.width, c.height, format), below(c.width, c.height, format);
    test::fill_constant(input, {0.0, 0.0, 0.0, 1.0});
    input.set_rgba(0, 0, {1.0, 1.0, 1.0, 1.0});
    for (const auto& [smooth, world] : {std::pair{c.smooth, &output}, {c.uncapped, &below}}) {
        s.set_float(s.index_of("smooth"), smooth);
        ASSERT_EQ(ready.render(Frame_Layers{&input, world, {}}), c.expected) << c.width << " x " << c.height << ", " << smooth;
        if (c.expected != PF_Err_NONE) {
            EXPECT_NE(s.error_message(), "") << "the user is told why";
            return;
        }
    }
    // The width holds any frame within 1e-4 of its limit; this one (half of white from one pixel, through
    // an iris of barely a pixel) comes within 1e-7 there, and 1e-5 off at a tenth of it.
    const double n = 1.0 / static_cast<double>(c.width * c.height), mean = c.gamma ? test::linear_to_bt709(n) : n;
    EXPECT_EQ(test::difference(output, [&](int64_t, int64_t) { return std::array{mean, mean, mean, 1.0}; }, 5e-6), "");
    EXPECT_EQ(test::difference(below, [&](int64_t x, int64_t y) { return output.rgba(x, y); }, 1e-4), "");
}

// Radius 0.5 on 1 x 2 pixels: smooth s softens by 4 s 0.5 / 3 = 2 s / 3. Periods of 2 pixels (one
// pixel mirrored, two tiled) stop changing the frame at 600; the uncapped run softens by 594. Frames
// continued by their edge pixels change ever more slowly, towards no limit an iris reaches in memory.
INSTANTIATE_TEST_SUITE_P(Cases, BlurmondSoften,
                         testing::Values(Soften_Case{2, 1, 2, 1, 2, 1e38, 891.0, 0.0, true, PF_Err_NONE},
                                         Soften_Case{0, 0, 1, 40, 30, DBL_MAX, 0.0, 0.0, true, PF_Err_OUT_OF_MEMORY},
                                         Soften_Case{1, 2, 2, 8, 6, 0.0, 0.0, -1.0, false, PF_Err_BAD_CALLBACK_PARAM}));

}  // namespace
}  // namespace nb
