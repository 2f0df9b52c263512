// One frame as the host renders it: the layers it lends, and the callbacks of smart pre-render and smart
// render that hand them out and keep account of every checkout.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "base/after_effects/ae_sdk.h"
#include "host/effect_instance.h"
#include "host/host_world.h"

namespace nb::host {

// Lives on the stack of the command sequence; while it lives it is the effect's frame, which the
// callbacks find through effect_ref. The worlds are borrowed and must outlive the frame.
class Render_Frame {
public:
    struct Checkout {
        PF_ParamIndex index = 0;
        A_long id = 0;
        PF_RenderRequest request{};
        PF_CheckoutResult result{};
    };

    // input: the effect's own layer (index 0); extra: the layers chosen in layer parameters, by host
    // index; output: the whole output frame. Each world's origin places it: the input and output in the
    // frame, an extra layer in its own coordinates (usually origin 0, 0).
    Render_Frame(Effect_Instance& effect, const Host_World* input, const Host_World* output,
                 std::map<int32_t, const Host_World*> extra);
    ~Render_Frame();
    Render_Frame(const Render_Frame&) = delete;
    Render_Frame& operator=(const Render_Frame&) = delete;

    // The extra record of PF_Cmd_SMART_PRE_RENDER for an output request (frame coordinates).
    PF_PreRenderExtra* pre_render_extra(const PF_LRect& output_request);
    // The extra record of PF_Cmd_SMART_RENDER(_GPU); the output is the result the pre-render reported.
    PF_SmartRenderExtra* smart_render_extra();

    const PF_PreRenderOutput& pre_render_output() const { return pre_output_; }
    const std::vector<Checkout>& checkouts() const { return checkouts_; }
    // The layer the host holds at a parameter index; null when there is none.
    const Host_World* layer(PF_ParamIndex index) const;
    // Extent of a layer in the coordinates of its world's origin; empty for an index without a layer.
    PF_LRect layer_extent(PF_ParamIndex index) const;

    int64_t pixels_checked_out() const { return pixels_out_; }  // layer pixels not checked in yet

private:
    struct Callbacks;

    Effect_Instance& effect_;
    const Host_World* input_;
    const Host_World* output_;
    std::map<int32_t, const Host_World*> extra_;

    PF_PreRenderInput pre_input_{};
    PF_PreRenderOutput pre_output_{};
    PF_PreRenderCallbacks pre_callbacks_{};
    PF_PreRenderExtra pre_extra_{};
    PF_SmartRenderInput smart_input_{};
    PF_SmartRenderCallbacks smart_callbacks_{};
    PF_SmartRenderExtra smart_extra_{};

    std::vector<Checkout> checkouts_;
    std::map<A_long, std::unique_ptr<Host_World>> pixels_;  // views handed out, by checkout id
    std::map<A_long, bool> checked_in_;
    std::unique_ptr<Host_World> output_view_;
    int64_t pixels_out_ = 0;
};

}  // namespace nb::host
