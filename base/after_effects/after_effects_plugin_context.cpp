// Binds the plug-in's frame queries to the host calls of one command.
#include "base/after_effects/after_effects_plugin_context.h"

#include "base/after_effects/after_effects_layers.h"

namespace nb {

Plugin::Context plugin_context(PF_InData* in_data, PF_OutData*, const Plugin*) {
    Plugin::Context context;
    context.frame_description = [in_data] { return frame_description(in_data); };
    return context;
}

}  // namespace nb
