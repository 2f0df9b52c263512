// One applied effect as the host sees it: the PF_InData of its calls and the parameter records
// behind its interaction callbacks.
#pragma once

#include <cstdint>
#include <vector>

#include "base/after_effects/ae_sdk.h"
#include "host/effect_parameter_state.h"
#include "host/effect_records.h"
#include "host/headless_host.h"

namespace nb::host {

struct Effect_Settings {
    A_long appl_id = app_id_after_effects;
    A_short version_major = 13;  // effect API version reported to the plug-in
    A_short version_minor = 28;
    A_long width = 0;  // full-resolution source size
    A_long height = 0;
    A_long current_time = 0;
    A_long time_step = 1;
    A_u_long time_scale = 25;
    PF_RationalScale downsample_x{1, 1};
    PF_RationalScale downsample_y{1, 1};
    PF_RationalScale pixel_aspect_ratio{1, 1};
};

// Parameter 0 is the input layer; add_param appends. Not thread-safe except for the abort query, which
// follows the host's rules (any thread may ask).
class Effect_Instance {
public:
    Effect_Instance(Headless_Host& host, const Effect_Settings& settings = {});
    // A render thread's instance of the applied effect: its in_data, parameter values, parameter state
    // and negotiated formats as they stand now, with an effect_ref, checkouts and a frame of its own.
    struct Render_Thread_Copy {};
    Effect_Instance(const Effect_Instance& applied, Render_Thread_Copy);
    Effect_Instance(const Effect_Instance&) = delete;
    Effect_Instance& operator=(const Effect_Instance&) = delete;

    PF_InData* in_data() { return &in_data_; }
    Headless_Host& host() { return host_; }

    const std::vector<PF_ParamDef>& parameters() const { return parameters_; }
    PF_ParamDef& parameter(int64_t index) { return parameters_.at(static_cast<size_t>(index)); }
    int64_t checked_out() const { return checked_out_; }  // checkouts not yet checked in
    Effect_Parameter_State& parameter_state() { return parameter_state_; }
    Effect_Records& records() { return records_; }

    static Effect_Instance& from(PF_ProgPtr effect_ref) { return *reinterpret_cast<Effect_Instance*>(effect_ref); }

private:
    Headless_Host& host_;
    PF_InData in_data_{};
    std::vector<PF_ParamDef> parameters_;
    int64_t checked_out_ = 0;
    Effect_Parameter_State parameter_state_;
    Effect_Records records_;

    friend struct Effect_Callbacks;
};

}  // namespace nb::host
