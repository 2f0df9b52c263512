// The plug-in binary rendering on several host threads and on several render threads at once: the
// result never depends on how the work was spread.
#include <gtest/gtest.h>

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
using test::Blurmond_Session;
using test::Blurmond_Variant;

constexpr int64_t width = 40, height = 28;

class BlurmondRenderThreads : public testing::TestWithParam<Blurmond_Variant> {};

TEST_P(BlurmondRenderThreads, OneTwoAndEightHostThreadsGiveTheSameBits) {
    const Blurmond_Variant& c = GetParam();
    Host_World input(width, height, c.format());
    test::fill_test_frame(input, 1);
    std::vector<std::unique_ptr<Host_World>> outputs;
    for (const int64_t threads : {1, 2, 8}) {
        Blurmond_Session ready(c, threads);
        ready.defocus_with_highlights(6.0);
        outputs.push_back(std::make_unique<Host_World>(width, height, c.format()));
        ASSERT_EQ(ready.render(Frame_Layers{&input, outputs.back().get(), {}}), PF_Err_NONE);
        ASSERT_EQ(ready.session.host().worker_count(), threads);
    }
    EXPECT_EQ(test::byte_difference(*outputs[1], *outputs[0]), "") << c.name << ", 2 threads against 1";
    EXPECT_EQ(test::byte_difference(*outputs[2], *outputs[0]), "") << c.name << ", 8 threads against 1";
}

// A host renders frames on several render threads at once only for an effect that reports it may.
TEST_P(BlurmondRenderThreads, FramesRenderedAtOnceEqualFramesRenderedOneByOne) {
    const Blurmond_Variant& c = GetParam();
    constexpr int frames = 4;
    Blurmond_Session ready(c);
    ASSERT_NE(ready.session.out_data().out_flags2 & PF_OutFlag2_SUPPORTS_THREADED_RENDERING, 0);
    ready.defocus_with_highlights(5.0);
    std::vector<std::unique_ptr<Host_World>> inputs, alone, together;
    for (int f = 0; f < frames; ++f) {
        inputs.push_back(std::make_unique<Host_World>(width, height, c.format()));
        test::fill_test_frame(*inputs.back(), f);
        alone.push_back(std::make_unique<Host_World>(width, height, c.format()));
        together.push_back(std::make_unique<Host_World>(width, height, c.format()));
        ASSERT_EQ(ready.render(Frame_Layers{inputs[f].get(), alone[f].get(), {}}), PF_Err_NONE);
    }
    const int64_t handles_before = ready.session.host().handles().live_handles();

    std::vector<std::unique_ptr<host::Effect_Commands>> render_threads;
    for (int f = 0; f < frames; ++f) render_threads.push_back(ready.session.render_thread());
    std::vector<PF_Err> results(frames, PF_Err_NONE);
    std::vector<std::thread> threads;
    for (int f = 0; f < frames; ++f)
        threads.emplace_back([&, f] {
            results[f] = render_threads[f]->render(Frame_Layers{inputs[f].get(), together[f].get(), {}}, c.path);
        });
    for (std::thread& thread : threads) thread.join();

    for (int f = 0; f < frames; ++f) {
        EXPECT_EQ(results[f], PF_Err_NONE) << c.name << " frame " << f;
        EXPECT_EQ(test::byte_difference(*together[f], *alone[f]), "") << c.name << " frame " << f;
        EXPECT_EQ(render_threads[f]->outstanding_checkouts(), 0) << c.name << " frame " << f;
    }
    EXPECT_EQ(ready.session.host().handles().live_handles(), handles_before);
}

INSTANTIATE_TEST_SUITE_P(Variants, BlurmondRenderThreads, testing::ValuesIn(test::blurmond_variants),
                         [](const testing::TestParamInfo<Blurmond_Variant>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace nb
