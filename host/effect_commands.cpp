// The command sequences of a host on one effect instance: any command and the two render paths.
#include "host/effect_commands.h"

#include <algorithm>
#include <cstring>
#include <utility>

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

// Full-resolution size of a layer shown at a resolution factor.
A_long full_size(int64_t size, const PF_RationalScale& factor) {
    if (factor.num <= 0) return static_cast<A_long>(size);
    return static_cast<A_long>((size * static_cast<int64_t>(factor.den) + factor.num - 1) / factor.num);
}

}  // namespace

Effect_Commands::Effect_Commands(const Plugin_Module& module, Effect_Instance& effect)
    : module_(module), effect_(effect) {}

Effect_Commands::Effect_Commands(const Plugin_Module& module, std::unique_ptr<Effect_Instance> effect,
                                 const PF_OutData& out_data)
    : module_(module), owned_(std::move(effect)), effect_(*owned_), out_data_(out_data) {}

std::vector<PF_ParamDef*> Effect_Commands::parameter_array() {
    std::vector<PF_ParamDef*> array;
    for (int64_t i = 0; i < static_cast<int64_t>(effect_.parameters().size()); ++i)
        array.push_back(&effect_.parameter(i));
    return array;
}

PF_Err Effect_Commands::command(PF_Cmd cmd, void* extra, PF_LayerDef* output) {
    std::vector<PF_ParamDef*> params = parameter_array();
    effect_.in_data()->num_params = static_cast<A_long>(params.size());
    return module_.call(cmd, effect_.in_data(), &out_data_, params.data(), output, extra);
}

// A message belongs to the render that set it; the flags global setup reported stay.
void Effect_Commands::forget_message() {
    out_data_.out_flags &= ~PF_OutFlag_DISPLAY_ERROR_MESSAGE;
    out_data_.return_msg[0] = 0;
}

std::string Effect_Commands::error_message() const {
    if ((out_data_.out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE) == 0) return {};
    return std::string(out_data_.return_msg, strnlen(out_data_.return_msg, sizeof out_data_.return_msg));
}

// The host shows a chosen layer in its layer parameter and nothing in the others.
void Effect_Commands::lend_layers(const Frame_Layers& frame) {
    PF_InData* in_data = effect_.in_data();
    effect_.parameter(0).u.ld = frame.input ? *frame.input->world() : PF_LayerDef{};
    if (frame.input) {
        in_data->width = full_size(frame.input->width(), in_data->downsample_x);
        in_data->height = full_size(frame.input->height(), in_data->downsample_y);
        in_data->extent_hint = PF_LRect{0, 0, static_cast<A_long>(frame.input->width()),
                                        static_cast<A_long>(frame.input->height())};
    }
    for (std::size_t i = 1; i < effect_.parameters().size(); ++i) {
        PF_ParamDef& parameter = effect_.parameter(static_cast<int64_t>(i));
        if (parameter.param_type != PF_Param_LAYER) continue;
        const auto found = frame.extra.find(static_cast<int32_t>(i));
        if (found != frame.extra.end() && found->second != nullptr) {
            choose_layer(parameter, *found->second->world());
        } else {
            clear_layer(parameter);
        }
    }
}

Pre_Render_Result Effect_Commands::pre_render(const Frame_Layers& frame, const PF_LRect& request) {
    forget_message();
    lend_layers(frame);
    Render_Frame render_frame(effect_, frame.input, frame.output, frame.extra);
    Pre_Render_Result result;
    result.error = command(PF_Cmd_SMART_PRE_RENDER, render_frame.pre_render_extra(request));
    result.result_rect = render_frame.pre_render_output().result_rect;
    result.max_result_rect = render_frame.pre_render_output().max_result_rect;
    result.checkouts = render_frame.checkouts();
    return result;
}

PF_Err Effect_Commands::render_smart(const Frame_Layers& frame, const PF_LRect& request, bool device) {
    forget_message();
    lend_layers(frame);
    Render_Frame render_frame(effect_, frame.input, frame.output, frame.extra);
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

PF_Err Effect_Commands::render_non_smart(const Frame_Layers& frame) {
    forget_message();
    lend_layers(frame);
    last_pixels_out_ = 0;
    return command(PF_Cmd_RENDER, nullptr, frame.output ? frame.output->world() : nullptr);
}

PF_Err Effect_Commands::render(const Frame_Layers& frame, Render_Path path) {
    if (path == Render_Path::non_smart) return render_non_smart(frame);
    const Host_World* out = frame.output;
    const PF_LRect whole = out ? PF_LRect{static_cast<A_long>(out->origin_x()), static_cast<A_long>(out->origin_y()),
                                         static_cast<A_long>(out->origin_x() + out->width()),
                                         static_cast<A_long>(out->origin_y() + out->height())}
                               : PF_LRect{};
    return render_smart(frame, whole);
}

}  // namespace nb::host
