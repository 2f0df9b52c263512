// The functions of the parameter suites, each answering for the effect named by effect_ref.
#include "host/host_parameter_suites.h"

#include "base/after_effects/ae_sdk.h"
#include "host/effect_instance.h"
#include "host/headless_host.h"

namespace nb::host {
namespace {

constexpr int32_t param_utils_version = 2;
constexpr int32_t color_param_version = 1;

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

constexpr PF_ParamUtilsSuite1 param_utils{update_param_ui};
constexpr PF_ColorParamSuite1 color_param{floating_point_color};

}  // namespace

void register_parameter_suites(Headless_Host& host) {
    host.register_suite(kPFParamUtilsSuite, param_utils_version, &param_utils);
    host.register_suite(kPFColorParamSuite, color_param_version, &color_param);
}

}  // namespace nb::host
