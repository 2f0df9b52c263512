// Bookkeeping of an effect's parameter state beyond its records.
#include "host/effect_parameter_state.h"

#include <cstring>

namespace nb::host {

void Effect_Parameter_State::keep_texts(PF_ParamDef& stored) {
    const A_char** text = nullptr;
    if (stored.param_type == PF_Param_POPUP) text = &stored.u.pd.u.namesptr;
    if (stored.param_type == PF_Param_BUTTON) text = &stored.u.button_d.u.namesptr;
    if (stored.param_type == PF_Param_CHECKBOX) text = &stored.u.bd.u.nameptr;
    if (text == nullptr || *text == nullptr) return;
    *text = texts_.emplace_back(*text).c_str();
}

void Effect_Parameter_State::update_ui(PF_ParamDef& stored, PF_ParamIndex index, const PF_ParamDef& record) {
    ui_updates_.push_back(Parameter_Ui_Update{index, record});
    stored.ui_flags = record.ui_flags;
    stored.flags = record.flags;
    std::memcpy(stored.name, record.name, sizeof stored.name);
    if (stored.param_type == PF_Param_FLOAT_SLIDER && record.param_type == PF_Param_FLOAT_SLIDER) {
        stored.u.fs_d.valid_min = record.u.fs_d.valid_min;
        stored.u.fs_d.valid_max = record.u.fs_d.valid_max;
        stored.u.fs_d.slider_min = record.u.fs_d.slider_min;
        stored.u.fs_d.slider_max = record.u.fs_d.slider_max;
        stored.u.fs_d.precision = record.u.fs_d.precision;
    }
}

void Effect_Parameter_State::set_animation(PF_ParamIndex index, A_long keyframes, bool expression) {
    animation_[index] = Animation{keyframes, expression};
}

A_long Effect_Parameter_State::keyframes(PF_ParamIndex index) const {
    const auto found = animation_.find(index);
    return found == animation_.end() ? 0 : found->second.keyframes;
}

// Keyframes make a stream vary over time as much as an expression does.
bool Effect_Parameter_State::time_varying(PF_ParamIndex index) const {
    const auto found = animation_.find(index);
    return found != animation_.end() && (found->second.keyframes > 0 || found->second.expression);
}

void Effect_Parameter_State::set_float_color(PF_ParamIndex index, const PF_PixelFloat& color) {
    float_colors_[index] = color;
}

const PF_PixelFloat* Effect_Parameter_State::float_color(PF_ParamIndex index) const {
    const auto found = float_colors_.find(index);
    return found == float_colors_.end() ? nullptr : &found->second;
}

}  // namespace nb::host

namespace nb::host {
namespace {

// What the leading reference of a chosen layer points to; never read.
char chosen_layer_marker;

}  // namespace

void choose_layer(PF_ParamDef& stored, const PF_EffectWorld& world) {
    stored.u.ld = world;
    stored.u.ld.reserved0 = &chosen_layer_marker;
}

void clear_layer(PF_ParamDef& stored) { stored.u.ld = PF_LayerDef{}; }

}  // namespace nb::host
