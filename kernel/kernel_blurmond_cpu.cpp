// The defocus run: iris drawn, shifted and transformed; image converted in, convolved and converted back.
#include "kernel/kernel_blurmond_cpu.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <type_traits>

#include "base/exception.h"
#include "kernel/blurmond_copy_cpu.h"
#include "kernel/blurmond_highlights.h"
#include "kernel/blurmond_working_set.h"
#include "kernel/kernel_draw_iris_cpu.h"
#include "kernel/kernel_fft_cpu.h"
#include "kernel/kernel_shift_iris_cpu.h"
#include "util/kernel/kernel_copy_cpu.h"
#include "util/layer_buffer.h"

namespace nb {

namespace {

// Float working pixels in the frame's channel order.
template <class P>
using Float_Rgb = Pixel_Rgb_Aos<typename P::layout, float, 1, 0, 1>;
template <class P>
using Float_Rgb_Weight = Pixel_Rgb_Aos<typename P::layout, float, 1, 1, 1>;

// The iris of the settings, centred in a width x height layer.
template <class Drawn_P, class Layer_T>
Layer_Buffer draw_iris(const Render_Context& context, const Kernel_Blurmond_In<Layer_T>& in, int64_t width,
                       int64_t height) {
    Layer_Buffer drawn = allocate_layer_buffer<Drawn_P>(context, width, height, true, 0, 0, in.in.pixel_aspect,
                                                        in.in.horizontal_factor, in.in.vertical_factor);
    Kernel_Draw_Iris<Layer<Drawn_P>, Layer_T> draw;
    draw.in.out = drawn.layer<Drawn_P>();
    draw.in.iris = in.iris;
    draw.in.radius = in.radius;
    draw.in.rounded = in.rounded;
    draw.in.border_thickness = in.border_thickness;
    draw.in.border_brightness = in.border_brightness;
    draw.in.aspect = in.aspect;
    draw.in.angle = in.angle;
    draw.in.facets = in.facets;
    draw.in.soften = in.soften;
    draw.run(context);
    return drawn;
}

// The iris drawn at width x height and moved by (shift_x, shift_y) into a layer two columns wider, in
// linear light when asked, with its per-channel sums; the drawn iris is released on return.
template <class Drawn_P, class Iris_P, class Layer_T>
Layer_Buffer shifted_iris(const Render_Context& context, const Kernel_Blurmond_In<Layer_T>& in, int64_t width,
                          int64_t height, int64_t shift_x, int64_t shift_y, float (&sums)[Iris_P::channels]) {
    Layer_Buffer drawn = draw_iris<Drawn_P>(context, in, width, height);
    Layer_Buffer iris = allocate_layer_buffer<Iris_P>(context, width + 2, height, true, 0, 0, in.in.pixel_aspect,
                                                      in.in.horizontal_factor, in.in.vertical_factor);
    Kernel_Shift_Iris<Layer<Drawn_P>, Layer<Iris_P>> shift;
    shift.in.in = drawn.layer<Drawn_P>();
    shift.in.out = iris.layer<Iris_P>();
    shift.in.shift_x = shift_x;
    shift.in.shift_y = shift_y;
    shift.in.gamma = in.gamma_correction;
    shift.run(context);
    std::copy(std::begin(shift.out.sums), std::end(shift.out.sums), sums);
    return iris;
}

// The transformed iris and its per-channel sums; the drawn iris is released before the transform.
template <class Drawn_P, class Iris_P, class Layer_T>
Layer_Buffer transformed_iris(const Render_Context& context, const Kernel_Blurmond_In<Layer_T>& in,
                              const Blurmond_Geometry& g, float (&sums)[Iris_P::channels]) {
    Layer_Buffer iris = shifted_iris<Drawn_P, Iris_P>(context, in, g.width, g.height, g.width / 2, g.height / 2, sums);
    Kernel_FFT_Forward<Layer<Iris_P>> fft;
    fft.in.image.io.layer = iris.layer<Iris_P>();
    fft.run(context);
    return iris;
}

// The frame's alpha follows the gray iris, or a coloured iris's alpha channel; a channel summing to 0
// or beyond float leaves nothing to normalise by.
template <class Iris_P>
bool carries_light(const float (&sums)[Iris_P::channels]) {
    float alpha = sums[0];
    if constexpr (!Iris_P::is_gray) alpha = sums[Iris_P::layout::a];
    return alpha != 0.0f && std::isfinite(alpha);
}

// The iris as the transform holds it (in linear light when asked, with its weight channel), over the
// margins around its centre only, for the highlights' splats. Its drawing does not depend on the
// layer's size, only on the centre, which an even size keeps at the same place.
template <class Drawn_P, class Iris_P, class Layer_T>
void splat_iris(const Render_Context& context, const Kernel_Blurmond_In<Layer_T>& in, const Blurmond_Geometry& g,
                int channels, Blurmond_Highlights& highlights) {
    float sums[Iris_P::channels] = {};
    const Layer_Buffer iris =
        shifted_iris<Drawn_P, Iris_P>(context, in, 2 * (g.margin_x + 1), 2 * (g.margin_y + 1), 0, 0, sums);
    const Layer<Iris_P> shifted = iris.layer<Iris_P>();
    const int64_t row_floats = shifted.row_bytes / static_cast<int64_t>(sizeof(float));
    highlights.finish(context, iris.memory, shifted.at(1, 1).c, row_floats, Iris_P::channels, g.margin_x, g.margin_y,
                      in.out.width, channels);
}

// What an iris image holds, non-finite values aside (the iris takes them as 0). The blades and 8- and
// 16-bit images hold no negative value and none above 1.
struct Iris_Range {
    bool negative = false;
    float largest = 1.0f;
};

template <class Layer_T>
Iris_Range iris_range(const Layer_T& iris) {
    Iris_Range range;
    if constexpr (std::is_same_v<typename Layer_T::pixel::component, float>) {
        for (int64_t y = 0; y < iris.height; ++y)
            for (int64_t x = 0; x < iris.width; ++x)
                for (const float c : iris.at(x, y).c) {
                    if (!std::isfinite(c)) continue;
                    range.negative = range.negative || c < 0.0f;
                    range.largest = std::max(range.largest, std::fabs(c));
                }
    }
    return range;
}

// An iris image far beyond white overflows the transforms (the largest float turns the frame into NaN).
// The iris is normalised, so a copy scaled below 2^16 by a power of two gives the same frame: exactly in
// linear light, and through the curve within 1e-5 (its offset, 0.099, against values of 2^15 and more
// where the light is).
template <class Layer_T>
Layer_Buffer tamed_iris(const Render_Context& context, const Layer_T& iris, float largest) {
    using P = typename Layer_T::pixel;
    int exponent = 0;
    std::frexp(largest, &exponent);
    const float scale = std::ldexp(1.0f, 16 - exponent);
    Layer_Buffer tamed = allocate_layer_buffer<P>(context, iris.width, iris.height, iris.premultiplied, iris.x,
                                                  iris.y, iris.pixel_aspect, iris.horizontal_factor,
                                                  iris.vertical_factor);
    const Layer<P> copy = tamed.layer<P>();
    for (int64_t y = 0; y < iris.height; ++y)
        for (int64_t x = 0; x < iris.width; ++x)
            for (int c = 0; c < P::channels; ++c) copy.at(x, y).c[c] = iris.at(x, y).c[c] * scale;
    return tamed;
}

// Splatting costs the iris's area per highlight: as much as four passes over the buffer.
int64_t most_splats(const Blurmond_Geometry& g) {
    const int64_t area = (2 * g.margin_x + 1) * (2 * g.margin_y + 1);
    return std::max<int64_t>(1, 4 * g.width * g.height / area);
}

}  // namespace

template <class Layer_T>
void Kernel_Blurmond<Layer_T>::execute(Render_Context context) {
    using P = typename Layer_T::pixel;
    if (in.radius == 0.0f) {
        copy(context);
        return;
    }
    const Iris_Range range = iris_range(in.iris);
    iris_non_negative_ = !range.negative;
    Layer_Buffer tamed;
    if (range.largest > 65536.0f) {
        tamed = tamed_iris(context, in.iris, range.largest);
        in.iris = tamed.layer<P>();  // the kernel runs once
    }
    const bool colour = in.colored_iris && !in.iris.empty();
    const bool weighted = in.preservative_highlight > 0.0f;
    if (colour && weighted) convolve<Float_Rgb<P>, Float_Rgb_Weight<P>, Float_Rgb_Weight<P>>(context);
    else if (colour) convolve<Float_Rgb<P>, Float_Rgb<P>, Float_Rgb<P>>(context);
    else if (weighted) convolve<Pixel_Gray_32f, Pixel_Gray_32f, Float_Rgb_Weight<P>>(context);
    else convolve<Pixel_Gray_32f, Pixel_Gray_32f, Float_Rgb<P>>(context);
}

template <class Layer_T>
template <class Drawn_P, class Iris_P, class Buffer_P>
void Kernel_Blurmond<Layer_T>::convolve(const Render_Context& context) {
    // One softening for the margins, the drawing and the memory the host was asked for.
    const Iris_Extent_Settings settings = blurmond_extent_settings(in);
    Kernel_Blurmond_In<Layer_T> drawn = in;
    drawn.soften = settings.soften;
    const Blurmond_Geometry g = blurmond_geometry(in.in.width, in.in.height, settings);
    float sums[Iris_P::channels] = {};
    Layer_Buffer iris = transformed_iris<Drawn_P, Iris_P>(context, drawn, g, sums);
    // Every pixel would come out 0, a transparent frame that looks like a result.
    if (!carries_light<Iris_P>(sums))
        throw Exception_Unrenderable("the iris holds no light (an alternative iris without light, or a border "
                                     "brightness of -1 across the whole radius): there is nothing to blur with");

    Layer_Buffer image = allocate_layer_buffer<Buffer_P>(context, g.width + 2, g.height, false, in.in.x - g.margin_x,
                                                         in.in.y - g.margin_y, 1.0f, 1.0f, 1.0f);
    Blurmond_Highlights highlights;
    Blurmond_Copy<Layer_T, Buffer_P> rows{in, image.layer<Buffer_P>()};
    rows.highlights = &highlights;
    rows.most_splats = most_splats(g);
    Kernel_FFT_Forward<Layer<Buffer_P>> forward;
    forward.in.image.io.layer = rows.buffer;
    forward.in.source = rows.source();
    const Fft_Row_Sink sink = rows.sink();
    forward.in.product = fft_product(iris.layer<Iris_P>(), sink.first, sink.end);
    forward.run(context);
    iris.memory.reset();
    if (highlights.collected()) splat_iris<Drawn_P, Iris_P>(context, drawn, g, Buffer_P::channels, highlights);
    for (int k = 0; k < 4; ++k) {
        const bool non_negative = iris_non_negative_ && !(highlights.negative() >> k & 1u);
        rows.floor[k] = non_negative ? 0.0f : -std::numeric_limits<float>::infinity();
    }

    // The transform pair multiplies by pw * ph / 2; the iris sums make it a weighted mean. An iris
    // channel that sums to 0 contributes nothing instead of an infinity.
    const double gain = static_cast<double>(g.width) * static_cast<double>(g.height) * 0.5;
    for (int ch = 0; ch < Buffer_P::channels; ++ch) {
        const double sum = sums[Iris_P::channels == 1 ? 0 : ch];
        rows.normalisation[ch] = sum != 0.0 ? static_cast<float>(1.0 / (gain * sum)) : 0.0f;
    }
    Kernel_FFT_Reverse<Layer<Buffer_P>> reverse;
    reverse.in.image.io.layer = rows.buffer;
    reverse.in.sink = sink;
    reverse.in.columns_done = true;
    reverse.run(context);
    launch(rows.outside_rows(), Blurmond_Copy<Layer_T, Buffer_P>::outside_row, context, rows);
}

template <class Layer_T>
void Kernel_Blurmond<Layer_T>::copy(const Render_Context& context) {
    Kernel_Copy<Layer_T, Layer_T> plain;
    plain.in.in = in.in;
    plain.in.out = in.out;
    plain.run(context);
}

template class Kernel_Blurmond<Layer<Pixel_Argb_8>>;
template class Kernel_Blurmond<Layer<Pixel_Argb_16>>;
template class Kernel_Blurmond<Layer<Pixel_Argb_32f>>;
template class Kernel_Blurmond<Layer<Pixel_Bgra_8>>;
template class Kernel_Blurmond<Layer<Pixel_Bgra_16>>;
template class Kernel_Blurmond<Layer<Pixel_Bgra_32f>>;

}  // namespace nb
