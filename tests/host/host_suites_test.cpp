// What the host's suites refuse, as a host answers a plug-in's mistakes: stale handles, indices and kinds
// that do not fit. The plug-in's own tests only take the right paths.
#include "host/host_aegp_suites.h"
#include "host/host_project_suites.h"

#include <gtest/gtest.h>

#include <cstring>

#include "host/effect_instance.h"
#include "host/headless_host.h"

namespace nb::host {
namespace {

template <class Suite>
const Suite& acquire(Headless_Host& host, const char* name, int32_t version) {
    const void* table = nullptr;
    EXPECT_EQ(host.acquire_suite(name, version, &table), kSPNoError) << name;
    host.release_suite(name, version);
    return *static_cast<const Suite*>(table);
}

TEST(HostSuites, AegpHandlesAreLookedUpNeverFollowed) {
    Headless_Host host(1);
    Effect_Instance effect(host);
    Host_Aegp_Suites& aegp = host.aegp_suites();
    AEGP_EffectRefH effect_handle = nullptr;
    AEGP_StreamRefH stream = nullptr;
    ASSERT_EQ(aegp.new_effect(5, effect.in_data()->effect_ref, &effect_handle), A_Err_NONE);
    EXPECT_EQ(aegp.new_stream(5, effect_handle, 1, &stream), A_Err_PARAMETER) << "only the input exists";
    ASSERT_EQ(aegp.new_stream(5, effect_handle, 0, &stream), A_Err_NONE);
    A_long keyframes = -1;
    EXPECT_EQ(aegp.dispose_stream(stream), A_Err_NONE);
    EXPECT_EQ(aegp.keyframe_count(stream, &keyframes), A_Err_PARAMETER) << "a disposed stream";
    EXPECT_EQ(aegp.dispose_stream(stream), A_Err_PARAMETER);
    EXPECT_EQ(aegp.dispose_effect(effect_handle), A_Err_NONE);
    EXPECT_EQ(aegp.new_stream(5, effect_handle, 0, &stream), A_Err_PARAMETER) << "a disposed effect";

    VersionInfo version{};
    EXPECT_EQ(host.project_suites().app_info(PrSDKAppInfoSuite::kAppInfo_Build, &version), suiteError_InvalidParms);
}

TEST(HostSuites, ParameterSuitesRefuseWhatDoesNotFit) {
    Headless_Host host(1);
    Effect_Instance effect(host);
    const PF_ProgPtr ref = effect.in_data()->effect_ref;
    PF_ParamDef color{};
    color.param_type = PF_Param_COLOR;
    color.u.cd.value = PF_Pixel{255, 51, 102, 0};
    PF_ParamDef slider{};
    slider.param_type = PF_Param_FLOAT_SLIDER;
    slider.u.fs_d.value = 0.5;
    effect.in_data()->inter.add_param(ref, -1, &color);
    effect.in_data()->inter.add_param(ref, -1, &slider);
    const auto& utils = acquire<PF_ParamUtilsSuite1>(host, kPFParamUtilsSuite, 2);
    EXPECT_EQ(utils.PF_UpdateParamUI(ref, 0, &color), PF_Err_INVALID_INDEX) << "the input";
    EXPECT_EQ(utils.PF_UpdateParamUI(ref, 3, &color), PF_Err_INVALID_INDEX);
    EXPECT_EQ(utils.PF_UpdateParamUI(ref, 1, nullptr), PF_Err_BAD_CALLBACK_PARAM);
    // A refresh takes over what the control shows; a value comes back only through change flags.
    PF_ParamDef shown = slider;
    shown.ui_flags = PF_PUI_DISABLED;
    std::strcpy(shown.name, "renamed");
    shown.u.fs_d.slider_max = 9.0f;
    shown.u.fs_d.value = 0.75;
    ASSERT_EQ(utils.PF_UpdateParamUI(ref, 2, &shown), PF_Err_NONE);
    EXPECT_EQ(effect.parameter(2).ui_flags, PF_PUI_DISABLED);
    EXPECT_STREQ(effect.parameter(2).name, "renamed");
    EXPECT_EQ(effect.parameter(2).u.fs_d.slider_max, 9.0f);
    EXPECT_EQ(effect.parameter(2).u.fs_d.value, 0.5);
    // Without a finer colour the bytes speak: 51 / 255 = 0.2, 102 / 255 = 0.4.
    const auto& colors = acquire<PF_ColorParamSuite1>(host, kPFColorParamSuite, 1);
    PF_PixelFloat value{};
    ASSERT_EQ(colors.PF_GetFloatingPointColorFromColorDef(ref, &color, &value), PF_Err_NONE);
    EXPECT_EQ(value.red, 51 / 255.0f);
    EXPECT_EQ(value.green, 102 / 255.0f);
    EXPECT_EQ(colors.PF_GetFloatingPointColorFromColorDef(ref, &slider, &value), PF_Err_BAD_CALLBACK_PARAM);
}

}  // namespace
}  // namespace nb::host
