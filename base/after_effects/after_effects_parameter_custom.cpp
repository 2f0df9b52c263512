// Locking and change marking of a custom control's data blocks.
#include "base/after_effects/after_effects_parameter_custom.h"

#include <utility>

namespace nb {

Custom_Parameter_AE::Custom_Parameter_AE(Custom_Parameter_Description description, PF_InData* in_data,
                                         PF_ParamDef** params, int32_t index, PF_ContextH event_context)
    : Parameter_AE(in_data, params, index), Custom_Parameter(std::move(description)), event_context_(event_context) {}

Custom_Parameter_AE::~Custom_Parameter_AE() {
    unlock(gui_data_);
    unlock(data_);
}

void* Custom_Parameter_AE::data() { return locked(data_, host_index()); }

void* Custom_Parameter_AE::gui_data() { return locked(gui_data_, gui_data_index()); }

void Custom_Parameter_AE::data_changed() { mark_changed(host_index()); }

void Custom_Parameter_AE::gui_data_changed() {
    call_record(gui_data_index()).uu.change_flags |= PF_ChangeFlag_CHANGED_VALUE;
    refresh(gui_data_index());
}

void Custom_Parameter_AE::redraw() { refresh(host_index()); }

void* Custom_Parameter_AE::locked(Locked_Data& data, int32_t index) {
    if (data.pointer != nullptr) return data.pointer;
    PF_Handle handle = nullptr;
    if (has_params()) {
        handle = call_record(index).u.arb_d.value;
    } else {
        data.checked_out = checkout_current(index);
        handle = data.checked_out->u.arb_d.value;
    }
    if (handle == nullptr) return nullptr;
    data.pointer = in_data()->utils->host_lock_handle(handle);
    if (data.pointer != nullptr) data.handle = handle;
    return data.pointer;
}

void Custom_Parameter_AE::unlock(Locked_Data& data) noexcept {
    if (data.handle != nullptr) in_data()->utils->host_unlock_handle(data.handle);
    data.handle = nullptr;
    data.pointer = nullptr;
    data.checked_out.reset();
}

}  // namespace nb
