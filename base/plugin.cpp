// Default answers of the abstract plug-in: an effect that changes nothing.
#include "base/plugin.h"

#include <utility>

#include "base/exception.h"

namespace nb {

Plugin::Plugin(Host_Context host_context) : host_context_(std::move(host_context)) {}

void Plugin::update_params_ui(const Context&) {}

void Plugin::user_changed_param(const Context&, const Render_Context&, const std::string&) {}

void Plugin::render(const Context&, const Render_Context&, const Layer_Typeless&, const Layer_Typeless&,
                    const Extra_Layers&, const Pixel_Format&) {}

bool Plugin::varies_without_param_change() const { return false; }

const Layer_Extent& Plugin::extent_of(const Layer_Extents& extents, const std::string& layer_name) {
    const auto found = extents.find(layer_name);
    ASSERT(found != extents.end(), "no extent stored for layer \"" << layer_name << "\"");
    return found->second;
}

}  // namespace nb
