// Every record of our host-interface declarations against the public SDK's layout of it, read from the
// table beside the tests: size, alignment and the offset of each field.
#include <gtest/gtest.h>

#include <cstddef>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "base/after_effects/ae_sdk.h"

namespace nb {
namespace {

// The table is measured on 64-bit Windows. Every field there is fixed-width (A_long is 32 bits, like
// our int32_t; handles and callbacks are 64-bit pointers), so on x86-64 Linux the numbers are the same
// and every check is exact.
static_assert(sizeof(void*) == 8 && sizeof(A_long) == 4 && sizeof(A_u_long) == 4);

// "PF_InData size", "PF_InData align" and "PF_InData.inter" to the number the table gives.
std::map<std::string, std::size_t> layout_table() {
    std::ifstream in(NB_HOST_ABI_DIR "/win64-layout-13.28.txt");
    std::map<std::string, std::size_t> table;
    for (std::string line, name; std::getline(in, line);) {
        std::istringstream words(line);
        if (line.starts_with('#') || !(words >> name)) continue;
        if (name.find('.') != std::string::npos) words >> table[name];
        for (std::string key; name.find('.') == std::string::npos && words >> key;) words >> table[name + " " + key];
    }
    return table;
}

struct Measured {
    std::string name;
    std::size_t value;
};

// RECORD(T, field, ...) lists T's size, alignment and each field's offset under the table's names.
#define NB_PARENS ()
#define NB_EXPAND(...) NB_EXPAND3(NB_EXPAND3(NB_EXPAND3(NB_EXPAND3(__VA_ARGS__))))
#define NB_EXPAND3(...) NB_EXPAND2(NB_EXPAND2(NB_EXPAND2(NB_EXPAND2(__VA_ARGS__))))
#define NB_EXPAND2(...) NB_EXPAND1(NB_EXPAND1(NB_EXPAND1(NB_EXPAND1(__VA_ARGS__))))
#define NB_EXPAND1(...) __VA_ARGS__
#define NB_FIELDS(T, f, ...) {#T "." #f, offsetof(T, f)}, __VA_OPT__(NB_FIELDS_AGAIN NB_PARENS(T, __VA_ARGS__))
#define NB_FIELDS_AGAIN() NB_FIELDS
#define RECORD(T, ...) {#T " size", sizeof(T)}, {#T " align", alignof(T)}, NB_EXPAND(NB_FIELDS(T, __VA_ARGS__))

// Records sdk/ declares that the table does not lay out stay outside the list: value records nested
// in the ones above (the offsets around them pin their sizes), the event parts the plug-in keeps
// opaque, the quiet-errors state, the colour-settings suite, and older versions of suites whose newer
// versions the table lays out (AEGP Utility 3, Proj 5, Item 6, Comp 4, Stream 5, Keyframe 4, Effect 3;
// PF Param Utils 1).
const Measured measured[] = {
    RECORD(PF_InData, inter, utils, effect_ref, quality, version, serial_num, appl_id, num_params, reserved,
           what_cpu, what_fpu, current_time, time_step, total_time, local_time_step, time_scale, field,
           shutter_angle, width, height, extent_hint, output_origin_x, output_origin_y, downsample_x, downsample_y,
           pixel_aspect_ratio, in_flags, global_data, sequence_data, frame_data, start_sampL, dur_sampL, total_sampL,
           src_snd, pica_basicP, pre_effect_source_origin_x, pre_effect_source_origin_y, shutter_phase)
    RECORD(PF_OutData, my_version, name, global_data, num_params, sequence_data, flat_sdata_size, frame_data, width,
           height, origin, out_flags, return_msg, start_sampL, dur_sampL, dest_snd, out_flags2)
    RECORD(PF_LayerDef, reserved0, reserved1, world_flags, data, rowbytes, width, height, extent_hint, platform_ref,
           reserved_long1, reserved_long4, pix_aspect_ratio, reserved_long2, origin_x, origin_y, reserved_long3,
           dephault)
    RECORD(PF_ParamDef, uu, ui_flags, ui_width, ui_height, param_type, name, flags, unused, u)
    RECORD(PF_ParamDefUnion, ld, sd, fd, ad, bd, cd, td, pd, fs_d, arb_d, path_d, button_d, point3d_d)
    RECORD(PF_RenderRequest, rect, field, channel_mask, preserve_rgb_of_zero_alpha, unused, reserved)
    RECORD(PF_PreRenderInput, output_request, bitdepth, gpu_data, what_gpu, device_index)
    RECORD(PF_PreRenderOutput, result_rect, max_result_rect, solid, reserved, flags, pre_render_data,
           delete_pre_render_data_func)
    RECORD(PF_CheckoutResult, result_rect, max_result_rect, par, solid, reservedB, ref_width, ref_height, reserved)
    RECORD(PF_PreRenderCallbacks, checkout_layer, GuidMixInPtr) RECORD(PF_PreRenderExtra, input, output, cb)
    RECORD(PF_SmartRenderInput, output_request, bitdepth, pre_render_data, gpu_data, what_gpu, device_index)
    RECORD(PF_SmartRenderCallbacks, checkout_layer_pixels, checkin_layer_pixels, checkout_output)
    RECORD(PF_SmartRenderExtra, input, cb) RECORD(PF_ChannelRef, opaque)
    RECORD(PF_AngleDef, value, dephault, valid_min, valid_max)
    RECORD(PF_InteractCallbacks, checkout_param, checkin_param, add_param, abort, progress, register_ui,
           checkout_layer_audio, checkin_layer_audio, get_audio_data, reserved_str, reserved)
    RECORD(_PF_UtilCallbacks, begin_sampling, subpixel_sample, area_sample, get_batch_func_is_deprecated,
           end_sampling, composite_rect, blend, convolve, copy, fill, gaussian_kernel, iterate, premultiply,
           premultiply_color, new_world, dispose_world, iterate_origin, iterate_lut, transfer_rect, transform_world,
           host_new_handle, host_lock_handle, host_unlock_handle, host_dispose_handle, get_callback_addr, app, ansi,
           colorCB, get_platform_data, host_get_handle_size, iterate_origin_non_clip_src, iterate_generic,
           host_resize_handle, subpixel_sample16, area_sample16, fill16, premultiply_color16, iterate16,
           iterate_origin16, iterate_origin_non_clip_src16, get_pixel_data8, get_pixel_data16, reserved)
    RECORD(SPBasicSuite, AcquireSuite, ReleaseSuite, IsEqual, AllocateBlock, FreeBlock, ReallocateBlock, Undefined)
    RECORD(PF_HandleSuite1, host_new_handle, host_lock_handle, host_unlock_handle, host_dispose_handle,
           host_get_handle_size, host_resize_handle)
    RECORD(PF_WorldSuite2, PF_NewWorld, PF_DisposeWorld, PF_GetPixelFormat)
    RECORD(PF_SliderDef, value, value_str, value_desc, valid_min, valid_max, slider_min, slider_max, dephault)
    RECORD(PF_FixedSliderDef, value, value_str, value_desc, valid_min, valid_max, slider_min, slider_max, dephault,
           precision, display_flags)
    RECORD(PF_FloatSliderDef, value, phase, value_desc, valid_min, valid_max, slider_min, slider_max, dephault,
           precision, display_flags, fs_flags, curve_tolerance, useExponent, exponent)
    RECORD(PF_CheckBoxDef, value, dephault, reserved, reserved1, u)
    RECORD(PF_PointDef, x_value, y_value, reserved, restrict_bounds, x_dephault, y_dephault)
    RECORD(PF_PopupDef, value, num_choices, dephault, u)
    RECORD(PF_ArbitraryDef, id, pad, dephault, value, refconPV)
    RECORD(PF_Pixel, alpha, red, green, blue) RECORD(PF_Pixel16, alpha, red, green, blue)
    RECORD(PF_PixelFloat, alpha, red, green, blue) RECORD(PF_Point, h, v) RECORD(PF_RationalScale, num, den)
    RECORD(PF_LRect, left, top, right, bottom) RECORD(PF_ColorDef, value, dephault) RECORD(PF_ButtonDef, value, u)
    RECORD(PF_ANSICallbacks, atan, atan2, ceil, cos, exp, fabs, floor, fmod, hypot, log, log10, pow, sin, sqrt, tan,
           sprintf, strcpy, asin, acos, ansi_procs)
    RECORD(PF_ColorCallbacks, RGBtoHLS, HLStoRGB, RGBtoYIQ, YIQtoRGB, Luminance, Hue, Lightness, Saturation)
    RECORD(PF_ChannelSuite1, PF_GetLayerChannelCount, PF_GetLayerChannelIndexedRefAndDesc,
           PF_GetLayerChannelTypedRefAndDesc, PF_CheckoutLayerChannel, PF_CheckinLayerChannel)
    RECORD(PF_ColorParamSuite1, PF_GetFloatingPointColorFromColorDef)
    RECORD(PF_GPUDeviceSuite1, GetDeviceCount, GetDeviceInfo, AcquireExclusiveDeviceAccess,
           ReleaseExclusiveDeviceAccess, AllocateDeviceMemory, FreeDeviceMemory, PurgeDeviceMemory,
           AllocateHostMemory, FreeHostMemory, PurgeHostMemory, CreateGPUWorld, DisposeGPUWorld, GetGPUWorldData,
           GetGPUWorldSize, GetGPUWorldDeviceIndex)
    RECORD(PF_UtilitySuite4, GetFilterInstanceID, GetMediaTimecode, GetClipSpeed, GetClipDuration, GetClipStart,
           GetUnscaledClipDuration, GetUnscaledClipStart, GetTrackItemStart, GetMediaFieldType, GetMediaFrameRate,
           GetContainingTimelineID, GetClipName, EffectWantsCheckedOutFramesToMatchRenderPixelFormat)
    RECORD(PF_PixelFormatSuite, AddSupportedPixelFormat, ClearSupportedPixelFormats, NewWorldOfPixelFormat,
           DisposeWorld, GetPixelFormat, GetBlackForPixelFormat, GetWhiteForPixelFormat,
           ConvertColorToPixelFormattedData)
    RECORD(PF_ChannelDesc, channel_type, name, data_type, dimension)
    RECORD(PF_ChannelChunk, channel_ref, widthL, heightL, dimensionL, row_bytesL, data_type, dataH, dataPV)
    RECORD(AEGP_PFInterfaceSuite1, AEGP_GetEffectLayer, AEGP_GetNewEffectForEffect, AEGP_ConvertEffectToCompTime,
           AEGP_GetEffectCamera, AEGP_GetEffectCameraMatrix)
    RECORD(AEGP_MemorySuite1, AEGP_NewMemHandle, AEGP_FreeMemHandle, AEGP_LockMemHandle, AEGP_UnlockMemHandle,
           AEGP_GetMemHandleSize, AEGP_ResizeMemHandle, AEGP_SetMemReportingOn, AEGP_GetMemStats)
    RECORD(PF_EventExtra, contextH, e_type, u, effect_win, cbs, evt_in_flags, evt_out_flags)
    RECORD(_PF_CustomUIInfo, reserved, events, comp_ui_width, comp_ui_height, comp_ui_alignment, layer_ui_width,
           layer_ui_height, layer_ui_alignment, preview_ui_width, preview_ui_height, preview_ui_alignment)
};

std::string record_of(const std::string& name) { return name.substr(0, name.find_first_of(". ")); }

TEST(AeSdkLayout, EveryDeclaredRecordIsLaidOutAsInThePublicSdk) {
    const std::map<std::string, std::size_t> table = layout_table();
    ASSERT_FALSE(table.empty()) << "no layout table in " NB_HOST_ABI_DIR;
    std::set<std::string> checked;
    for (const Measured& m : measured) {
        checked.insert(m.name);
        const auto found = table.find(m.name);
        if (found == table.end())
            ADD_FAILURE() << m.name << " is declared, but the public SDK's table has no such entry";
        else
            EXPECT_EQ(m.value, found->second) << m.name << " differs from the public SDK";
    }
    // A field left out of the list above would drift unnoticed.
    for (const auto& entry : table)
        if (checked.contains(record_of(entry.first) + " size") && !checked.contains(entry.first))
            ADD_FAILURE() << entry.first << " is in the public SDK's table but not checked";
}

}  // namespace
}  // namespace nb
