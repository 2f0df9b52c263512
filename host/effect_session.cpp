// The session a tool or test drives: setup, parameter values, and renders on its own or a render thread.
#include "host/effect_session.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace nb::host {
namespace {

std::string underscored(std::string text) {
    for (char& c : text)
        if (c == ' ') c = '_';
    return text;
}

}  // namespace

Effect_Session::Effect_Session(const std::filesystem::path& library, const Session_Settings& settings)
    : module_(std::make_unique<Plugin_Module>(library)),
      host_(std::make_unique<Headless_Host>(settings.threads, settings.memory_budget)),
      effect_(std::make_unique<Effect_Instance>(*host_, settings.effect)),
      commands_(std::make_unique<Effect_Commands>(*module_, *effect_)) {}

std::string Effect_Session::about() {
    out_data().return_msg[0] = 0;
    const PF_Err error = command(PF_Cmd_ABOUT);
    if (error != PF_Err_NONE) throw std::runtime_error("PF_Cmd_ABOUT failed with " + std::to_string(error));
    return out_data().return_msg;
}

int32_t Effect_Session::index_of(std::string_view name) const {
    const std::vector<PF_ParamDef>& parameters = effect_->parameters();
    for (std::size_t i = 1; i < parameters.size(); ++i) {
        const std::string shown = parameters[i].name;
        if (shown == name || underscored(shown) == name) return static_cast<int32_t>(i);
    }
    throw std::out_of_range("the effect has no parameter \"" + std::string(name) + "\"");
}

PF_ParamDef& Effect_Session::parameter_of_type(int32_t index, PF_ParamType type) {
    PF_ParamDef& parameter = effect_->parameter(index);
    if (parameter.param_type != type)
        throw std::invalid_argument("parameter " + std::to_string(index) + " (" + parameter.name +
                                    ") is of another kind");
    return parameter;
}

void Effect_Session::set_float(int32_t index, double value) {
    parameter_of_type(index, PF_Param_FLOAT_SLIDER).u.fs_d.value = value;
}

void Effect_Session::set_int(int32_t index, int32_t value) {
    parameter_of_type(index, PF_Param_SLIDER).u.sd.value = value;
}

void Effect_Session::set_checkbox(int32_t index, bool on) {
    parameter_of_type(index, PF_Param_CHECKBOX).u.bd.value = on ? 1 : 0;
}

void Effect_Session::set_choice(int32_t index, int32_t entry) {
    PF_ParamDef& parameter = parameter_of_type(index, PF_Param_POPUP);
    if (entry < 0 || entry >= parameter.u.pd.num_choices)
        throw std::invalid_argument("entry " + std::to_string(entry) + " is not one of " + parameter.name);
    parameter.u.pd.value = entry + 1;  // the host counts entries from 1
}

void Effect_Session::set_angle(int32_t index, double degrees) {
    parameter_of_type(index, PF_Param_ANGLE).u.ad.value = static_cast<PF_Fixed>(std::lround(degrees * 65536.0));
}

void Effect_Session::set_color(int32_t index, double red, double green, double blue) {
    const auto code = [](double v) { return static_cast<A_u_char>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0)); };
    PF_Pixel& value = parameter_of_type(index, PF_Param_COLOR).u.cd.value;
    value = PF_Pixel{255, code(red), code(green), code(blue)};
}

std::unique_ptr<Effect_Commands> Effect_Session::render_thread() {
    return std::make_unique<Effect_Commands>(
        *module_, std::make_unique<Effect_Instance>(*effect_, Effect_Instance::Render_Thread_Copy{}), out_data());
}

}  // namespace nb::host
