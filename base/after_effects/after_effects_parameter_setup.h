// Declares the effect's parameters to the host at PF_Cmd_PARAMS_SETUP.
#pragma once

#include <vector>

#include "base/after_effects/ae_sdk.h"
#include "base/parameter.h"

namespace nb {

// Adds one host record per parameter, in list order (two for a colour with alpha and for a custom
// control; none for a layer with disc_id 0, the input layer the host supplies, which still counts one),
// then sets out_data->num_params to the count plus the input layer. Throws Exception_Abort when the host
// cancels, Exception_After_Effects when it refuses a record (records added before stay added),
// Exception_Assert for a description the host cannot take (an alpha identifier not above 0, a choice
// default outside its entries, an angle beyond 16.16) or a kind without a host form.
void parameter_setup(PF_InData* in_data, PF_OutData* out_data, const std::vector<Parameter*>& parameters);

}  // namespace nb
