// The command sequences of a host: setup, parameter values and the two render paths.
#include "host/effect_session.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "host/effect_parameter_state.h"


namespace nb::host {
namespace {

bool empty(const PF_LRect& r) { return r.right <= r.left || r.bottom <= r.top; }

// What the host shows of a request where the effect reported no result: nothing, transparent black.
void clear_outside(Host_World* output, const PF_LRect& request, const PF_LRect& result) {
    if (output == nullptr) return;
    const auto part = output->view(request);
    if (part == nullptr) return;
    const int64_t pixel_bytes = part->format().pixel_bytes();
    const auto clear = [&](int64_t y, int64_t from, int64_t to) {  // frame columns [from, to)
        from = std::max(from, part->origin_x());
        to = std::min(to, part->origin_x() + part->width());
        if (to > from)
            std::memset(part->row(y) + (from - part->origin_x()) * pixel_bytes, 0,
                        static_cast<std::size_t>((to - from) * pixel_bytes));
    };
    const int64_t left = part->origin_x(), right = left + part->width();
    for (int64_t y = 0; y < part->height(); ++y) {
        const int64_t frame_y = part->origin_y() + y;
        if (empty(result) || frame_y < result.top || frame_y >= result.bottom) {
            clear(y, left, right);
            continue;
        }
        clear(y, left, result.left);
        clear(y, result.right, right);
    }
}

std::string underscored(std::string text) {
    for (char& c : text)
        if (c == ' ') c = '_';
    return text;
}

// Full-resolution size of a layer shown at a resolution factor.
A_long full_size(int64_t size, const PF_RationalScale& factor) {
    if (factor.num <= 0) return static_cast<A_long>(size);
    return static_cast<A_long>((size * static_cast<int64_t>(factor.den) + factor.num - 1) / factor.num);
}

}  // namespace

Effect_Session::Effect_Session(const std::filesystem::path& library, const Session_Settings& settings)
    : module_(std::make_unique<Plugin_Module>(library)),
      host_(std::make_unique<Headless_Host>(settings.threads)),
      effect_(std::make_unique<Effect_Instance>(*host_, settings.effect)) {}

std::vector<PF_ParamDef*> Effect_Session::parameter_array() {
    std::vector<PF_ParamDef*> array;
    for (int64_t i = 0; i < static_cast<int64_t>(effect_->parameters().size()); ++i)
        array.push_back(&effect_->parameter(i));
    return array;
}

PF_Err Effect_Session::command(PF_Cmd cmd, void* extra, PF_LayerDef* output) {
    std::vector<PF_ParamDef*> params = parameter_array();
    effect_->in_data()->num_params = static_cast<A_long>(params.size());
    return module_->call(cmd, effect_->in_data(), &out_data_, params.data(), output, extra);
}

std::string Effect_Session::about() {
    out_data_.return_msg[0] = 0;
    const PF_Err error = command(PF_Cmd_ABOUT);
    if (error != PF_Err_NONE) throw std::runtime_error("PF_Cmd_ABOUT failed with " + std::to_string(error));
    return out_data_.return_msg;
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

// The host shows a chosen layer in its layer parameter and nothing in the others.
void Effect_Session::lend_layers(const Frame_Layers& frame) {
    PF_InData* in_data = effect_->in_data();
    effect_->parameter(0).u.ld = frame.input ? *frame.input->world() : PF_LayerDef{};
    if (frame.input) {
        in_data->width = full_size(frame.input->width(), in_data->downsample_x);
        in_data->height = full_size(frame.input->height(), in_data->downsample_y);
        in_data->extent_hint = PF_LRect{0, 0, static_cast<A_long>(frame.input->width()),
                                        static_cast<A_long>(frame.input->height())};
    }
    for (std::size_t i = 1; i < effect_->parameters().size(); ++i) {
        PF_ParamDef& parameter = effect_->parameter(static_cast<int64_t>(i));
        if (parameter.param_type != PF_Param_LAYER) continue;
        const auto found = frame.extra.find(static_cast<int32_t>(i));
        if (found != frame.extra.end() && found->second != nullptr) {
            choose_layer(parameter, *found->second->world());
        } else {
            clear_layer(parameter);
        }
    }
}

Pre_Render_Result Effect_Session::pre_render(const Frame_Layers& frame, const PF_LRect& request) {
    lend_layers(frame);
    Render_Frame render_frame(*effect_, frame.input, frame.output, frame.extra);
    Pre_Render_Result result;
    result.error = command(PF_Cmd_SMART_PRE_RENDER, render_frame.pre_render_extra(request));
    result.result_rect = render_frame.pre_render_output().result_rect;
    result.max_result_rect = render_frame.pre_render_output().max_result_rect;
    result.checkouts = render_frame.checkouts();
    return result;
}

PF_Err Effect_Session::render_smart(const Frame_Layers& frame, const PF_LRect& request, bool device) {
    lend_layers(frame);
    Render_Frame render_frame(*effect_, frame.input, frame.output, frame.extra);
    last_pixels_out_ = 0;
    PF_Err error = command(PF_Cmd_SMART_PRE_RENDER, render_frame.pre_render_extra(request));
    if (error != PF_Err_NONE) return error;
    clear_outside(frame.output, request, render_frame.pre_render_output().result_rect);
    if (empty(render_frame.pre_render_output().result_rect)) return error;
    try {
        error = command(device ? PF_Cmd_SMART_RENDER_GPU : PF_Cmd_SMART_RENDER, render_frame.smart_render_extra());
    } catch (...) {
        last_pixels_out_ = render_frame.pixels_checked_out();
        throw;
    }
    last_pixels_out_ = render_frame.pixels_checked_out();
    return error;
}

PF_Err Effect_Session::render_non_smart(const Frame_Layers& frame) {
    lend_layers(frame);
    last_pixels_out_ = 0;
    return command(PF_Cmd_RENDER, nullptr, frame.output ? frame.output->world() : nullptr);
}

PF_Err Effect_Session::render(const Frame_Layers& frame, Render_Path path) {
    if (path == Render_Path::non_smart) return render_non_smart(frame);
    const Host_World* out = frame.output;
    const PF_LRect whole = out ? PF_LRect{static_cast<A_long>(out->origin_x()), static_cast<A_long>(out->origin_y()),
                                         static_cast<A_long>(out->origin_x() + out->width()),
                                         static_cast<A_long>(out->origin_y() + out->height())}
                               : PF_LRect{};
    return render_smart(frame, whole);
}

}  // namespace nb::host
