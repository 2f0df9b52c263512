// Effect and stream handles of the AEGP suites, and the suite tables stamped out per host slot.
#include "host/host_aegp_suites.h"

#include <array>
#include <utility>

#include "host/effect_instance.h"
#include "host/headless_host.h"
#include "host/host_slots.h"

namespace nb::host {
namespace {

template <class Handle>
Handle as_handle(uintptr_t number) {
    return reinterpret_cast<Handle>(number);
}

template <class Handle>
uintptr_t number_of(Handle handle) {
    return reinterpret_cast<uintptr_t>(handle);
}

struct Aegp_Tables {
    AEGP_StreamSuite5 stream;
    AEGP_EffectSuite3 effect;
    AEGP_PFInterfaceSuite1 pf_interface;
    AEGP_KeyframeSuite4 keyframe;
};

// Each function names itself to the host's fault table before doing its work. Only the functions an
// effect's animation query needs are offered; the other entries stay null.
template <int Slot>
struct Bound {
    static Headless_Host& host() { return *host_in_slot(Slot); }
    static A_Err fault(const char* name) { return host().faults().enter(name); }

    static A_Err new_effect(AEGP_PluginID plugin, PF_ProgPtr effect_ref, AEGP_EffectRefH* effect) {
        if (A_Err error = fault("AEGP_GetNewEffectForEffect")) return error;
        return host().aegp_suites().new_effect(plugin, effect_ref, effect);
    }
    static A_Err new_stream(AEGP_PluginID plugin, AEGP_EffectRefH effect, PF_ParamIndex index,
                            AEGP_StreamRefH* stream) {
        if (A_Err error = fault("AEGP_GetNewEffectStreamByIndex")) return error;
        return host().aegp_suites().new_stream(plugin, effect, index, stream);
    }
    static A_Err dispose_stream(AEGP_StreamRefH stream) {
        if (A_Err error = fault("AEGP_DisposeStream")) return error;
        return host().aegp_suites().dispose_stream(stream);
    }
    static A_Err time_varying(AEGP_StreamRefH stream, A_Boolean* varies) {
        if (A_Err error = fault("AEGP_IsStreamTimevarying")) return error;
        return host().aegp_suites().time_varying(stream, varies);
    }
    static A_Err dispose_effect(AEGP_EffectRefH effect) {
        if (A_Err error = fault("AEGP_DisposeEffect")) return error;
        return host().aegp_suites().dispose_effect(effect);
    }
    static A_Err keyframe_count(AEGP_StreamRefH stream, A_long* count) {
        if (A_Err error = fault("AEGP_GetStreamNumKFs")) return error;
        return host().aegp_suites().keyframe_count(stream, count);
    }

    static constexpr Aegp_Tables tables{
        AEGP_StreamSuite5{.AEGP_GetNewEffectStreamByIndex = new_stream,
                          .AEGP_DisposeStream = dispose_stream,
                          .AEGP_IsStreamTimevarying = time_varying},
        AEGP_EffectSuite3{.AEGP_DisposeEffect = dispose_effect},
        AEGP_PFInterfaceSuite1{.AEGP_GetNewEffectForEffect = new_effect},
        AEGP_KeyframeSuite4{.AEGP_GetStreamNumKFs = keyframe_count},
    };
};

constexpr auto slot_tables = slot_tables_of<Bound>();

}  // namespace

Host_Aegp_Suites::Host_Aegp_Suites(Headless_Host& host, int slot) {
    const Aegp_Tables& tables = slot_tables[static_cast<size_t>(slot)];
    host.register_suite(kAEGPStreamSuite, kAEGPStreamSuiteVersion5, &tables.stream);
    host.register_suite(kAEGPEffectSuite, kAEGPEffectSuiteVersion3, &tables.effect);
    host.register_suite(kAEGPPFInterfaceSuite, kAEGPPFInterfaceSuiteVersion1, &tables.pf_interface);
    host.register_suite(kAEGPKeyframeSuite, kAEGPKeyframeSuiteVersion4, &tables.keyframe);
}

int64_t Host_Aegp_Suites::live_effects() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int64_t>(effects_.size());
}

int64_t Host_Aegp_Suites::live_streams() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int64_t>(streams_.size());
}

AEGP_PluginID Host_Aegp_Suites::last_plugin_id() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return last_plugin_id_;
}

A_Err Host_Aegp_Suites::new_effect(AEGP_PluginID plugin, PF_ProgPtr effect_ref, AEGP_EffectRefH* effect) {
    if (effect_ref == nullptr || effect == nullptr) return A_Err_PARAMETER;
    std::lock_guard<std::mutex> lock(mutex_);
    last_plugin_id_ = plugin;
    const uintptr_t number = next_handle_++;
    effects_[number] = &Effect_Instance::from(effect_ref);
    *effect = as_handle<AEGP_EffectRefH>(number);
    return A_Err_NONE;
}

A_Err Host_Aegp_Suites::new_stream(AEGP_PluginID plugin, AEGP_EffectRefH effect, PF_ParamIndex index,
                                   AEGP_StreamRefH* stream) {
    if (stream == nullptr) return A_Err_PARAMETER;
    std::lock_guard<std::mutex> lock(mutex_);
    last_plugin_id_ = plugin;
    const auto found = effects_.find(number_of(effect));
    if (found == effects_.end()) return A_Err_PARAMETER;
    Effect_Instance* instance = found->second;
    if (index < 0 || index >= static_cast<PF_ParamIndex>(instance->parameters().size())) return A_Err_PARAMETER;
    const uintptr_t number = next_handle_++;
    streams_[number] = Stream{instance, index};
    *stream = as_handle<AEGP_StreamRefH>(number);
    return A_Err_NONE;
}

A_Err Host_Aegp_Suites::dispose_stream(AEGP_StreamRefH stream) {
    std::lock_guard<std::mutex> lock(mutex_);
    return streams_.erase(number_of(stream)) == 1 ? A_Err_NONE : A_Err_PARAMETER;
}

A_Err Host_Aegp_Suites::dispose_effect(AEGP_EffectRefH effect) {
    std::lock_guard<std::mutex> lock(mutex_);
    return effects_.erase(number_of(effect)) == 1 ? A_Err_NONE : A_Err_PARAMETER;
}

Host_Aegp_Suites::Stream* Host_Aegp_Suites::find_stream(AEGP_StreamRefH stream) {
    const auto found = streams_.find(number_of(stream));
    return found == streams_.end() ? nullptr : &found->second;
}

A_Err Host_Aegp_Suites::keyframe_count(AEGP_StreamRefH stream, A_long* count) {
    std::lock_guard<std::mutex> lock(mutex_);
    const Stream* found = find_stream(stream);
    if (found == nullptr || count == nullptr) return A_Err_PARAMETER;
    *count = found->effect->parameter_state().keyframes(found->index);
    return A_Err_NONE;
}

A_Err Host_Aegp_Suites::time_varying(AEGP_StreamRefH stream, A_Boolean* varies) {
    std::lock_guard<std::mutex> lock(mutex_);
    const Stream* found = find_stream(stream);
    if (found == nullptr || varies == nullptr) return A_Err_PARAMETER;
    *varies = found->effect->parameter_state().time_varying(found->index) ? 1 : 0;
    return A_Err_NONE;
}

}  // namespace nb::host
