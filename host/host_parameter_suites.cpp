// The functions of the parameter suites, each answering for the effect named by effect_ref.
#include "host/host_parameter_suites.h"

#include <cstring>

#include "base/after_effects/ae_sdk.h"
#include "host/effect_instance.h"
#include "host/headless_host.h"

namespace nb::host {
namespace {

constexpr int32_t param_utils_version = 2;
constexpr int32_t color_param_version = 1;
constexpr int32_t channel_version = 1;

bool valid_index(Effect_Instance& effect, PF_ParamIndex index) {
    return index >= 0 && index < static_cast<PF_ParamIndex>(effect.parameters().size());
}

PF_Err update_param_ui(PF_ProgPtr effect_ref, PF_ParamIndex index, const PF_ParamDef* record) {
    Effect_Instance& effect = Effect_Instance::from(effect_ref);
    if (PF_Err fault = effect.host().faults().enter("PF_UpdateParamUI")) return fault;
    // The input layer (index 0) has no control to update.
    if (index < 1 || !valid_index(effect, index)) return PF_Err_INVALID_INDEX;
    if (record == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
    effect.parameter_state().update_ui(effect.parameter(index), index, *record);
    return PF_Err_NONE;
}

// The colour control whose identifier the record carries; -1 when there is none.
PF_ParamIndex color_index_of(Effect_Instance& effect, const PF_ParamDef& record) {
    const auto& stored = effect.parameters();
    for (size_t i = 1; i < stored.size(); ++i) {
        if (stored[i].param_type == PF_Param_COLOR && stored[i].uu.id == record.uu.id)
            return static_cast<PF_ParamIndex>(i);
    }
    return -1;
}

PF_Err floating_point_color(PF_ProgPtr effect_ref, const PF_ParamDef* record, PF_PixelFloat* color) {
    Effect_Instance& effect = Effect_Instance::from(effect_ref);
    if (PF_Err fault = effect.host().faults().enter("PF_GetFloatingPointColorFromColorDef")) return fault;
    if (record == nullptr || color == nullptr || record->param_type != PF_Param_COLOR) return PF_Err_BAD_CALLBACK_PARAM;
    const PF_ParamIndex index = color_index_of(effect, *record);
    if (const PF_PixelFloat* precise = index > 0 ? effect.parameter_state().float_color(index) : nullptr) {
        *color = *precise;
        return PF_Err_NONE;
    }
    const PF_Pixel& bytes = record->u.cd.value;
    *color = PF_PixelFloat{bytes.alpha / 255.0f, bytes.red / 255.0f, bytes.green / 255.0f, bytes.blue / 255.0f};
    return PF_Err_NONE;
}

// A channel reference carries the parameter index and the channel type.
PF_ParamIndex index_of(const PF_ChannelRef& ref) { return static_cast<PF_ParamIndex>(ref.opaque[0]); }

PF_Err typed_channel(PF_ProgPtr effect_ref, PF_ParamIndex index, PF_ChannelType type, PF_Boolean* found,
                     PF_ChannelRef* ref, PF_ChannelDesc* desc) {
    Effect_Instance& effect = Effect_Instance::from(effect_ref);
    if (PF_Err fault = effect.host().faults().enter("PF_GetLayerChannelTypedRefAndDesc")) return fault;
    if (!valid_index(effect, index)) return PF_Err_INVALID_INDEX;
    if (found == nullptr || ref == nullptr || desc == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
    *ref = PF_ChannelRef{};
    *desc = PF_ChannelDesc{};
    const Effect_Parameter_State::Channel* channel =
        type == PF_ChannelType_DEPTH ? effect.parameter_state().depth_channel(index) : nullptr;
    *found = channel != nullptr ? 1 : 0;
    if (channel == nullptr) return PF_Err_NONE;
    ref->opaque[0] = index;
    ref->opaque[1] = type;
    desc->channel_type = type;
    std::strcpy(desc->name, "Depth");
    desc->data_type = channel->data_type;
    desc->dimension = 1;
    return PF_Err_NONE;
}

PF_Err checkout_channel(PF_ProgPtr effect_ref, PF_ChannelRefPtr ref, A_long, A_long, A_u_long, PF_DataType data_type,
                        PF_ChannelChunk* chunk) {
    Effect_Instance& effect = Effect_Instance::from(effect_ref);
    if (PF_Err fault = effect.host().faults().enter("PF_CheckoutLayerChannel")) return fault;
    if (ref == nullptr || chunk == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
    Effect_Parameter_State::Channel* channel = effect.parameter_state().depth_channel(index_of(*ref));
    // The host hands out a channel only in the type it holds.
    if (channel == nullptr || channel->data_type != data_type) return PF_Err_BAD_CALLBACK_PARAM;
    *chunk = PF_ChannelChunk{};
    chunk->channel_ref = *ref;
    chunk->widthL = channel->width;
    chunk->heightL = channel->height;
    chunk->dimensionL = 1;
    chunk->row_bytesL = channel->width * static_cast<A_long>(sizeof(float));
    chunk->data_type = data_type;
    chunk->dataPV = channel->values.data();
    effect.parameter_state().count_channel_checkout(1);
    return PF_Err_NONE;
}

PF_Err checkin_channel(PF_ProgPtr effect_ref, PF_ChannelRefPtr ref, PF_ChannelChunk* chunk) {
    Effect_Instance& effect = Effect_Instance::from(effect_ref);
    if (PF_Err fault = effect.host().faults().enter("PF_CheckinLayerChannel")) return fault;
    if (ref == nullptr || chunk == nullptr || effect.parameter_state().channels_checked_out() == 0)
        return PF_Err_BAD_CALLBACK_PARAM;
    effect.parameter_state().count_channel_checkout(-1);
    return PF_Err_NONE;
}

constexpr PF_ParamUtilsSuite1 param_utils{update_param_ui};
constexpr PF_ColorParamSuite1 color_param{floating_point_color};
// Channel counting and indexed lookup are not part of what effects of this kind ask for.
constexpr PF_ChannelSuite1 channels{nullptr, nullptr, typed_channel, checkout_channel, checkin_channel};

}  // namespace

void register_parameter_suites(Headless_Host& host) {
    host.register_suite(kPFParamUtilsSuite, param_utils_version, &param_utils);
    host.register_suite(kPFColorParamSuite, color_param_version, &color_param);
    host.register_suite(kPFChannelSuite1, channel_version, &channels);
}

}  // namespace nb::host
