// What plug-in code may ask about the application it runs in, without touching host records.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "base/plugin_host.h"

namespace nb {

// The effect interface the plug-in is driven through; only one exists.
enum class Plugin_Api : int32_t {
    after_effects_api = 0,
};

// Built once per host call; the queries are cheap and may be called any number of times on the calling
// thread. An empty function is a std::bad_function_call when called.
struct Host_Context {
    std::function<Plugin_Api()> plugin_api;
    std::function<Plugin_Host()> plugin_host;
    std::function<std::string()> input_layer_name;   // "Source"
    std::function<std::string()> output_layer_name;  // "Output"
};

// The context for a host already identified: the effect interface, the host, and the fixed layer names.
Host_Context make_host_context(Plugin_Host host);

}  // namespace nb
