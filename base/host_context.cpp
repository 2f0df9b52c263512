// The host context every host binding hands out once it knows which application called.
#include "base/host_context.h"

namespace nb {

Host_Context make_host_context(Plugin_Host host) {
    Host_Context context;
    context.plugin_api = [] { return Plugin_Api::after_effects_api; };
    context.plugin_host = [host] { return host; };
    context.input_layer_name = [] { return std::string("Source"); };
    context.output_layer_name = [] { return std::string("Output"); };
    return context;
}

}  // namespace nb
