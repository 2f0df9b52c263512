// The host side of every parameter: checkout, control refresh and the animation query.
#include "base/after_effects/after_effects_parameter.h"

#include <string>
#include <utility>

#include "base/after_effects/after_effects_parameter_units.h"
#include "base/after_effects/helper/ae_check.h"
#include "base/after_effects/helper/ae_host.h"
#include "base/after_effects/helper/ae_param_holder.h"
#include "base/after_effects/helper/ae_suite.h"
#include "base/exception.h"
#include "base/log.h"

namespace nb {
namespace {

// An AEGP handle that must be disposed of; disposed at scope end, a refusal logged, never thrown.
template <class Handle>
struct Disposed_At_Scope_End {
    Handle handle = nullptr;
    A_Err (*dispose)(Handle) = nullptr;
    const char* what = "";

    ~Disposed_At_Scope_End() {
        if (handle == nullptr) return;
        const A_Err error = dispose(handle);
        if (error == A_Err_NONE) return;
        try {
            log(std::string(warning_prefix) + what + " failed. Error code: " + std::to_string(error) + "\n", 2);
        } catch (...) {
            // A release must not throw, not even when reporting runs out of memory.
        }
    }
};

}  // namespace

Parameter_AE::Parameter_AE(PF_InData* in_data, PF_ParamDef** params, int32_t index)
    : in_data_(in_data), params_(params), index_(index) {
    ASSERT(in_data != nullptr);
}

std::shared_ptr<PF_ParamDef> Parameter_AE::get_ae_param(int32_t index, A_long time) const {
    // The call's own record never varies over time and is not checked out: held, but not owned.
    if (params_ != nullptr && description().interface_only && time < 0)
        return std::shared_ptr<PF_ParamDef>(std::shared_ptr<PF_ParamDef>(), params_[index]);
    auto def = std::make_unique<PF_ParamDef>();
    const A_long at = time < 0 ? in_data_->current_time : time;
    const PF_Err error = in_data_->inter.checkout_param(in_data_->effect_ref, index, at, in_data_->time_step,
                                                        in_data_->time_scale, def.get());
    if (error != PF_Err_NONE)
        throw Exception_After_Effects("PF_CHECKOUT_PARAM() failed", error, source_path(__FILE__), __LINE__);
    return hold_checked_out_param(in_data_, std::move(def));
}

std::shared_ptr<PF_ParamDef> Parameter_AE::checkout_current(int32_t index) const {
    auto def = std::make_unique<PF_ParamDef>();
    check_pf(in_data_->inter.checkout_param(in_data_->effect_ref, index, in_data_->current_time,
                                            in_data_->time_step, in_data_->time_scale, def.get()),
             pf_err_message);
    return hold_checked_out_param(in_data_, std::move(def));
}

PF_ParamDef& Parameter_AE::call_record(int32_t index) const {
    ASSERT(params_ != nullptr, "the command passed no parameter records");
    ASSERT(params_[index] != nullptr);
    return *params_[index];
}

void Parameter_AE::refresh(int32_t index) const {
    const PF_ParamDef& record = call_record(index);
    Ae_Suite<PF_ParamUtilsSuite1> suite(in_data_->pica_basicP, kPFParamUtilsSuite, kPFParamUtilsSuiteVersion1);
    check_pf(suite->PF_UpdateParamUI(in_data_->effect_ref, index, &record), pf_err_message);
}

void Parameter_AE::mark_changed(int32_t index) const {
    if (description().interface_only) {
        refresh(index);
        return;
    }
    call_record(index).uu.change_flags |= PF_ChangeFlag_CHANGED_VALUE;
}

void Parameter_AE::set_ui_flag(int32_t index, PF_ParamUIFlags flag, bool set) const {
    PF_ParamDef& record = call_record(index);
    record.ui_flags = set ? (record.ui_flags | flag) : (record.ui_flags & ~flag);
    refresh(index);
}

std::array<float, 3> Parameter_AE::color_value(int32_t index) const {
    const auto record = get_ae_param(index, -1);
    const PF_Pixel& bytes = record->u.cd.value;
    if (!host_is_after_effects(in_data_)) return {bytes.red / 255.0f, bytes.green / 255.0f, bytes.blue / 255.0f};
    Ae_Suite<PF_ColorParamSuite1> suite(in_data_->pica_basicP, kPFColorParamSuite, kPFColorParamSuiteVersion1);
    PF_PixelFloat color{};
    check_pf(suite->PF_GetFloatingPointColorFromColorDef(in_data_->effect_ref, record.get(), &color), pf_err_message);
    return {color.red, color.green, color.blue};
}

void Parameter_AE::set_expanded(bool open) {
    PF_ParamDef& record = call_record(index_);
    record.flags = open ? (record.flags & ~PF_ParamFlag_COLLAPSE_TWIRLY) : (record.flags | PF_ParamFlag_COLLAPSE_TWIRLY);
    refresh(index_);
    mark_changed(index_);
}

void Parameter_AE::set_enabled(bool on) { set_ui_flag(index_, PF_PUI_DISABLED, !on); }

void Parameter_AE::set_visible(bool shown) { set_ui_flag(index_, PF_PUI_INVISIBLE, !shown); }

void Parameter_AE::set_name(const std::string& name) {
    copy_param_name(call_record(index_).PF_DEF_NAME, name);
    refresh(index_);
    mark_changed(index_);
}

bool Parameter_AE::is_animated() const {
    const SPBasicSuite* basic = in_data_->pica_basicP;
    Ae_Suite<AEGP_StreamSuite5> streams(basic, kAEGPStreamSuite, kAEGPStreamSuiteVersion5);
    Ae_Suite<AEGP_EffectSuite3> effects(basic, kAEGPEffectSuite, kAEGPEffectSuiteVersion3);
    Ae_Suite<AEGP_PFInterfaceSuite1> effect_interface(basic, kAEGPPFInterfaceSuite, kAEGPPFInterfaceSuiteVersion1);
    Ae_Suite<AEGP_KeyframeSuite4> keyframes(basic, kAEGPKeyframeSuite, kAEGPKeyframeSuiteVersion4);

    // Declared effect first, so the stream taken from it is disposed of before the effect.
    Disposed_At_Scope_End<AEGP_EffectRefH> effect{nullptr, effects->AEGP_DisposeEffect, "AEGP_DisposeEffect"};
    check_a_err(effect_interface->AEGP_GetNewEffectForEffect(aegp_plugin_id, in_data_->effect_ref, &effect.handle));
    Disposed_At_Scope_End<AEGP_StreamRefH> stream{nullptr, streams->AEGP_DisposeStream, "AEGP_DisposeStream"};
    check_a_err(streams->AEGP_GetNewEffectStreamByIndex(aegp_plugin_id, effect.handle, index_, &stream.handle));

    A_long keyframe_count = AEGP_NumKF_NO_DATA;
    check_a_err(keyframes->AEGP_GetStreamNumKFs(stream.handle, &keyframe_count));
    A_Boolean varies = 0;
    check_a_err(streams->AEGP_IsStreamTimevarying(stream.handle, &varies));
    return keyframe_count > 0 || varies != 0;
}

}  // namespace nb
