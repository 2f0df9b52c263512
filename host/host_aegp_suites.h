// The AEGP suites behind an effect's animation query: "AEGP PF Interface Suite" (the effect's own
// handle), "AEGP Stream Suite" and "AEGP Keyframe Suite" (its parameter streams), "AEGP Effect Suite"
// (disposal of the effect handle).
#pragma once

#include <cstdint>
#include <map>
#include <mutex>

#include "base/after_effects/ae_sdk.h"

namespace nb::host {

class Headless_Host;
class Effect_Instance;

// Offers the four suites on its host for the host's life. Handles are numbers the host looks up, so a
// stale or foreign handle is answered with A_Err_PARAMETER, never followed. The animation each stream
// reports is the Effect_Parameter_State of its effect. Thread-safe.
class Host_Aegp_Suites {
public:
    // slot: the host's slot, whose stamped functions reach this object.
    Host_Aegp_Suites(Headless_Host& host, int slot);
    Host_Aegp_Suites(const Host_Aegp_Suites&) = delete;
    Host_Aegp_Suites& operator=(const Host_Aegp_Suites&) = delete;

    int64_t live_effects() const;  // effect handles not yet disposed of
    int64_t live_streams() const;  // stream handles not yet disposed of
    AEGP_PluginID last_plugin_id() const;  // the id passed with the last request for a handle

    // The suite functions' work, reached through the slot's stamped functions.
    A_Err new_effect(AEGP_PluginID plugin, PF_ProgPtr effect_ref, AEGP_EffectRefH* effect);
    A_Err new_stream(AEGP_PluginID plugin, AEGP_EffectRefH effect, PF_ParamIndex index, AEGP_StreamRefH* stream);
    A_Err dispose_stream(AEGP_StreamRefH stream);
    A_Err dispose_effect(AEGP_EffectRefH effect);
    A_Err keyframe_count(AEGP_StreamRefH stream, A_long* count);
    A_Err time_varying(AEGP_StreamRefH stream, A_Boolean* varies);

private:
    struct Stream {
        Effect_Instance* effect = nullptr;
        PF_ParamIndex index = 0;
    };
    Stream* find_stream(AEGP_StreamRefH stream);

    mutable std::mutex mutex_;
    uintptr_t next_handle_ = 1;
    std::map<uintptr_t, Effect_Instance*> effects_;
    std::map<uintptr_t, Stream> streams_;
    AEGP_PluginID last_plugin_id_ = 0;
};

}  // namespace nb::host
