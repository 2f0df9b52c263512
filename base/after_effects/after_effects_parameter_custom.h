// A host-bound custom control: its arbitrary data, its hidden interface data and the current event.
#pragma once

#include <cstdint>
#include <memory>

#include "base/after_effects/after_effects_parameter.h"
#include "base/parameter_kind.h"

namespace nb {

// The control at host index, its interface data at host index + 1. Each data block is locked on first
// use and unlocked when the parameter is destroyed; a record that had to be checked out (the call has
// no params array) is checked in then too.
class Custom_Parameter_AE : public Parameter_AE, public Custom_Parameter {
public:
    // event_context: the context of the host's current interface event, null outside events.
    Custom_Parameter_AE(Custom_Parameter_Description description, PF_InData* in_data, PF_ParamDef** params,
                        int32_t index, PF_ContextH event_context);
    ~Custom_Parameter_AE() override;
    Custom_Parameter_AE(const Custom_Parameter_AE&) = delete;
    Custom_Parameter_AE& operator=(const Custom_Parameter_AE&) = delete;

    // Null when the record holds no data. Throws Exception_Abort or Exception_After_Effects when the
    // record cannot be checked out.
    void* data() override;
    void* gui_data() override;
    void* event_context() const override { return event_context_; }
    void data_changed() override;
    void gui_data_changed() override;
    void redraw() override;

    int32_t gui_data_index() const { return host_index() + 1; }

private:
    struct Locked_Data {
        std::shared_ptr<PF_ParamDef> checked_out;  // only without a params array
        PF_Handle handle = nullptr;
        void* pointer = nullptr;
    };

    void* locked(Locked_Data& data, int32_t index);
    void unlock(Locked_Data& data) noexcept;

    PF_ContextH event_context_;
    Locked_Data data_;
    Locked_Data gui_data_;
};

}  // namespace nb
