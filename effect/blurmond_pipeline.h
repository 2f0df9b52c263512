// The per-frame render of the effect: from parameter values and layers to kernel runs, per pixel variant.
#pragma once

#include "base/host_context.h"
#include "base/plugin.h"
#include "effect/blurmond_parameters.h"
#include "util/layer.h"
#include "util/pixel/pixel.h"
#include "util/render_context.h"

namespace nb {

// Renders one frame into output's memory in the display mode "show" asks for: the defocused frame
// (with the background distorted through its transparent parts when a background layer is chosen),
// the iris alone, or the highlight selection over the image or alone. source, output and the extra
// layers (keyed by layer parameter key; a missing key reads as no layer) must hold pixels of type P.
// Runs on the command's main thread; only the kernels use the workers. Throws what the kernels throw
// (Exception_Abort, std::bad_alloc, host errors), leaving output as far as they got.
template <class P>
void blurmond_pipeline(Host_Context host_context, Plugin::Context context, Render_Context render_context,
                       const Blurmond_Parameters& parameters, Layer_Typeless source, Layer_Typeless output,
                       Extra_Layers extra_layers);

extern template void blurmond_pipeline<Pixel_Argb_8>(Host_Context, Plugin::Context, Render_Context,
                                                     const Blurmond_Parameters&, Layer_Typeless, Layer_Typeless,
                                                     Extra_Layers);
extern template void blurmond_pipeline<Pixel_Argb_16>(Host_Context, Plugin::Context, Render_Context,
                                                      const Blurmond_Parameters&, Layer_Typeless, Layer_Typeless,
                                                      Extra_Layers);
extern template void blurmond_pipeline<Pixel_Argb_32f>(Host_Context, Plugin::Context, Render_Context,
                                                       const Blurmond_Parameters&, Layer_Typeless, Layer_Typeless,
                                                       Extra_Layers);
extern template void blurmond_pipeline<Pixel_Bgra_8>(Host_Context, Plugin::Context, Render_Context,
                                                     const Blurmond_Parameters&, Layer_Typeless, Layer_Typeless,
                                                     Extra_Layers);
extern template void blurmond_pipeline<Pixel_Bgra_16>(Host_Context, Plugin::Context, Render_Context,
                                                      const Blurmond_Parameters&, Layer_Typeless, Layer_Typeless,
                                                      Extra_Layers);
extern template void blurmond_pipeline<Pixel_Bgra_32f>(Host_Context, Plugin::Context, Render_Context,
                                                       const Blurmond_Parameters&, Layer_Typeless, Layer_Typeless,
                                                       Extra_Layers);

}  // namespace nb
