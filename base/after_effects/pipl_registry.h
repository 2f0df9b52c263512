// What the host binding needs from the effect beyond base/plugin_registry.h: the property list the host
// reads before it loads the binary. Global setup reports the list's version and flags, so the two agree.
#pragma once

#include "base/after_effects/pipl.h"

namespace nb {

Pipl_Description plugin_pipl_description();

}  // namespace nb
