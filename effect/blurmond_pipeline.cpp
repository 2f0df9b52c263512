// The render pipeline: reads the controls, derives the kernel settings and runs the display mode's kernels.
#include "effect/blurmond_pipeline.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <utility>

#include "base/exception.h"
#include "effect/blurmond_derived_values.h"
#include "effect/blurmond_highlight_selection.h"
#include "effect/blurmond_kernel_settings.h"
#include "effect/blurmond_working_memory.h"
#include "effect/gray_in_place.h"
#include "kernel/kernel_blurmond_cpu.h"
#include "kernel/kernel_draw_iris_cpu.h"
#include "kernel/kernel_hsl_selection_cpu.h"
#include "kernel/kernel_refraction_cpu.h"
#include "kernel/kernel_refraction_preperation_cpu.h"
#include "kernel/refraction_map.h"
#include "util/kernel/kernel_make_solid_cpu.h"
#include "util/pixel/pixel_format.h"

namespace nb {

namespace {

template <class Record>
void set_iris(Record& record, const Iris_Settings& s) {
    record.radius = s.radius;
    record.rounded = s.rounded;
    record.border_thickness = s.border_thickness;
    record.border_brightness = s.border_brightness;
    record.aspect = s.aspect;
    record.angle = s.angle;
    record.facets = s.facets;
    record.soften = s.soften;
}

// The two kernels that take an outside colour hold it differently.
void set_color(float (&target)[4], const std::array<float, 4>& color) { std::copy(color.begin(), color.end(), target); }
void set_color(Rgba_F& target, const std::array<float, 4>& color) {
    target = Rgba_F{color[0], color[1], color[2], color[3]};
}

template <class Record>
void set_outside(Record& record, const Outside_Settings& s) {
    record.outside_horizontal = s.horizontal;
    record.outside_vertical = s.vertical;
    set_color(record.outside_color, s.color);
}

// A record from the host typed as P. Reading a buffer as another pixel type would run past its rows, so a
// record with pixels must say it holds P.
template <class P>
Layer<P> typed(const Layer_Typeless& record, const std::string& role) {
    const Layer<P> layer = Layer<P>::from_typeless(record);
    ASSERT(layer.empty() || record.format == pixel_format_of<P>(),
           "the " << role << " layer does not hold the pixel type of the render");
    return layer;
}

// One render's inputs, typed once for the variant.
template <class P>
struct Frame {
    const Blurmond_Parameters& parameters;
    Render_Context render_context;
    Layer_Description description;
    Layer<P> source;
    Layer<P> output;
    Extra_Layers extra_layers;

    // The layer chosen in a layer control; empty when none is.
    Layer<P> extra_layer(const Layer_Parameter& control) const {
        const auto found = extra_layers.find(control.description().key);
        if (found == extra_layers.end()) return Layer<P>{};
        return typed<P>(found->second, control.description().key);
    }

    // Where highlights are judged: the chosen selection layer, or the image itself.
    Layer<P> selection() const {
        const Layer<P> chosen = extra_layer(*parameters.selection_layer);
        return chosen.empty() ? source : chosen;
    }
};

template <class P>
void render_selection(const Frame<P>& f, const Highlight_Selection_Settings& settings) {
    Kernel_Hsl_Selection<Layer<P>> preview;
    preview.in.in = f.source;
    preview.in.out = f.output;
    preview.in.selection = f.selection();
    preview.in.settings = settings;
    preview.run(f.render_context);
}

// The background shows through the transparent parts of the blurred output, bent along their edges.
template <class P>
void distort_background(const Frame<P>& f, const Layer<P>& background) {
    const Distortion_Settings settings = distortion_settings(f.parameters);
    Kernel_Refraction_Preperation<Layer<P>> preparation;
    preparation.in.in = f.output;
    preparation.run(f.render_context);

    Kernel_Refraction<Layer<P>> refraction;
    refraction.in.out = f.output;
    refraction.in.background = background;
    refraction.in.map = preparation.in.map;
    refraction.in.strength = settings.strength;
    refraction.in.antialias = settings.antialias;
    set_outside(refraction.in, settings.outside);
    refraction.run(f.render_context);
    // The map's memory goes with the preparation kernel, its last holder, when this returns.
}

// The defocused frame, with the background distorted through its transparent parts when one is chosen.
template <class P>
void render_normal_blur(const Frame<P>& f, const Highlight_Selection_Settings& selection) {
    const Blurmond_Parameters& p = f.parameters;
    const Blur_Settings settings = blur_settings(p, f.description, selection);
    Kernel_Blurmond<Layer<P>> blur;
    blur.in.in = f.source;
    blur.in.out = f.output;
    blur.in.iris = f.extra_layer(*p.alternative_iris);
    blur.in.selection = f.selection();
    set_iris(blur.in, settings.iris);
    blur.in.gamma_correction = settings.gamma_correction;
    blur.in.colored_iris = settings.colored_iris;
    blur.in.preservative_highlight = settings.preservative_highlight;
    blur.in.additive_highlight = settings.additive_highlight;
    set_outside(blur.in, settings.outside);
    blur.in.selection_curve = settings.selection_curve;

    // The whole working set is asked of the host before the first pixel, so settings that cannot fit
    // fail at once, saying why, instead of after minutes of drawing; the refraction map comes after the
    // blur has let go of its buffers.
    const Layer<P> background = f.extra_layer(*p.background_layer);
    const Blurmond_Working_Set set = blurmond_working_set(blur.in, f.render_context.thread_count(0));
    const double map_bytes =
        background.empty() ? 0.0
                           : host_block_bytes(static_cast<double>(f.output.width) * sizeof(Refraction_Vector),
                                              static_cast<double>(f.output.height));
    reserve_blur_memory(f.render_context, p, set, f.source.width, f.source.height, !blur.in.iris.empty(),
                        std::max(set.peak_bytes, map_bytes));
    blur.run(f.render_context);

    if (!background.empty()) distort_background(f, background);
}

// The iris alone, large enough to judge its shape; an image iris is shown opaque, gray unless coloured.
template <class P>
void render_iris(const Frame<P>& f) {
    const Blurmond_Parameters& p = f.parameters;
    const Layer<P>& out = f.output;
    const float radius = iris_preview_radius(out.width, out.height, out.horizontal_factor, out.vertical_factor);
    const Layer<P> alternative = f.extra_layer(*p.alternative_iris);

    Kernel_Draw_Iris<Layer<P>> draw;
    draw.in.out = out;
    draw.in.iris = alternative;
    set_iris(draw.in, iris_settings(p, radius, f.description));
    draw.run(f.render_context);

    if (alternative.empty()) return;
    if (!p.colored_iris->value()) {
        gray_in_place(f.render_context, out);
        return;
    }
    Kernel_Make_Solid<Layer<P>> solid;
    solid.in.image = out;
    solid.run(f.render_context);
}

}  // namespace

template <class P>
void blurmond_pipeline(Host_Context host_context, Plugin::Context context, Render_Context render_context,
                       const Blurmond_Parameters& parameters, Layer_Typeless source, Layer_Typeless output,
                       Extra_Layers extra_layers) {
    const Frame<P> f{parameters,
                     std::move(render_context),
                     context.frame_description(),
                     typed<P>(source, "source"),
                     typed<P>(output, "output"),
                     std::move(extra_layers)};
    const int32_t show = parameters.show->value();
    const Highlight_Selection_Settings selection =
        highlight_selection_settings(parameters, host_context.plugin_host(), show);
    switch (show) {
        case show_normal_blur: render_normal_blur(f, selection); return;
        case show_iris: render_iris(f); return;
        case show_highlight_selection:
        case show_highlight_selection_only: render_selection(f, selection); return;
        default: return;  // no display mode of this version: the output stays as it is
    }
}

template void blurmond_pipeline<Pixel_Argb_8>(Host_Context, Plugin::Context, Render_Context,
                                              const Blurmond_Parameters&, Layer_Typeless, Layer_Typeless,
                                              Extra_Layers);
template void blurmond_pipeline<Pixel_Argb_16>(Host_Context, Plugin::Context, Render_Context,
                                               const Blurmond_Parameters&, Layer_Typeless, Layer_Typeless,
                                               Extra_Layers);
template void blurmond_pipeline<Pixel_Argb_32f>(Host_Context, Plugin::Context, Render_Context,
                                                const Blurmond_Parameters&, Layer_Typeless, Layer_Typeless,
                                                Extra_Layers);
template void blurmond_pipeline<Pixel_Bgra_8>(Host_Context, Plugin::Context, Render_Context,
                                              const Blurmond_Parameters&, Layer_Typeless, Layer_Typeless,
                                              Extra_Layers);
template void blurmond_pipeline<Pixel_Bgra_16>(Host_Context, Plugin::Context, Render_Context,
                                               const Blurmond_Parameters&, Layer_Typeless, Layer_Typeless,
                                               Extra_Layers);
template void blurmond_pipeline<Pixel_Bgra_32f>(Host_Context, Plugin::Context, Render_Context,
                                                const Blurmond_Parameters&, Layer_Typeless, Layer_Typeless,
                                                Extra_Layers);

}  // namespace nb
