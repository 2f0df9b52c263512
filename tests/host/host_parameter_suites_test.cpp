// The parameter suites as the host serves them: argument checks, colour lookup, channel bookkeeping.
#include "host/host_parameter_suites.h"

#include <gtest/gtest.h>

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

PF_ParamDef color_record(A_long id) {
    PF_ParamDef color{};
    color.param_type = PF_Param_COLOR;
    color.uu.id = id;
    color.u.cd.value = PF_Pixel{255, 51, 102, 0};
    return color;
}

TEST(HostParameterSuites, RefreshesOnlyControlsThatExist) {
    Headless_Host host(1);
    Effect_Instance effect(host);
    PF_InData* in_data = effect.in_data();
    PF_ParamDef slider{};
    slider.param_type = PF_Param_FLOAT_SLIDER;
    in_data->inter.add_param(in_data->effect_ref, -1, &slider);
    const auto& utils = acquire<PF_ParamUtilsSuite1>(host, kPFParamUtilsSuite, 2);
    EXPECT_EQ(utils.PF_UpdateParamUI(in_data->effect_ref, 0, &slider), PF_Err_INVALID_INDEX);  // the input
    EXPECT_EQ(utils.PF_UpdateParamUI(in_data->effect_ref, 2, &slider), PF_Err_INVALID_INDEX);
    EXPECT_EQ(utils.PF_UpdateParamUI(in_data->effect_ref, 1, nullptr), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(utils.PF_UpdateParamUI(in_data->effect_ref, 1, &slider), PF_Err_NONE);
    EXPECT_EQ(effect.parameter_state().ui_updates().size(), 1u);
}

TEST(HostParameterSuites, FloatingPointColourByTheRecordsIdentifier) {
    Headless_Host host(1);
    Effect_Instance effect(host);
    PF_InData* in_data = effect.in_data();
    PF_ParamDef first = color_record(11), second = color_record(12);
    in_data->inter.add_param(in_data->effect_ref, -1, &first);
    in_data->inter.add_param(in_data->effect_ref, -1, &second);
    effect.parameter_state().set_float_color(2, PF_PixelFloat{1.0f, 0.125f, 0.25f, 0.0f});
    const auto& colors = acquire<PF_ColorParamSuite1>(host, kPFColorParamSuite, 1);
    PF_PixelFloat color{};
    ASSERT_EQ(colors.PF_GetFloatingPointColorFromColorDef(in_data->effect_ref, &second, &color), PF_Err_NONE);
    EXPECT_EQ(color.red, 0.125f);
    // Without a finer colour the bytes speak: 51 / 255 = 0.2, 102 / 255 = 0.4.
    ASSERT_EQ(colors.PF_GetFloatingPointColorFromColorDef(in_data->effect_ref, &first, &color), PF_Err_NONE);
    EXPECT_EQ(color.red, 51 / 255.0f);
    EXPECT_EQ(color.green, 102 / 255.0f);
    PF_ParamDef slider{};
    EXPECT_EQ(colors.PF_GetFloatingPointColorFromColorDef(in_data->effect_ref, &slider, &color),
              PF_Err_BAD_CALLBACK_PARAM);
}

TEST(HostParameterSuites, ChannelsAreHandedOutInTheirOwnTypeAndCounted) {
    Headless_Host host(1);
    Effect_Instance effect(host);
    PF_InData* in_data = effect.in_data();
    effect.parameter_state().set_depth_channel(0, 2, 2, PF_DataType_FLOAT, 1.0f);
    const auto& channels = acquire<PF_ChannelSuite1>(host, kPFChannelSuite1, 1);
    PF_Boolean found = 0;
    PF_ChannelRef ref{};
    PF_ChannelDesc desc{};
    ASSERT_EQ(channels.PF_GetLayerChannelTypedRefAndDesc(in_data->effect_ref, 0, PF_ChannelType_NORMALS, &found, &ref,
                                                         &desc),
              PF_Err_NONE);
    EXPECT_EQ(found, 0);
    ASSERT_EQ(channels.PF_GetLayerChannelTypedRefAndDesc(in_data->effect_ref, 0, PF_ChannelType_DEPTH, &found, &ref,
                                                         &desc),
              PF_Err_NONE);
    EXPECT_EQ(found, 1);
    EXPECT_EQ(desc.data_type, PF_DataType_FLOAT);
    PF_ChannelChunk chunk{};
    EXPECT_EQ(channels.PF_CheckoutLayerChannel(in_data->effect_ref, &ref, 0, 1, 25, PF_DataType_DOUBLE, &chunk),
              PF_Err_BAD_CALLBACK_PARAM);
    ASSERT_EQ(channels.PF_CheckoutLayerChannel(in_data->effect_ref, &ref, 0, 1, 25, PF_DataType_FLOAT, &chunk),
              PF_Err_NONE);
    EXPECT_EQ(chunk.row_bytesL, 8);
    EXPECT_EQ(effect.parameter_state().channels_checked_out(), 1);
    EXPECT_EQ(channels.PF_CheckinLayerChannel(in_data->effect_ref, &ref, &chunk), PF_Err_NONE);
    EXPECT_EQ(channels.PF_CheckinLayerChannel(in_data->effect_ref, &ref, &chunk), PF_Err_BAD_CALLBACK_PARAM);
}

}  // namespace
}  // namespace nb::host
