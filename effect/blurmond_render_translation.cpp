// Pixel-format dispatch of a render call: the only place the run-time format picks a pipeline variant.
#include "effect/blurmond_render_translation.h"

#include <string>

#include "base/exception.h"
#include "base/log.h"
#include "effect/blurmond_pipeline.h"
#include "util/pixel/pixel_variant.h"

namespace nb {

void translate_render_call(const Pixel_Format& output_format, NB_Render_Pipeline render_pipeline,
                           const Host_Context& host_context, const Plugin::Context& context,
                           const Render_Context& render_context, const Blurmond_Parameters& parameters,
                           const Layer_Typeless& input, const Layer_Typeless& output,
                           const Extra_Layers& extra_layers) {
    if (render_pipeline != 0) ASSERT_INCOMPLETE;
    with_pixel_variant(output_format, [&](auto variant) {
        using P = typename decltype(variant)::pixel;
        log("translating render call to " + std::string(variant.name) + "\n", 1);
        blurmond_pipeline<P>(host_context, context, render_context, parameters, input, output, extra_layers);
    });
}

}  // namespace nb
