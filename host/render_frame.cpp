// Layer checkouts of smart pre-render and smart render, answered from the frame's worlds.
#include "host/render_frame.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace nb::host {
namespace {

PF_LRect intersection(const PF_LRect& a, const PF_LRect& b) {
    PF_LRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
               std::min(a.bottom, b.bottom)};
    if (r.right <= r.left || r.bottom <= r.top) r = PF_LRect{0, 0, 0, 0};
    return r;
}

bool empty(const PF_LRect& r) { return r.right <= r.left || r.bottom <= r.top; }

Render_Frame* frame_of(PF_ProgPtr effect_ref) { return Effect_Instance::from(effect_ref).records().frame; }

PF_Err fault(PF_ProgPtr effect_ref, const char* name) {
    return Effect_Instance::from(effect_ref).host().faults().enter(name);
}

}  // namespace

struct Render_Frame::Callbacks {
    static PF_Err checkout_layer(PF_ProgPtr effect_ref, PF_ParamIndex index, A_long id, const PF_RenderRequest* req,
                                 A_long, A_long, A_u_long, PF_CheckoutResult* result) {
        if (const PF_Err error = fault(effect_ref, "checkout_layer")) return error;
        Render_Frame* frame = frame_of(effect_ref);
        if (frame == nullptr || req == nullptr || result == nullptr || id < 0) return PF_Err_BAD_CALLBACK_PARAM;
        for (const Checkout& earlier : frame->checkouts_)
            if (earlier.id == id) return PF_Err_BAD_CALLBACK_PARAM;  // ids must be unique within a frame
        *result = PF_CheckoutResult{};
        result->par = PF_RationalScale{1, 1};
        if (const Host_World* layer = frame->layer(index)) {
            result->max_result_rect = frame->layer_extent(index);
            result->result_rect = intersection(req->rect, result->max_result_rect);
            result->par = layer->world()->pix_aspect_ratio;
            result->ref_width = static_cast<A_long>(layer->width());
            result->ref_height = static_cast<A_long>(layer->height());
        }
        frame->checkouts_.push_back(Checkout{index, id, *req, *result});
        return PF_Err_NONE;
    }

    static PF_Err checkout_layer_pixels(PF_ProgPtr effect_ref, A_long id, PF_EffectWorld** pixels) {
        if (const PF_Err error = fault(effect_ref, "checkout_layer_pixels")) return error;
        Render_Frame* frame = frame_of(effect_ref);
        if (frame == nullptr || pixels == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
        *pixels = nullptr;
        const auto checkout = std::find_if(frame->checkouts_.begin(), frame->checkouts_.end(),
                                           [id](const Checkout& c) { return c.id == id; });
        if (checkout == frame->checkouts_.end()) return PF_Err_BAD_CALLBACK_PARAM;  // never requested
        const Host_World* layer = frame->layer(checkout->index);
        if (layer == nullptr || empty(checkout->result.result_rect)) return PF_Err_NONE;
        std::unique_ptr<Host_World> view = layer->view(checkout->result.result_rect);
        if (view == nullptr) return PF_Err_NONE;
        *pixels = view->world();
        frame->pixels_[id] = std::move(view);
        if (!frame->checked_in_[id]) ++frame->pixels_out_;
        frame->checked_in_[id] = false;
        return PF_Err_NONE;
    }

    static PF_Err checkin_layer_pixels(PF_ProgPtr effect_ref, A_long id) {
        Render_Frame* frame = frame_of(effect_ref);
        if (frame == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
        const auto out = frame->checked_in_.find(id);
        if (out == frame->checked_in_.end() || out->second) return PF_Err_BAD_CALLBACK_PARAM;
        out->second = true;
        --frame->pixels_out_;
        return fault(effect_ref, "checkin_layer_pixels");
    }

    static PF_Err checkout_output(PF_ProgPtr effect_ref, PF_EffectWorld** output) {
        if (const PF_Err error = fault(effect_ref, "checkout_output")) return error;
        Render_Frame* frame = frame_of(effect_ref);
        if (frame == nullptr || output == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
        *output = nullptr;
        if (frame->output_ == nullptr) return PF_Err_NONE;
        frame->output_view_ = frame->output_->view(frame->pre_output_.result_rect);
        if (frame->output_view_) *output = frame->output_view_->world();
        return PF_Err_NONE;
    }
};

Render_Frame::Render_Frame(Effect_Instance& effect, const Host_World* input, const Host_World* output,
                           std::map<int32_t, const Host_World*> extra)
    : effect_(effect), input_(input), output_(output), extra_(std::move(extra)) {
    if (effect_.records().frame != nullptr) throw std::logic_error("the effect is rendering another frame");
    effect_.records().frame = this;
    pre_callbacks_.checkout_layer = Callbacks::checkout_layer;
    smart_callbacks_.checkout_layer_pixels = Callbacks::checkout_layer_pixels;
    smart_callbacks_.checkin_layer_pixels = Callbacks::checkin_layer_pixels;
    smart_callbacks_.checkout_output = Callbacks::checkout_output;
}

Render_Frame::~Render_Frame() { effect_.records().frame = nullptr; }

const Host_World* Render_Frame::layer(PF_ParamIndex index) const {
    if (index == 0) return input_;
    const auto found = extra_.find(index);
    return found == extra_.end() ? nullptr : found->second;
}

PF_LRect Render_Frame::layer_extent(PF_ParamIndex index) const {
    const Host_World* world = layer(index);
    if (world == nullptr) return PF_LRect{0, 0, 0, 0};
    const auto left = static_cast<A_long>(world->origin_x());
    const auto top = static_cast<A_long>(world->origin_y());
    return PF_LRect{left, top, left + static_cast<A_long>(world->width()), top + static_cast<A_long>(world->height())};
}

PF_PreRenderExtra* Render_Frame::pre_render_extra(const PF_LRect& output_request) {
    const World_Format* format = output_ ? &output_->format() : nullptr;
    pre_input_ = PF_PreRenderInput{};
    pre_input_.output_request.rect = output_request;
    pre_input_.output_request.field = PF_Field_FRAME;
    pre_input_.output_request.channel_mask = PF_ChannelMask_ARGB;
    pre_input_.bitdepth = static_cast<short>(format ? 8 * format->channel_bytes() : 8);
    pre_output_ = PF_PreRenderOutput{};
    checkouts_.clear();
    pre_extra_ = PF_PreRenderExtra{&pre_input_, &pre_output_, &pre_callbacks_};
    return &pre_extra_;
}

PF_SmartRenderExtra* Render_Frame::smart_render_extra() {
    smart_input_ = PF_SmartRenderInput{};
    smart_input_.output_request = pre_input_.output_request;
    smart_input_.output_request.rect = pre_output_.result_rect;
    smart_input_.bitdepth = pre_input_.bitdepth;
    smart_input_.pre_render_data = pre_output_.pre_render_data;
    smart_extra_ = PF_SmartRenderExtra{&smart_input_, &smart_callbacks_};
    return &smart_extra_;
}

}  // namespace nb::host
