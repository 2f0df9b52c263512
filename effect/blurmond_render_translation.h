// Turns a render call with untyped layers into the render pipeline of the matching pixel variant.
#pragma once

#include "base/host_context.h"
#include "base/plugin.h"
#include "effect/blurmond_parameters.h"
#include "util/layer.h"
#include "util/pixel/pixel_format.h"
#include "util/render_context.h"

namespace nb {

// Logs "translating render call to <variant name>" and runs the pipeline typed for output_format; the
// input, output and extra layers are taken to share that format. Throws Exception_Assert
// (ASSERT_INCOMPLETE) when render_pipeline is not the CPU pipeline (0) or no variant has the format,
// and whatever the pipeline throws.
void translate_render_call(const Pixel_Format& output_format, NB_Render_Pipeline render_pipeline,
                           const Host_Context& host_context, const Plugin::Context& context,
                           const Render_Context& render_context, const Blurmond_Parameters& parameters,
                           const Layer_Typeless& input, const Layer_Typeless& output,
                           const Extra_Layers& extra_layers);

}  // namespace nb
