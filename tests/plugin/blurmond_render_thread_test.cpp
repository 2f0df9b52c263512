// The plug-in binary rendering on several host threads and on several render threads at once: the
// result never depends on how the work was spread.
#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "host/effect_session.h"
#include "tests/support/blurmond_session_rig.h"

namespace nb {
namespace {

using host::Frame_Layers;
using host::Host_World;

class BlurmondRenderThreads : public testing::TestWithParam<test::Blurmond_Variant> {};

// Frames rendered one by one on a single host thread against the same frames rendered at once on four
// render threads sharing eight host threads; a host does so only for an effect that reports it may.
TEST_P(BlurmondRenderThreads, ResultsDoNotDependOnHowTheWorkIsSpread) {
    const test::Blurmond_Variant& c = GetParam();
    constexpr int frames = 4;
    test::Blurmond_Session alone(c, 1), together(c, 8);
    ASSERT_NE(together.session.out_data().out_flags2 & PF_OutFlag2_SUPPORTS_THREADED_RENDERING, 0);
    const int64_t handles_before = together.session.host().handles().live_handles();
    std::deque<Host_World> inputs, expected, outputs;
    std::vector<std::unique_ptr<host::Effect_Commands>> render_threads;
    for (int f = 0; f < frames; ++f) {
        test::fill_test_frame(inputs.emplace_back(40, 28, c.format()), f);
        outputs.emplace_back(40, 28, c.format());
        alone.defocus_with_highlights(5.0 + f);
        ASSERT_EQ(alone.render(Frame_Layers{&inputs[f], &expected.emplace_back(40, 28, c.format()), {}}), PF_Err_NONE);
        together.defocus_with_highlights(5.0 + f);
        render_threads.push_back(together.session.render_thread());
    }
    std::vector<PF_Err> results(frames, PF_Err_NONE);
    std::vector<std::thread> threads;
    for (int f = 0; f < frames; ++f)
        threads.emplace_back([&, f] {
            results[f] = render_threads[f]->render(Frame_Layers{&inputs[f], &outputs[f], {}}, c.path);
        });
    for (std::thread& thread : threads) thread.join();
    for (int f = 0; f < frames; ++f) {
        EXPECT_EQ(results[f], PF_Err_NONE) << c.name << " frame " << f;
        EXPECT_EQ(test::byte_difference(outputs[f], expected[f]), "") << c.name << " frame " << f;
        EXPECT_EQ(render_threads[f]->outstanding_checkouts(), 0) << c.name << " frame " << f;
    }
    EXPECT_EQ(together.session.host().handles().live_handles(), handles_before);
}

INSTANTIATE_TEST_SUITE_P(Variants, BlurmondRenderThreads, testing::ValuesIn(test::blurmond_variants),
                         [](const testing::TestParamInfo<test::Blurmond_Variant>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace nb
