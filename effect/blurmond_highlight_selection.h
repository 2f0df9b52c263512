// The highlight selection settings the kernels judge pixels by, read from the effect's controls.
#pragma once

#include <cstdint>

#include "base/plugin_host.h"
#include "effect/blurmond_parameters.h"
#include "kernel/highlight_selection_settings.h"

namespace nb {

// After Effects: the user's ranges (0..255 scale in the controls) as fractions, the offsets (angles) as
// fractions of a turn, the selection as the "enable" checkbox says. Premiere, which offers only the
// lightness range (0..1 in the controls) and its soften: every hue and saturation passes, and the
// selection is on whenever it is shown or a highlight amount asks for it. show is the "show" choice.
// Throws what the parameters throw.
Highlight_Selection_Settings highlight_selection_settings(const Blurmond_Parameters& parameters, Plugin_Host host,
                                                          int32_t show);

}  // namespace nb
