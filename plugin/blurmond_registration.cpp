// The effect this binary hosts, as the framework asks for it.
#include <memory>
#include <utility>

#include "base/after_effects/pipl_registry.h"
#include "base/plugin_registry.h"
#include "effect/blurmond_description.h"
#include "effect/blurmond_plugin.h"
#include "plugin/blurmond_pipl.h"

namespace nb {

std::unique_ptr<Plugin> make_plugin(Host_Context host_context, Parameter_Factory& factory) {
    return std::make_unique<Blurmond_Plugin>(std::move(host_context), factory);
}

Plugin_Description plugin_description() { return blurmond_description(); }

Pipl_Description plugin_pipl_description() { return blurmond_pipl_description(); }

}  // namespace nb
