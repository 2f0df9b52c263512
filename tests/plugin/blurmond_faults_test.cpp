// The plug-in binary when the host cancels, runs out of memory or fails a call in the middle of a
// render: the caller gets the code, the rest of the frame is not computed, nothing is left behind.
#include <gtest/gtest.h>

#include <string>

#include "host/effect_session.h"
#include "tests/support/blurmond_session_rig.h"

namespace nb {
namespace {

using host::Frame_Layers;
using host::Host_World;
using test::Blurmond_Session;
using test::Blurmond_Variant;

constexpr Blurmond_Variant smart_float = test::blurmond_variants[2];
constexpr Blurmond_Variant render_8 = test::blurmond_variants[3];

struct Fault_Case {
    Blurmond_Variant variant;
    int64_t threads;
    // The abort query cancels at this many twelfths of a full render's queries, the first at 0; or, at -1,
    // each allocation of a full render fails in turn. With several threads the rows the rendering thread
    // takes, and so its queries, vary from run to run; only its checks between passes are certain, so
    // those cases cancel at the first query.
    int64_t share;
};

class BlurmondAbortAndOutOfMemory : public testing::TestWithParam<Fault_Case> {};

TEST_P(BlurmondAbortAndOutOfMemory, EndTheRenderPromptlyAndGiveEverythingBack) {
    const Fault_Case& c = GetParam();
    Blurmond_Session ready(c.variant, c.threads);
    ready.defocus_with_highlights(6.0);
    host::Headless_Host& host = ready.session.host();
    Host_World input(48, 32, c.variant.format()), clean(48, 32, c.variant.format()), output(48, 32, c.variant.format());
    test::fill_test_frame(input, 2);
    const int64_t handles = host.handles().live_handles();
    const int64_t queries = host.abort_calls(), allocations = host.handles().allocations();
    ASSERT_EQ(ready.render(Frame_Layers{&input, &clean, {}}), PF_Err_NONE);
    const int64_t full_queries = host.abort_calls() - queries, full_allocations = host.handles().allocations() - allocations;
    // The rows check for a cancel as they go (the rendering thread's rows ask the host, the others
    // follow it): even shared with a second thread a render of 32 rows through a dozen passes asks
    // more than ten times, so the points below fall inside the render.
    ASSERT_GT(full_queries, 10) << c.variant.name;
    ASSERT_GT(full_allocations, 3) << c.variant.name;

    for (int64_t failing = 1; failing <= (c.share < 0 ? full_allocations : 1); ++failing) {
        const int64_t armed = host.abort_calls() + 1 + full_queries * c.share / 12;
        if (c.share < 0) host.handles().fail_allocation_at(failing);
        else host.arm_abort_at(armed);
        EXPECT_EQ(ready.render(Frame_Layers{&input, &output, {}}), c.share < 0 ? PF_Err_OUT_OF_MEMORY : PF_Interrupt_CANCEL)
            << c.variant.name << ", allocation " << failing << " of " << full_allocations;
        // Only the rendering thread asks the host; once it is told to stop nothing asks again, and the
        // other threads stop at their next row.
        EXPECT_TRUE(c.share < 0 || host.abort_calls() == armed) << c.variant.name << ": the render went on after the cancel";
        EXPECT_EQ(host.handles().live_handles(), handles) << c.variant.name << ", " << failing;
        EXPECT_EQ(ready.session.outstanding_checkouts(), 0) << c.variant.name << ", " << failing;
        host.arm_abort_at(0);
        host.handles().fail_allocation_at(0);
        ASSERT_EQ(ready.render(Frame_Layers{&input, &output, {}}), PF_Err_NONE);
        EXPECT_EQ(test::byte_difference(output, clean), "") << c.variant.name << ": the render after failure " << failing;
    }
}

INSTANTIATE_TEST_SUITE_P(Points, BlurmondAbortAndOutOfMemory,
                         testing::Values(Fault_Case{smart_float, 1, 0}, Fault_Case{smart_float, 1, 4},
                                         Fault_Case{smart_float, 2, 0}, Fault_Case{smart_float, 2, -1},
                                         Fault_Case{render_8, 1, 6}, Fault_Case{render_8, 1, 11},
                                         Fault_Case{render_8, 2, 0}, Fault_Case{render_8, 2, -1}));

struct Callback_Case {
    const char* callback;
    Blurmond_Variant variant;
    PF_Err error;
    PF_Err returned;  // a check-in failing after the frame is done leaves the frame good
};

class BlurmondFailingCallback : public testing::TestWithParam<Callback_Case> {};

// The plug-in logs a warning naming the code, except for a cancel, which is no failure.
TEST_P(BlurmondFailingCallback, ReachesTheCallerAsItsCodeWithAWarning) {
    const Callback_Case& c = GetParam();
    Blurmond_Session ready(c.variant, 2, true);
    ready.defocus_with_highlights(3.0);
    Host_World input(16, 12, c.variant.format()), output(16, 12, c.variant.format());
    Host_World background(8, 8, c.variant.format());
    const Frame_Layers frame{&input, &output, {{ready.index_of("background layer", "Background"), &background}}};
    host::Headless_Host& host = ready.session.host();
    const int64_t live = host.handles().live_handles();
    host.faults().inject(c.callback, c.error);
    EXPECT_EQ(ready.session.render(frame, c.variant.path), c.returned) << c.callback;
    const int64_t calls = host.faults().calls(c.callback);
    EXPECT_GT(calls, 0) << c.callback << " was never called";
    const std::string log = ready.binary.log_text();
    const bool warned = log.find("WARNING") != std::string::npos && log.find(std::to_string(c.error)) != std::string::npos;
    EXPECT_EQ(warned, c.error != PF_Interrupt_CANCEL) << c.callback << ":\n" << log;
    EXPECT_EQ(host.handles().live_handles(), live) << c.callback;
    // A parameter whose check-in the host refused stays checked out; every other one comes back.
    const int64_t refused = std::string(c.callback) == "checkin_param" ? calls : 0;
    EXPECT_EQ(ready.session.outstanding_checkouts(), refused) << c.callback;
    EXPECT_TRUE(ready.binary.crash_files().empty()) << c.callback;
}

INSTANTIATE_TEST_SUITE_P(
    Callbacks, BlurmondFailingCallback,
    testing::Values(Callback_Case{"checkout_layer", smart_float, PF_Err_INVALID_INDEX, PF_Err_INVALID_INDEX},
                    Callback_Case{"checkout_layer_pixels", smart_float, PF_Err_BAD_CALLBACK_PARAM, PF_Err_BAD_CALLBACK_PARAM},
                    Callback_Case{"checkout_output", smart_float, PF_Err_INTERNAL_STRUCT_DAMAGED, PF_Err_INTERNAL_STRUCT_DAMAGED},
                    Callback_Case{"PF_GetPixelFormat", smart_float, PF_Err_INVALID_CALLBACK, PF_Err_INVALID_CALLBACK},
                    Callback_Case{"checkin_layer_pixels", smart_float, PF_Err_BAD_CALLBACK_PARAM, PF_Err_NONE},
                    Callback_Case{"GetPixelFormat", render_8, PF_Interrupt_CANCEL, PF_Interrupt_CANCEL},
                    Callback_Case{"checkout_param", render_8, PF_Err_INVALID_INDEX, PF_Err_INVALID_INDEX},
                    Callback_Case{"checkin_param", render_8, PF_Err_BAD_CALLBACK_PARAM, PF_Err_NONE}));

}  // namespace
}  // namespace nb
