// An effect driven the way a host drives it, for tools and tests: load the binary, global and parameter
// setup, parameter values by name or index, frames rendered on the smart or the non-smart path.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/after_effects/ae_sdk.h"
#include "host/effect_instance.h"
#include "host/headless_host.h"
#include "host/host_world.h"
#include "host/plugin_module.h"
#include "host/render_frame.h"

namespace nb::host {

enum class Render_Path {
    smart,      // PF_Cmd_SMART_PRE_RENDER then PF_Cmd_SMART_RENDER, as After Effects renders
    non_smart,  // PF_Cmd_RENDER, as Premiere renders
};

struct Session_Settings {
    Effect_Settings effect;  // application ('FXTC' or 'PrMr'), API version, time, resolution factors
    int64_t threads = 0;     // host threads of iterate_generic; 0: one per processor
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

// One loaded plug-in with one applied effect. Every call runs on the calling thread; what the plug-in
// throws passes through (the host would report a crash). Not thread-safe.
class Effect_Session {
public:
    // Loads library (and its property list); throws std::runtime_error when the plug-in cannot be loaded.
    explicit Effect_Session(const std::filesystem::path& library, const Session_Settings& settings = {});

    Headless_Host& host() { return *host_; }
    Effect_Instance& effect() { return *effect_; }
    const Plugin_Module& module() const { return *module_; }
    PF_InData* in_data() { return effect_->in_data(); }
    // The host keeps one record across commands, as it keeps the flags global setup reported.
    PF_OutData& out_data() { return out_data_; }

    // Any command, with the effect's parameter records as the parameter array.
    PF_Err command(PF_Cmd cmd, void* extra = nullptr, PF_LayerDef* output = nullptr);
    PF_Err global_setup() { return command(PF_Cmd_GLOBAL_SETUP); }
    PF_Err params_setup() { return command(PF_Cmd_PARAMS_SETUP); }
    // The about text the plug-in writes into out_data().return_msg; throws std::runtime_error on an error.
    std::string about();

    // Host index of the parameter whose display name is name, or whose name with spaces written as
    // underscores is (the effect's keys derived from names). Throws std::out_of_range for none.
    int32_t index_of(std::string_view name) const;
    // Values as the user sets them; each throws std::invalid_argument for a parameter of another kind.
    void set_float(int32_t index, double value);
    void set_int(int32_t index, int32_t value);
    void set_checkbox(int32_t index, bool on);
    void set_choice(int32_t index, int32_t entry);      // 0-based entry
    void set_angle(int32_t index, double degrees);
    void set_color(int32_t index, double red, double green, double blue);  // 0 .. 1

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
    int64_t outstanding_checkouts() const { return effect_->checked_out() + last_pixels_out_; }

private:
    PF_ParamDef& parameter_of_type(int32_t index, PF_ParamType type);
    void lend_layers(const Frame_Layers& frame);
    std::vector<PF_ParamDef*> parameter_array();

    std::unique_ptr<Plugin_Module> module_;
    std::unique_ptr<Headless_Host> host_;
    std::unique_ptr<Effect_Instance> effect_;
    PF_OutData out_data_{};
    int64_t last_pixels_out_ = 0;
};

}  // namespace nb::host
