// Row tasks of the defocus copy passes: edge rules, alpha, linear light and boosts in; normalisation out.
#include "kernel/blurmond_copy_cpu.h"

#include <algorithm>
#include <cmath>

#include "kernel/bt709.h"
#include "kernel/highlight_selection_evaluator.h"
#include "util/kernel/extended_line.h"

namespace nb {

namespace {

// Where a source position reads under an edge rule: the index, or -1 for the outside colour. An
// empty source has nothing to extend.
int64_t source_index(Outside rule, int64_t position, int64_t length) {
    if (static_cast<uint64_t>(position) < static_cast<uint64_t>(length)) return position;
    if (length < 1) return -1;
    return Extended_Line(rule, length).index(position);
}

// Pixels go through the curve a chunk at a time, held as (R, G, B, alpha) vectors.
constexpr int64_t chunk = 64;

// A NaN or infinite channel would spread over the whole frame through the transform.
inline float finite_or_zero(float v) { return std::isfinite(v) ? v : 0.0f; }

template <class P>
Float4 finite_rgba(const P& p) {
    const Rgba_F c = load_rgba(p);
    if constexpr (std::is_same_v<typename P::component, float>)
        return Float4{finite_or_zero(c.r), finite_or_zero(c.g), finite_or_zero(c.b), finite_or_zero(c.a)};
    else
        return Float4{c.r, c.g, c.b, c.a};
}

template <class Buffer_P>
void store(Buffer_P& pixel, Float4 v, float weight) {
    pixel.r() = v[0];
    pixel.g() = v[1];
    pixel.b() = v[2];
    pixel.a() = v[3];
    if constexpr (Buffer_P::extra_channels == 1) pixel.extra() = weight;
}

// A buffer pixel divided by the transform gain and the iris sums; in the weighted modes the colour is
// divided by the convolved weight as well (alpha is not).
template <class Buffer_P>
Float4 normalised(const Buffer_P& pixel, const float (&normalisation)[Buffer_P::channels]) {
    Buffer_P n;
    for (int ch = 0; ch < Buffer_P::channels; ++ch) n.c[ch] = pixel.c[ch] * normalisation[ch];
    Float4 v{n.r(), n.g(), n.b(), n.a()};
    if constexpr (Buffer_P::extra_channels == 1) {
        const float weight = n.extra();
        if (weight > 0.0f) v *= Float4{1.0f / weight, 1.0f / weight, 1.0f / weight, 1.0f};
    }
    return v;
}

// The selection pixel for a buffer position, or null where the selection does not cover it: no
// boost there, whatever the edge rules do with the image.
template <class Layer_T>
const typename Layer_T::pixel* selection_row(const Layer_T& selection, int64_t frame_y) {
    const int64_t y = frame_y - selection.y;
    if (selection.empty() || y < 0 || y >= selection.height) return nullptr;
    return selection.row(y);
}

}  // namespace

template <class Layer_T, class Buffer_P>
void Blurmond_Copy<Layer_T, Buffer_P>::to_buffer_row(const Iteration& iteration, const Render_Context& context,
                                                     const Blurmond_Copy& copy) {
    const Kernel_Blurmond_In<Layer_T>& p = copy.settings;
    const Layer<Buffer_P>& buffer = copy.buffer;
    const int64_t r = copy.first_row + iteration.index;
    const int64_t source_y = source_index(p.outside_vertical, buffer.y + r - p.in.y, p.in.height);
    const auto* source = source_y >= 0 ? p.in.row(source_y) : nullptr;
    const bool boosting = p.preservative_highlight > 0.0f || p.additive_highlight > 0.0f;
    const auto* selection = boosting ? selection_row(p.selection, buffer.y + r) : nullptr;
    const auto evaluator = Highlight_Selection_Evaluator::prepare_for<typename Layer_T::pixel>(p.selection_curve);
    const Float4 outside{p.outside_color[0], p.outside_color[1], p.outside_color[2], p.outside_color[3]};
    Buffer_P* row = buffer.row(r);
    // A row of nothing but the outside colour, unboosted: one pixel converted, then repeated.
    const int64_t width = source || selection ? buffer.width : std::min<int64_t>(buffer.width, 1);
    Float4 colours[chunk];
    for (int64_t first = 0; first < width; first += chunk) {
        const int64_t count = std::min(chunk, width - first);
        for (int64_t i = 0; i < count; ++i) {
            const int64_t x = buffer.x + first + i - p.in.x;
            const int64_t source_x = source ? source_index(p.outside_horizontal, x, p.in.width) : -1;
            Float4 v = source_x >= 0 ? finite_rgba(source[source_x]) : outside;
            if (!p.in.premultiplied) v *= Float4{v[3], v[3], v[3], 1.0f};
            colours[i] = v;
        }
        if (p.gamma_correction) linear_from_bt709(colours, count);
        for (int64_t i = 0; i < count; ++i) {
            Float4 v = colours[i];
            float weight = 1.0f;
            const int64_t selection_x = buffer.x + first + i - p.selection.x;
            if (selection && selection_x >= 0 && selection_x < p.selection.width) {
                const float s = static_cast<float>(
                    evaluator.weight_of_layer_pixel(selection[selection_x], p.selection.premultiplied));
                const float gain = (p.preservative_highlight + p.additive_highlight) * s + 1.0f;
                v *= Float4{gain, gain, gain, 1.0f};
                weight = p.preservative_highlight * s + 1.0f;
            }
            store(row[first + i], v, weight);
        }
    }
    std::fill(row + width, row + buffer.width, row[0]);
    context.check_abort();
}

template <class Layer_T, class Buffer_P>
void Blurmond_Copy<Layer_T, Buffer_P>::margin_row(const Iteration& iteration, const Render_Context& context,
                                                  const Blurmond_Copy& copy) {
    const Kernel_Blurmond_In<Layer_T>& p = copy.settings;
    const Layer<Buffer_P>& buffer = copy.buffer;
    const int64_t above = p.in.y - buffer.y;  // margin rows above the source
    const int64_t r = iteration.index < above ? iteration.index : iteration.index + p.in.height;
    const int64_t source_y = source_index(p.outside_vertical, r - above, p.in.height);
    const Buffer_P* converted = buffer.row(source_y + above);
    std::copy(converted, converted + buffer.width, buffer.row(r));
    context.check_abort();
}

template <class Layer_T, class Buffer_P>
void Blurmond_Copy<Layer_T, Buffer_P>::to_buffer(const Render_Context& context, Blurmond_Copy copy) {
    const Kernel_Blurmond_In<Layer_T>& p = copy.settings;
    const bool boosting = p.preservative_highlight > 0.0f || p.additive_highlight > 0.0f;
    const bool continued = p.outside_vertical == Outside::border || p.outside_vertical == Outside::mirrored ||
                           p.outside_vertical == Outside::repeated;
    const int64_t above = p.in.y - copy.buffer.y;
    const bool inside = above >= 0 && above + p.in.height <= copy.buffer.height;
    if (boosting || !continued || p.in.empty() || !inside) {
        launch(copy.buffer.height, to_buffer_row, context, copy);
        return;
    }
    copy.first_row = above;
    launch(p.in.height, to_buffer_row, context, copy);
    launch(copy.buffer.height - p.in.height, margin_row, context, copy);
}

template <class Layer_T, class Buffer_P>
void Blurmond_Copy<Layer_T, Buffer_P>::back_row(const Iteration& iteration, const Render_Context& context,
                                                const Blurmond_Copy& copy) {
    const Kernel_Blurmond_In<Layer_T>& p = copy.settings;
    const Layer<Buffer_P>& buffer = copy.buffer;
    const int64_t r = iteration.index;
    const int64_t buffer_y = p.out.y + r - buffer.y;
    const int64_t signal_width = buffer.width - 2;  // the last two columns are transform padding
    const bool row_inside = buffer_y >= 0 && buffer_y < buffer.height;
    auto* row = p.out.row(r);
    Float4 colours[chunk];
    for (int64_t first = 0; first < p.out.width; first += chunk) {
        const int64_t count = std::min(chunk, p.out.width - first);
        for (int64_t i = 0; i < count; ++i) {
            const int64_t buffer_x = p.out.x - buffer.x + first + i;
            const bool inside = row_inside && buffer_x >= 0 && buffer_x < signal_width;
            colours[i] = inside ? normalised(buffer.at(buffer_x, buffer_y), copy.normalisation) : Float4{};
        }
        if (p.gamma_correction) bt709_from_linear(colours, count);
        for (int64_t i = 0; i < count; ++i) {
            Float4 v = colours[i];
            if (!p.out.premultiplied && v[3] > 1e-5f) v /= Float4{v[3], v[3], v[3], 1.0f};
            store_rgba(row[first + i], Rgba_F{v[0], v[1], v[2], v[3]});
        }
    }
    context.check_abort();
}

template struct Blurmond_Copy<Layer<Pixel_Argb_8>, Pixel_Argb_32f>;
template struct Blurmond_Copy<Layer<Pixel_Argb_8>, Pixel_Argb_32f_Extra>;
template struct Blurmond_Copy<Layer<Pixel_Argb_16>, Pixel_Argb_32f>;
template struct Blurmond_Copy<Layer<Pixel_Argb_16>, Pixel_Argb_32f_Extra>;
template struct Blurmond_Copy<Layer<Pixel_Argb_32f>, Pixel_Argb_32f>;
template struct Blurmond_Copy<Layer<Pixel_Argb_32f>, Pixel_Argb_32f_Extra>;
template struct Blurmond_Copy<Layer<Pixel_Bgra_8>, Pixel_Bgra_32f>;
template struct Blurmond_Copy<Layer<Pixel_Bgra_8>, Pixel_Bgra_32f_Extra>;
template struct Blurmond_Copy<Layer<Pixel_Bgra_16>, Pixel_Bgra_32f>;
template struct Blurmond_Copy<Layer<Pixel_Bgra_16>, Pixel_Bgra_32f_Extra>;
template struct Blurmond_Copy<Layer<Pixel_Bgra_32f>, Pixel_Bgra_32f>;
template struct Blurmond_Copy<Layer<Pixel_Bgra_32f>, Pixel_Bgra_32f_Extra>;

}  // namespace nb
