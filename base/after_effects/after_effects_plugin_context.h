// The per-command context through which plug-in code reaches layers by name and the frame's facts.
#pragma once

#include "base/after_effects/ae_sdk.h"
#include "base/plugin.h"

namespace nb {

// Every function is a closure over in_data and plugin, which must outlive the context; layers are found
// by the input layer's name or a layer parameter's key (an unknown name asks the host for index -1).
Plugin::Context plugin_context(PF_InData* in_data, PF_OutData* out_data, const Plugin* plugin);

}  // namespace nb
