// The ANSI block of the utility callbacks: of the C functions, what an effect calls.
#pragma once

#include "base/after_effects/ae_sdk.h"

namespace nb::host {

// sprintf writes at most PF_MAX_EFFECT_MSG_LEN characters and a terminating zero: the message buffers
// it serves (out_data->return_msg) hold 256 bytes.
PF_ANSICallbacks ansi_callbacks();

}  // namespace nb::host
