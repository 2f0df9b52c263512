// Binds the plug-in's layer and frame queries to the host calls of one command.
#include "base/after_effects/after_effects_plugin_context.h"

#include "base/after_effects/after_effects_layers.h"
#include "base/after_effects/helper/ae_helper.h"

namespace nb {

Plugin::Context plugin_context(PF_InData* in_data, PF_OutData*, const Plugin* plugin) {
    Plugin::Context context;
    context.depth_layer = [in_data, plugin](const std::string& name) {
        return checkout_depth_channel(in_data, host_index_of_layer(*plugin, name));
    };
    context.has_depth = [in_data, plugin](const std::string& name) {
        return has_depth_channel(in_data, host_index_of_layer(*plugin, name));
    };
    context.layer = [in_data, plugin](const std::string& name) {
        return checkout_layer(in_data, host_index_of_layer(*plugin, name));
    };
    context.frame_description = [in_data] { return frame_description(in_data); };
    context.working_gamma = [in_data] { return working_gamma(in_data->pica_basicP); };
    return context;
}

}  // namespace nb
