// What the framework needs from the effect it hosts. The framework does not know which effect that is:
// the effect's side of the binary defines these, and a binary without them does not link.
#pragma once

#include <memory>

#include "base/host_context.h"
#include "base/parameter_factory.h"
#include "base/plugin.h"
#include "base/plugin_description.h"

namespace nb {

// The effect for one host call, its parameters created through the factory.
std::unique_ptr<Plugin> make_plugin(Host_Context host_context, Parameter_Factory& factory);

// The same record on every call; the host binding derives the version word and the about text from it.
Plugin_Description plugin_description();

}  // namespace nb
