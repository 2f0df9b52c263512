// The effect's answers to the host: controls, render entry and the extents its blur needs and produces.
#include "effect/blurmond_plugin.h"

#include <utility>

#include "effect/blurmond_kernel_settings.h"
#include "effect/blurmond_parameters_ui.h"
#include "effect/blurmond_render_translation.h"
#include "kernel/blurmond_geometry.h"

namespace nb {

Blurmond_Plugin::Blurmond_Plugin(Host_Context host_context, Parameter_Factory& factory)
    : Plugin(std::move(host_context)), parameters_(factory, this->host_context().plugin_host()) {}

void Blurmond_Plugin::update_params_ui(const Context&) {
    ::nb::update_params_ui(parameters_, host_context().plugin_host());
}

void Blurmond_Plugin::render(const Context& context, const Render_Context& render_context,
                             const Layer_Typeless& input, const Layer_Typeless& output,
                             const Extra_Layers& extra_layers, const Pixel_Format& output_format) {
    translate_render_call(output_format, render_context.render_pipeline(), host_context(), context, render_context,
                          parameters_, input, output, extra_layers);
}

Rect Blurmond_Plugin::layer_extent(const Context& context, const Layer_Extents& extents) const {
    const Rect input = extent_of(extents, host_context().input_layer_name()).rect;
    // Only the normal blur spreads the image beyond its edges; the previews stay inside them.
    const bool extends = parameters_.show->value() == show_normal_blur && parameters_.outside_extend->value();
    return extends ? grown_by_reach(context, input, extents) : input;
}

Rect Blurmond_Plugin::layer_extent_for_name(const Context& context, const std::string& layer_name,
                                            const Rect& output, const Layer_Extents& extents) const {
    if (layer_name == host_context().input_layer_name()) return grown_by_reach(context, output, extents);
    return extent_of(extents, layer_name).rect;
}

// The defocus kernel's own reach, computed by the function that sizes its margins, from the iris the
// normal blur will draw: the controls' shape at the radius, or the alternative iris when one is chosen.
// Fetching that much around an output rectangle gives the kernel everything it reads for it, so a part
// of a frame comes out as in the whole frame. A radius of 0 copies the source and reaches nowhere.
Rect Blurmond_Plugin::grown_by_reach(const Context& context, const Rect& r, const Layer_Extents& extents) const {
    const float radius = static_cast<float>(parameters_.radius->value());
    if (radius == 0.0f) return r;
    const Layer_Description frame = context.frame_description();
    const Layer_Extent& source = extent_of(extents, host_context().input_layer_name());
    const Iris_Settings iris = iris_settings(parameters_, radius, frame);
    Iris_Extent_Settings s;
    s.radius = iris.radius;
    s.aspect = iris.aspect;
    s.soften = iris.soften;
    s.pixel_aspect = source.pixel_aspect;
    s.horizontal_factor = source.downsample_x;
    s.vertical_factor = source.downsample_y;
    const auto alternative = extents.find(parameters_.alternative_iris->description().key);
    if (alternative != extents.end() && !alternative->second.rect.empty()) {
        const Layer_Extent& a = alternative->second;
        s.alternative_width = a.rect.right - a.rect.left;
        s.alternative_height = a.rect.bottom - a.rect.top;
        s.alternative_horizontal_factor = a.downsample_x;
        s.alternative_vertical_factor = a.downsample_y;
        s.alternative_pixel_aspect = a.pixel_aspect;
    }
    const Iris_Extent reach = iris_extent(s);
    return grown(r, reach.x, reach.y);
}

}  // namespace nb
