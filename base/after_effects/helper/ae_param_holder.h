// Ownership of a checked-out parameter record: checked back in when the last holder lets go.
#pragma once

#include <memory>

#include "base/after_effects/ae_sdk.h"

namespace nb {

// def must have been filled by a successful checkout_param of in_data's effect. The record is checked
// in when the last copy of the result is released; a refused check-in is logged as a warning and never
// thrown, since releases happen in destructors. in_data must outlive every copy.
std::shared_ptr<PF_ParamDef> hold_checked_out_param(PF_InData* in_data, std::unique_ptr<PF_ParamDef> def);

}  // namespace nb
