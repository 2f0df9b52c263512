// The effect's rules for greying out controls that do not apply to the current settings.
#pragma once

#include "base/plugin_host.h"
#include "effect/blurmond_parameters.h"

namespace nb {

// Reads the current values and enables or greys out every control of the set; nothing is hidden or
// renamed. Controls the host variant lacks are never touched. The host must be the one the set was
// declared for (asserted). Throws what the parameters throw.
void update_params_ui(const Blurmond_Parameters& parameters, Plugin_Host host);

}  // namespace nb
