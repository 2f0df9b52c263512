// Draws the iris: row tasks that run the per-row value changes into pixels, or the alternative image.
#include "kernel/kernel_draw_iris_cpu.h"

#include <algorithm>
#include <cmath>

#include "kernel/iris_scale.h"
#include "kernel/lens_information.h"
#include "util/kernel/kernel_triangle_blur_cpu.h"
#include "util/kernel/kernel_zoom_cpu.h"

namespace nb {

namespace {

// 8- and 16-bit layers receive trunc(value × white). store_component rounds half up, so half a code
// value is taken off first; for scaled values of at least 0.5 both steps are exact in float, below it
// both forms give 0. It also keeps NaN and infinities out of the integer conversion.
template <class T>
T truncated(double value, float white) {
    return store_component<T>(static_cast<float>(value) * white - 0.5f);
}

template <class P>
void store_value(P& pixel, double value) {
    using T = typename P::component;
    if constexpr (P::is_gray) {
        pixel.v() = static_cast<T>(value);
    } else if constexpr (std::is_same_v<T, float>) {
        const float v = static_cast<float>(value);
        pixel.r() = v;
        pixel.g() = v;
        pixel.b() = v;
        pixel.a() = 1.0f;
    } else {
        const T v = truncated<T>(value, P::white);
        pixel.r() = v;
        pixel.g() = v;
        pixel.b() = v;
        pixel.a() = static_cast<T>(P::white);
    }
}

// The lens records a value only from 0.001 on and a change only from 0.0001 on, in float; the running
// sum of the changes comes back to 0 up to their rounding and the changes skipped, of either sign. Left
// there, a highlight a billion times the background would show that residue as light (or a hole) around
// its disc.
inline double designed_value(double sum) { return std::fabs(sum) < 0.0005 ? 0.0 : sum; }

// Row Y shows iris row Y - H/2 with iris column 0 at W/2. Events left of the layer only move the
// running sum; positions are clamped so an iris wider than the layer never writes outside the row.
template <class Out_Layer>
void draw_row(const Out_Layer& out, const LensInformation& lens, int64_t row) {
    auto* pixels = out.row(row);
    for (int64_t x = 0; x < out.width; ++x) store_value(pixels[x], 0.0);
    const int64_t y = row - out.height / 2;
    if (!lens.has_row(y)) return;
    const int64_t index = lens.m + y;
    const Lens_Event* events = lens.events + lens.row_start[index];
    double sum = 0.0;
    int64_t position = 0;
    int64_t last = -1;
    for (int32_t k = 0; k < lens.row_count[index]; ++k) {
        last = events[k].x + out.width / 2;
        const int64_t end = std::clamp<int64_t>(last, 0, out.width);
        for (; position < end; ++position) store_value(pixels[position], designed_value(sum));
        sum += events[k].value_change;
    }
    // The value after the last change reaches only the change's own pixel: a lone change marks one pixel.
    if (last >= 0 && last < out.width) store_value(pixels[last], designed_value(sum));
}

bool finite_record(float radius, float soften) { return std::isfinite(radius) && std::isfinite(soften); }

}  // namespace

template <class Out_Layer, class Iris_Layer>
void Kernel_Draw_Iris<Out_Layer, Iris_Layer>::execute(Render_Context context) {
    if (in.out.empty()) return;
    if (!finite_record(in.radius, in.soften) || !(in.radius >= 0.0f)) {
        draw_blades(context, LensInformation{});
        return;
    }
    if (!in.iris.empty()) {
        draw_alternative(context);
    } else {
        const Lens_Settings settings{in.radius,        in.rounded, in.border_thickness, in.border_brightness,
                                     in.aspect,        in.angle,   in.facets,           in.out.pixel_aspect,
                                     in.out.horizontal_factor,     in.out.vertical_factor};
        draw_blades(context, LensInformation::build(settings, context));
    }
    if (in.soften > 0.0f) soften(context);
}

template <class Out_Layer, class Iris_Layer>
void Kernel_Draw_Iris<Out_Layer, Iris_Layer>::draw_blades(const Render_Context& context,
                                                          const LensInformation& lens) {
    launch(
        in.out.height,
        [lens](const Iteration& iteration, Render_Context row_context, const Parameters_In& record) {
            draw_row(record.out, lens, iteration.index);
            row_context.check_abort();
        },
        context, in);
}

// The image is centred, scaled as the margins assume; pixels beyond it read as zero.
template <class Out_Layer, class Iris_Layer>
void Kernel_Draw_Iris<Out_Layer, Iris_Layer>::draw_alternative(const Render_Context& context) {
    const Iris_Image_Zoom scale = iris_image_zoom(in.iris.width, in.iris.height, in.iris.horizontal_factor,
                                                  in.iris.vertical_factor, in.iris.pixel_aspect, in.radius,
                                                  in.out.pixel_aspect);
    if (!scale.drawable()) {
        draw_blades(context, LensInformation{});
        return;
    }
    Kernel_Zoom<Iris_Layer, Out_Layer> zoom;
    zoom.in.in = in.iris;
    zoom.in.out = in.out;
    zoom.in.zoom_x = static_cast<float>(scale.x);
    zoom.in.zoom_y = static_cast<float>(scale.y);
    zoom.in.outside_horizontal = Outside::color;
    zoom.in.outside_vertical = Outside::color;
    zoom.run(context);
}

// In place: the blur's first pass writes only its own intermediate image.
template <class Out_Layer, class Iris_Layer>
void Kernel_Draw_Iris<Out_Layer, Iris_Layer>::soften(const Render_Context& context) {
    Kernel_Triangle_Blur<Out_Layer> blur;
    blur.in.in = in.out;
    blur.in.out = in.out;
    blur.in.radius_x = in.soften;
    blur.in.radius_y = in.soften;
    blur.run(context);
}

template class Kernel_Draw_Iris<Layer<Pixel_Gray_32f>, Layer<Pixel_Argb_8>>;
template class Kernel_Draw_Iris<Layer<Pixel_Gray_32f>, Layer<Pixel_Argb_16>>;
template class Kernel_Draw_Iris<Layer<Pixel_Gray_32f>, Layer<Pixel_Argb_32f>>;
template class Kernel_Draw_Iris<Layer<Pixel_Gray_32f>, Layer<Pixel_Bgra_8>>;
template class Kernel_Draw_Iris<Layer<Pixel_Gray_32f>, Layer<Pixel_Bgra_16>>;
template class Kernel_Draw_Iris<Layer<Pixel_Gray_32f>, Layer<Pixel_Bgra_32f>>;
template class Kernel_Draw_Iris<Layer<Pixel_Argb_32f>, Layer<Pixel_Argb_8>>;
template class Kernel_Draw_Iris<Layer<Pixel_Argb_32f>, Layer<Pixel_Argb_16>>;
template class Kernel_Draw_Iris<Layer<Pixel_Argb_32f>, Layer<Pixel_Argb_32f>>;
template class Kernel_Draw_Iris<Layer<Pixel_Bgra_32f>, Layer<Pixel_Bgra_8>>;
template class Kernel_Draw_Iris<Layer<Pixel_Bgra_32f>, Layer<Pixel_Bgra_16>>;
template class Kernel_Draw_Iris<Layer<Pixel_Bgra_32f>, Layer<Pixel_Bgra_32f>>;
template class Kernel_Draw_Iris<Layer<Pixel_Argb_8>, Layer<Pixel_Argb_8>>;
template class Kernel_Draw_Iris<Layer<Pixel_Bgra_8>, Layer<Pixel_Bgra_8>>;
template class Kernel_Draw_Iris<Layer<Pixel_Argb_16>, Layer<Pixel_Argb_16>>;
template class Kernel_Draw_Iris<Layer<Pixel_Bgra_16>, Layer<Pixel_Bgra_16>>;

}  // namespace nb
