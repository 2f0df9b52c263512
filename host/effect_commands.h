// The command sequences a host runs on one effect instance from one thread: any command, the smart
// pre-render and render of a request, and PF_Cmd_RENDER.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/after_effects/ae_sdk.h"
#include "host/effect_instance.h"
#include "host/host_world.h"
#include "host/plugin_module.h"
#include "host/render_frame.h"

namespace nb::host {

enum class Render_Path {
    smart,      // PF_Cmd_SMART_PRE_RENDER then PF_Cmd_SMART_RENDER, as After Effects renders
    non_smart,  // PF_Cmd_RENDER, as Premiere renders
};

// The layers of one frame; borrowed for the call. The input and output are placed in the frame by their
// origins (normally 0, 0); extra layers are keyed by the host index of their layer parameter.
struct Frame_Layers {
    const Host_World* input = nullptr;
    Host_World* output = nullptr;
    std::map<int32_t, const Host_World*> extra;
};

// What a smart pre-render answered.
struct Pre_Render_Result {
    PF_Err error = PF_Err_NONE;
    PF_LRect result_rect{};
    PF_LRect max_result_rect{};
    std::vector<Render_Frame::Checkout> checkouts;  // in the order the plug-in made them
};

// Calls run on the calling thread; what the plug-in throws passes through (the host would report a
// crash). One thread at a time per object; objects on distinct instances may run at once.
class Effect_Commands {
public:
    // Drives effect, which the caller keeps alive.
    Effect_Commands(const Plugin_Module& module, Effect_Instance& effect);
    // Drives an instance of its own, starting from the out_data the host kept for the effect.
    Effect_Commands(const Plugin_Module& module, std::unique_ptr<Effect_Instance> effect, const PF_OutData& out_data);
    Effect_Commands(const Effect_Commands&) = delete;
    Effect_Commands& operator=(const Effect_Commands&) = delete;

    Effect_Instance& effect() { return effect_; }
    // The host keeps one record across commands, as it keeps the flags global setup reported.
    PF_OutData& out_data() { return out_data_; }

    // Any command, with the effect's parameter records as the parameter array.
    PF_Err command(PF_Cmd cmd, void* extra = nullptr, PF_LayerDef* output = nullptr);
    // The message the last render asked the host to show (PF_OutFlag_DISPLAY_ERROR_MESSAGE); empty for none.
    std::string error_message() const;

    // Renders the whole output frame.
    PF_Err render(const Frame_Layers& frame, Render_Path path);
    // Smart pre-render of the request alone (frame coordinates).
    Pre_Render_Result pre_render(const Frame_Layers& frame, const PF_LRect& request);
    // Smart pre-render then smart render of request; device selects PF_Cmd_SMART_RENDER_GPU. What the
    // effect reports no result for within request comes out transparent, as a host shows it; without
    // any result the smart render is not called.
    PF_Err render_smart(const Frame_Layers& frame, const PF_LRect& request, bool device = false);
    PF_Err render_non_smart(const Frame_Layers& frame);

    // Parameter and layer-pixel checkouts of the last render not checked in again.
    int64_t outstanding_checkouts() const { return effect_.checked_out() + last_pixels_out_; }

private:
    void lend_layers(const Frame_Layers& frame);
    void forget_message();
    std::vector<PF_ParamDef*> parameter_array();

    const Plugin_Module& module_;
    std::unique_ptr<Effect_Instance> owned_;
    Effect_Instance& effect_;
    PF_OutData out_data_{};
    int64_t last_pixels_out_ = 0;
};

}  // namespace nb::host
