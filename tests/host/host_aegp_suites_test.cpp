// Effect and stream handles of the AEGP suites: lookups, stale handles, disposal.
#include "host/host_aegp_suites.h"

#include <gtest/gtest.h>

#include "host/effect_instance.h"
#include "host/headless_host.h"

namespace nb::host {
namespace {

TEST(HostAegpSuites, StreamsAnswerForTheirEffectsParameter) {
    Headless_Host host(1);
    Effect_Instance effect(host);
    effect.parameter_state().set_animation(0, 3, false);
    Host_Aegp_Suites& suites = host.aegp_suites();
    AEGP_EffectRefH effect_handle = nullptr;
    ASSERT_EQ(suites.new_effect(5, effect.in_data()->effect_ref, &effect_handle), A_Err_NONE);
    AEGP_StreamRefH stream = nullptr;
    EXPECT_EQ(suites.new_stream(5, effect_handle, 1, &stream), A_Err_PARAMETER);  // only the input exists
    ASSERT_EQ(suites.new_stream(5, effect_handle, 0, &stream), A_Err_NONE);
    A_long keyframes = -1;
    EXPECT_EQ(suites.keyframe_count(stream, &keyframes), A_Err_NONE);
    EXPECT_EQ(keyframes, 3);
    EXPECT_EQ(suites.live_streams(), 1);
    EXPECT_EQ(suites.dispose_stream(stream), A_Err_NONE);
    // A disposed handle is stale: answered, never followed.
    EXPECT_EQ(suites.keyframe_count(stream, &keyframes), A_Err_PARAMETER);
    EXPECT_EQ(suites.dispose_stream(stream), A_Err_PARAMETER);
    EXPECT_EQ(suites.dispose_effect(effect_handle), A_Err_NONE);
    EXPECT_EQ(suites.new_stream(5, effect_handle, 0, &stream), A_Err_PARAMETER);
    EXPECT_EQ(suites.live_effects(), 0);
}

TEST(HostAegpSuites, SuiteFunctionsReachTheirOwnHost) {
    Headless_Host first(1), second(1);
    Effect_Instance effect(second);
    const void* table = nullptr;
    ASSERT_EQ(second.acquire_suite(kAEGPPFInterfaceSuite, 1, &table), kSPNoError);
    const auto& pf_interface = *static_cast<const AEGP_PFInterfaceSuite1*>(table);
    AEGP_EffectRefH handle = nullptr;
    ASSERT_EQ(pf_interface.AEGP_GetNewEffectForEffect(9, effect.in_data()->effect_ref, &handle), A_Err_NONE);
    EXPECT_EQ(second.aegp_suites().live_effects(), 1);
    EXPECT_EQ(first.aegp_suites().live_effects(), 0);
    second.aegp_suites().dispose_effect(handle);
    second.release_suite(kAEGPPFInterfaceSuite, 1);
}

}  // namespace
}  // namespace nb::host
