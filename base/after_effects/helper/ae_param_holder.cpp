// The check-in of a held parameter record, with its warning when the host refuses.
#include "base/after_effects/helper/ae_param_holder.h"

#include <string>

#include "base/log.h"

namespace nb {
namespace {

void check_in(PF_InData* in_data, PF_ParamDef* def) noexcept {
    const PF_Err error = in_data->inter.checkin_param(in_data->effect_ref, def);
    delete def;
    if (error == PF_Err_NONE) return;
    try {
        log(std::string(warning_prefix) + "PF_CHECKIN_PARAM() failed in AE_Param destructor. Error code: " +
                std::to_string(error) + "\n",
            2);
    } catch (...) {
        // Out of memory while reporting: the refusal cannot be reported, and a release must not throw.
    }
}

}  // namespace

std::shared_ptr<PF_ParamDef> hold_checked_out_param(PF_InData* in_data, std::unique_ptr<PF_ParamDef> def) {
    PF_ParamDef* raw = def.get();
    // If the control block cannot be allocated, shared_ptr calls the deleter, so the record is still
    // checked in before the allocation failure travels on.
    std::shared_ptr<PF_ParamDef> held(raw, [in_data](PF_ParamDef* p) { check_in(in_data, p); });
    def.release();
    return held;
}

}  // namespace nb
