// What the host's suites refuse, as a host answers a plug-in's mistakes: stale handles, indices and kinds
// that do not fit, channel chunks checked in twice. The plug-in's own tests only take the right paths.
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

TEST(HostSuites, AegpAndProjectHandlesAreLookedUpNeverFollowed) {
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

    Host_Project_Suites& project = host.project_suites();
    project.set_project_items({AEGP_ItemType_FOLDER, AEGP_ItemType_COMP});
    AEGP_ProjectH handle = nullptr;
    EXPECT_EQ(project.project_by_index(1, &handle), A_Err_PARAMETER);
    ASSERT_EQ(project.project_by_index(0, &handle), A_Err_NONE);
    AEGP_ItemH folder = nullptr, comp_item = nullptr, end = nullptr;
    ASSERT_EQ(project.first_item(handle, &folder), A_Err_NONE);
    ASSERT_EQ(project.next_item(handle, folder, &comp_item), A_Err_NONE);
    ASSERT_EQ(project.next_item(handle, comp_item, &end), A_Err_NONE);
    EXPECT_EQ(end, nullptr);
    AEGP_CompH comp = nullptr;
    EXPECT_EQ(project.comp_from_item(folder, &comp), A_Err_PARAMETER);
    ASSERT_EQ(project.comp_from_item(comp_item, &comp), A_Err_NONE);
    AEGP_ColorProfileP profile = nullptr;
    EXPECT_EQ(project.new_working_space_profile(1, reinterpret_cast<AEGP_CompH>(comp_item), &profile), A_Err_PARAMETER)
        << "an item handle is no composition handle";
    ASSERT_EQ(project.new_working_space_profile(1, comp, &profile), A_Err_NONE);
    EXPECT_EQ(project.dispose_profile(profile), A_Err_NONE);
    A_FpShort gamma = 0.0f;
    EXPECT_EQ(project.approximate_gamma(profile, &gamma), A_Err_PARAMETER) << "a disposed profile";
    VersionInfo version{};
    EXPECT_EQ(project.app_info(PrSDKAppInfoSuite::kAppInfo_Build, &version), suiteError_InvalidParms);
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

    effect.parameter_state().set_depth_channel(0, 2, 2, PF_DataType_FLOAT, 1.0f);
    const auto& channels = acquire<PF_ChannelSuite1>(host, kPFChannelSuite1, 1);
    PF_Boolean found = 0;
    PF_ChannelRef channel{};
    PF_ChannelDesc desc{};
    ASSERT_EQ(channels.PF_GetLayerChannelTypedRefAndDesc(ref, 0, PF_ChannelType_DEPTH, &found, &channel, &desc),
              PF_Err_NONE);
    PF_ChannelChunk chunk{};
    EXPECT_EQ(channels.PF_CheckoutLayerChannel(ref, &channel, 0, 1, 25, PF_DataType_DOUBLE, &chunk),
              PF_Err_BAD_CALLBACK_PARAM) << "another type";
    ASSERT_EQ(channels.PF_CheckoutLayerChannel(ref, &channel, 0, 1, 25, PF_DataType_FLOAT, &chunk), PF_Err_NONE);
    EXPECT_EQ(channels.PF_CheckinLayerChannel(ref, &channel, &chunk), PF_Err_NONE);
    EXPECT_EQ(channels.PF_CheckinLayerChannel(ref, &channel, &chunk), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(effect.parameter_state().channels_checked_out(), 0);
}

}  // namespace
}  // namespace nb::host
