// An effect driven the way a host drives it, for tools and tests: load the binary, global and parameter
// setup, parameter values by name or index, frames rendered on the smart or the non-smart path.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/after_effects/ae_sdk.h"
#include "host/effect_commands.h"
#include "host/effect_instance.h"
#include "host/headless_host.h"
#include "host/host_world.h"
#include "host/plugin_module.h"

namespace nb::host {

struct Session_Settings {
    Effect_Settings effect;  // application ('FXTC' or 'PrMr'), API version, time, resolution factors
    int64_t threads = 0;     // host threads of iterate_generic; 0: one per processor
    int64_t memory_budget = 0;  // bytes of host memory; 0: half the machine's physical memory
};

// One loaded plug-in with one applied effect. Every call runs on the calling thread; what the plug-in
// throws passes through (the host would report a crash). Not thread-safe: concurrent renders go
// through render threads.
class Effect_Session {
public:
    // Loads library (and its property list); throws std::runtime_error when the plug-in cannot be loaded.
    explicit Effect_Session(const std::filesystem::path& library, const Session_Settings& settings = {});

    Headless_Host& host() { return *host_; }
    Effect_Instance& effect() { return *effect_; }
    PF_InData* in_data() { return effect_->in_data(); }
    // The host keeps one record across commands, as it keeps the flags global setup reported.
    PF_OutData& out_data() { return commands_->out_data(); }

    // Any command, with the effect's parameter records as the parameter array.
    PF_Err command(PF_Cmd cmd, void* extra = nullptr, PF_LayerDef* output = nullptr) {
        return commands_->command(cmd, extra, output);
    }
    // The message the last render asked the host to show; empty for none.
    std::string error_message() const { return commands_->error_message(); }
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
    PF_Err render(const Frame_Layers& frame, Render_Path path) { return commands_->render(frame, path); }
    // Smart pre-render of the request alone (frame coordinates).
    Pre_Render_Result pre_render(const Frame_Layers& frame, const PF_LRect& request) {
        return commands_->pre_render(frame, request);
    }
    // Smart pre-render then smart render of request; device selects PF_Cmd_SMART_RENDER_GPU. What the
    // effect reports no result for within request comes out transparent, as a host shows it; without
    // any result the smart render is not called.
    PF_Err render_smart(const Frame_Layers& frame, const PF_LRect& request, bool device = false) {
        return commands_->render_smart(frame, request, device);
    }
    PF_Err render_non_smart(const Frame_Layers& frame) { return commands_->render_non_smart(frame); }

    // Parameter and layer-pixel checkouts of the last render not checked in again.
    int64_t outstanding_checkouts() const { return commands_->outstanding_checkouts(); }

    // A render thread of the effect, as a host that renders frames concurrently (the effect reports
    // PF_OutFlag2_SUPPORTS_THREADED_RENDERING) gives each of its render threads: an instance record of
    // its own with the parameter values as they stand now, its own in_data and out_data, on this
    // session's plug-in and host. Several render threads may render at once, each driven by one thread;
    // their generic iterations share the host's worker threads one job after another. The session must
    // outlive them and stay unchanged while they render.
    std::unique_ptr<Effect_Commands> render_thread();

private:
    PF_ParamDef& parameter_of_type(int32_t index, PF_ParamType type);

    std::unique_ptr<Plugin_Module> module_;
    std::unique_ptr<Headless_Host> host_;
    std::unique_ptr<Effect_Instance> effect_;
    std::unique_ptr<Effect_Commands> commands_;
};

}  // namespace nb::host
