// A parameter bound to the host records of one call: value checkout and the control operations.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "base/after_effects/ae_sdk.h"
#include "base/parameter.h"

namespace nb {

// The common base of every host-bound kind (<kind>_Parameter_AE). Lives for one host call; in_data and
// the params array belong to the host and must outlive it. params may be null for commands that pass
// none: the operations that write the call's records then fail an assertion. Every operation throws
// Exception_Abort when the host cancels, Exception_After_Effects for another host error and
// Exception_Ae_Suite when a suite is refused.
class Parameter_AE : public virtual Parameter {
public:
    // Flip the control's twirl, grey-out, visibility and name in params and refresh the control.
    void set_expanded(bool open) override;
    void set_enabled(bool on) override;
    void set_visible(bool shown) override;
    void set_name(const std::string& name) override;
    // Keyframes or an expression, through the AEGP suites under the registered aegp_plugin_id.
    bool is_animated() const override;

    int32_t host_index() const { return index_; }

protected:
    Parameter_AE(PF_InData* in_data, PF_ParamDef** params, int32_t index);

    // The host's record of the parameter at host index at time (negative: the call's current time).
    // An interface-only parameter read at the current time is params[index] itself, not owned. Otherwise
    // the record is checked out and checked in when the last holder lets go; a failed checkout throws
    // Exception_After_Effects "PF_CHECKOUT_PARAM() failed" with the host's code, a cancel included.
    std::shared_ptr<PF_ParamDef> get_ae_param(int32_t index, A_long time) const;
    // The same checkout, but a cancel is Exception_Abort: for data the plug-in keeps, not a value read.
    std::shared_ptr<PF_ParamDef> checkout_current(int32_t index) const;
    // params[index] of the call. Throws Exception_Assert when the call has no params array.
    PF_ParamDef& call_record(int32_t index) const;
    // Asks the host to redraw the control from params[index] ("PF Param Utils Suite").
    void refresh(int32_t index) const;
    // After a value written into params[index]: an interface-only control is redrawn, any other is
    // marked as changed so that the host stores the value.
    void mark_changed(int32_t index) const;
    void set_ui_flag(int32_t index, PF_ParamUIFlags flag, bool set) const;
    // Red, green and blue from 0 to 1 of the colour control at host index, at the current time: at full
    // precision under After Effects ("PF ColorParamSuite"), as the record's bytes / 255 elsewhere.
    std::array<float, 3> color_value(int32_t index) const;

    PF_InData* in_data() const { return in_data_; }
    bool has_params() const { return params_ != nullptr; }

private:
    PF_InData* in_data_;
    PF_ParamDef** params_;
    int32_t index_;
};

}  // namespace nb
