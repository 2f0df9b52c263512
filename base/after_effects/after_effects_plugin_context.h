// The per-command context through which plug-in code reaches the frame's facts.
#pragma once

#include "base/after_effects/ae_sdk.h"
#include "base/plugin.h"

namespace nb {

// Every function is a closure over in_data, which must outlive the context.
Plugin::Context plugin_context(PF_InData* in_data, PF_OutData* out_data, const Plugin* plugin);

}  // namespace nb
