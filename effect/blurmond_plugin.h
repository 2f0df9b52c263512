// The effect as a plug-in: its parameter set, its render, and how far its blur reaches beyond a frame.
#pragma once

#include <string>
#include <vector>

#include "base/host_context.h"
#include "base/parameter_factory.h"
#include "base/plugin.h"
#include "effect/blurmond_parameters.h"

namespace nb {

// Lives for one host call, on the calling thread.
class Blurmond_Plugin : public Plugin {
public:
    // Declares the whole parameter set through factory for the host the context names; throws what the
    // factory throws.
    Blurmond_Plugin(Host_Context host_context, Parameter_Factory& factory);

    const std::vector<Parameter*>& parameters() const override { return parameters_.list; }
    void update_params_ui(const Context& context) override;
    // Runs the render pipeline for the pixel variant of output_format. Throws Exception_Assert
    // (ASSERT_INCOMPLETE) for a format without a variant or a pipeline other than the CPU's, and
    // whatever the kernels throw (abort, allocation failure, host errors).
    void render(const Context& context, const Render_Context& render_context, const Layer_Typeless& input,
                const Layer_Typeless& output, const Extra_Layers& extra_layers,
                const Pixel_Format& output_format) override;
    // The input's extent, grown by the blur's reach when the normal blur extends the image. Throws
    // Exception_Assert when extents holds none for the input layer.
    Rect layer_extent(const Context& context, const Layer_Extents& extents) const override;
    // For the input: output grown by the blur's reach (the defocus margins). Any other layer: its own
    // extent. Throws Exception_Assert when extents lacks the layer, or the input's for the reach.
    Rect layer_extent_for_name(const Context& context, const std::string& layer_name, const Rect& output,
                               const Layer_Extents& extents) const override;

private:
    Rect grown_by_reach(const Context& context, const Rect& r, const Layer_Extents& extents) const;

    Blurmond_Parameters parameters_;
};

}  // namespace nb
