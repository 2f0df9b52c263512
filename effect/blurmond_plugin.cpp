// The effect's answers to the host: controls, render entry and the extents its blur needs and produces.
#include "effect/blurmond_plugin.h"

#include <cmath>
#include <cstdint>
#include <utility>

#include "effect/blurmond_derived_values.h"
#include "effect/blurmond_parameters_ui.h"
#include "effect/blurmond_render_translation.h"

namespace nb {

namespace {

// Beyond any frame a host can describe, and small enough that a grown rectangle still fits the host's
// 32-bit edges; only reached with an absurd "smooth", where float overflows to infinity.
constexpr float max_growth = 1073741824.0f;  // 2^30

int64_t growth(float reach, float downsample) {
    const float g = std::ceil(reach * downsample);
    if (!(g > 0.0f)) return 0;
    if (!(g < max_growth)) return static_cast<int64_t>(max_growth);
    return static_cast<int64_t>(g);
}

}  // namespace

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
    return extends ? grown_by_reach(context, input) : input;
}

Rect Blurmond_Plugin::layer_extent_for_name(const Context& context, const std::string& layer_name,
                                            const Rect& output, const Layer_Extents& extents) const {
    if (layer_name == host_context().input_layer_name()) return grown_by_reach(context, output);
    return extent_of(extents, layer_name).rect;
}

// The reach is in full-resolution pixels; the rectangles are at the current resolution.
Rect Blurmond_Plugin::grown_by_reach(const Context& context, const Rect& r) const {
    const Layer_Description frame = context.frame_description();
    const float reach = blur_reach(static_cast<float>(parameters_.radius->value()), parameters_.iris_soften->value(),
                                   frame);
    return grown(r, growth(reach, frame.horizontal_factor), growth(reach, frame.vertical_factor));
}

}  // namespace nb
