// Cross-checks the host-interface constants the plug-in relies on against their published values.
#include <gtest/gtest.h>

#include <cstdint>

#include "base/after_effects/ae_sdk.h"

namespace nb {
namespace {

TEST(AeSdkDeclarations, ErrorCodes) {
    EXPECT_EQ(PF_Err_NONE, 0);
    EXPECT_EQ(PF_Err_OUT_OF_MEMORY, 4);
    EXPECT_EQ(PF_Err_INTERNAL_STRUCT_DAMAGED, 512);
    EXPECT_EQ(PF_Err_INVALID_INDEX, 513);
    EXPECT_EQ(PF_Err_BAD_CALLBACK_PARAM, 516);
    EXPECT_EQ(PF_Interrupt_CANCEL, 517);
    EXPECT_EQ(PF_Err_CANNOT_PARSE_KEYFRAME_TEXT, 518);
}

struct Selector {
    PF_Cmd cmd;
    int number;
};

TEST(AeSdkDeclarations, CommandSelectorNumbers) {
    const Selector selectors[] = {
        {PF_Cmd_ABOUT, 0},           {PF_Cmd_GLOBAL_SETUP, 1},         {PF_Cmd_GLOBAL_SETDOWN, 3},
        {PF_Cmd_PARAMS_SETUP, 4},    {PF_Cmd_RENDER, 11},              {PF_Cmd_USER_CHANGED_PARAM, 13},
        {PF_Cmd_UPDATE_PARAMS_UI, 14}, {PF_Cmd_EVENT, 15},             {PF_Cmd_QUERY_DYNAMIC_FLAGS, 18},
        {PF_Cmd_ARBITRARY_CALLBACK, 22}, {PF_Cmd_SMART_PRE_RENDER, 23}, {PF_Cmd_SMART_RENDER, 24},
        {PF_Cmd_GET_FLATTENED_SEQUENCE_DATA, 28}, {PF_Cmd_SMART_RENDER_GPU, 31}, {PF_Cmd_GPU_DEVICE_SETUP, 32},
        {PF_Cmd_GPU_DEVICE_SETDOWN, 33},
    };
    for (const Selector& s : selectors) EXPECT_EQ(s.cmd, s.number);
}

// The effect's own flag words are checked bit by bit through its property list; these are the rest.
TEST(AeSdkDeclarations, OutputFlags) {
    EXPECT_EQ(PF_OutFlag_CUSTOM_UI, 1 << 15);
    EXPECT_EQ(PF_OutFlag2_CUSTOM_UI_ASYNC_MANAGER, 1 << 24);
    EXPECT_EQ(PF_OutFlag2_SUPPORTS_GPU_RENDER_F32, 1 << 25);
}

TEST(AeSdkDeclarations, ParameterRecordConstants) {
    EXPECT_EQ(PF_Param_LAYER, 0);
    EXPECT_EQ(PF_Param_SLIDER, 1);
    EXPECT_EQ(PF_Param_ANGLE, 3);
    EXPECT_EQ(PF_Param_CHECKBOX, 4);
    EXPECT_EQ(PF_Param_COLOR, 5);
    EXPECT_EQ(PF_Param_POINT, 6);
    EXPECT_EQ(PF_Param_POPUP, 7);
    EXPECT_EQ(PF_Param_FLOAT_SLIDER, 10);
    EXPECT_EQ(PF_Param_ARBITRARY_DATA, 11);
    EXPECT_EQ(PF_Param_GROUP_START, 13);
    EXPECT_EQ(PF_Param_GROUP_END, 14);
    EXPECT_EQ(PF_Param_BUTTON, 15);
    EXPECT_EQ(PF_ParamFlag_CANNOT_TIME_VARY, 2);
    EXPECT_EQ(PF_ParamFlag_COLLAPSE_TWIRLY, 32);
    EXPECT_EQ(PF_ParamFlag_SUPERVISE, 64);
    EXPECT_EQ(PF_PUI_STD_CONTROL_ONLY, 4);
    EXPECT_EQ(PF_PUI_NO_ECW_UI, 8);
    EXPECT_EQ(PF_PUI_DISABLED, 32);
    EXPECT_EQ(PF_PUI_INVISIBLE, 0x200);
    EXPECT_EQ(PF_PUI_CONTROL | PF_PUI_DONT_ERASE_CONTROL, 130);
    EXPECT_EQ(PF_ValueDisplayFlag_PERCENT, 1);
    EXPECT_EQ(PF_ValueDisplayFlag_PIXEL, 2);
    EXPECT_EQ(PF_ChangeFlag_CHANGED_VALUE, 1);
    EXPECT_EQ(PF_CustomEFlag_EFFECT, 4);
    EXPECT_EQ(PF_ChannelMask_ARGB, 15);
    EXPECT_EQ(PF_Field_FRAME, 0);
}

// Four-character codes: pixel formats are little-endian ('a' in the lowest byte), channel tags and
// application ids big-endian, as the interface defines them.
TEST(AeSdkDeclarations, FourCharacterCodes) {
    EXPECT_EQ(static_cast<uint32_t>(PF_PixelFormat_ARGB32), 0x62677261u);
    EXPECT_EQ(static_cast<uint32_t>(PrPixelFormat_BGRA_4444_8u), 0x61726762u);
    EXPECT_EQ(static_cast<uint32_t>(PrPixelFormat_BGRA_4444_32f), 0x61724742u);
    EXPECT_EQ(PrPixelFormat_ARGB_4444_8u, PF_PixelFormat_ARGB32);
    EXPECT_EQ(PF_ChannelType_DEPTH, 0x44505448);
    EXPECT_EQ(PF_DataType_FLOAT, 0x464C5434);
    EXPECT_EQ(kSPUserCanceledError, 0x73746F70);
}

TEST(AeSdkDeclarations, SuiteNamesAndVersions) {
    EXPECT_STREQ(kPFHandleSuite, "PF Handle Suite");
    EXPECT_EQ(kPFHandleSuiteVersion1, 2);
    EXPECT_STREQ(kAEGPColorSettingsSuite, "PF Color Settings Suite");
    EXPECT_EQ(kAEGPColorSettingsSuiteVersion2, 3);
    EXPECT_EQ(kAEGPUtilitySuiteVersion3, 7);
    EXPECT_EQ(kAEGPProjSuiteVersion5, 8);
    EXPECT_EQ(kAEGPItemSuiteVersion6, 10);
    EXPECT_EQ(kAEGPCompSuiteVersion4, 9);
    EXPECT_EQ(kAEGPStreamSuiteVersion5, 10);
    EXPECT_EQ(kAEGPKeyframeSuiteVersion4, 4);
    EXPECT_EQ(kAEGPEffectSuiteVersion3, 3);
    EXPECT_EQ(kPFParamUtilsSuiteVersion1, 2);
    EXPECT_STREQ(kPFColorParamSuite, "PF ColorParamSuite");
    EXPECT_STREQ(kPFChannelSuite1, "PF AE Channel Suite");
    EXPECT_STREQ(kPrSDKAppInfoSuite, "MediaCore App Info Suite");
}

// Offsets a host fills by position; a slip here would call the wrong function.
TEST(AeSdkDeclarations, CallbackTableSlots) {
    constexpr size_t slot = sizeof(void*);
    EXPECT_EQ(sizeof(PF_InteractCallbacks), 22 * slot);
    EXPECT_EQ(offsetof(PF_InteractCallbacks, abort), 3 * slot);
    EXPECT_EQ(offsetof(AEGP_UtilitySuite3, AEGP_RegisterWithAEGP), 7 * slot);
    EXPECT_EQ(offsetof(AEGP_StreamSuite5, AEGP_GetNewEffectStreamByIndex), 5 * slot);
    EXPECT_EQ(offsetof(AEGP_StreamSuite5, AEGP_DisposeStream), 7 * slot);
    EXPECT_EQ(offsetof(AEGP_StreamSuite5, AEGP_IsStreamTimevarying), 11 * slot);
    EXPECT_EQ(offsetof(AEGP_ColorSettingsSuite2, AEGP_GetNewWorkingSpaceColorProfile), 3 * slot);
    EXPECT_EQ(offsetof(AEGP_ColorSettingsSuite2, AEGP_GetColorProfileApproximateGamma), 8 * slot);
    EXPECT_EQ(offsetof(PF_UtilitySuite4, EffectWantsCheckedOutFramesToMatchRenderPixelFormat), 12 * slot);
}

}  // namespace
}  // namespace nb
