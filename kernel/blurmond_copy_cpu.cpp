// Row tasks of the defocus conversions: edge rules, alpha, linear light and boosts in; normalisation out.
#include "kernel/blurmond_copy_cpu.h"

#include <algorithm>
#include <cmath>
#include <limits>

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

// What one buffer row reads: the source row continued by the edge rules, the outside colour, the
// selection row.
template <class Layer_T>
struct Row_Source {
    using P = typename Layer_T::pixel;
    const Kernel_Blurmond_In<Layer_T>& p;
    const P* source;     // null: the whole row is the outside colour
    const P* selection;  // null: nothing in the row is boosted
    Highlight_Selection_Evaluator evaluator;
    Float4 outside;
    int64_t buffer_x;  // frame column of buffer column 0

    // The source pixel buffer column c reads, or null for the outside colour.
    const P* pixel(int64_t c) const {
        const int64_t source_x = source ? source_index(p.outside_horizontal, buffer_x + c - p.in.x, p.in.width) : -1;
        return source_x >= 0 ? source + source_x : nullptr;
    }
    // Buffer column c as the source holds it (straight or premultiplied), NaN and infinities as 0 (in
    // the outside colour too).
    Float4 colour(int64_t c) const {
        const P* s = pixel(c);
        return s ? finite_rgba(*s) : outside;
    }
    const P* selected(int64_t c) const {
        const int64_t x = buffer_x + c - p.selection.x;
        return selection && x >= 0 && x < p.selection.width ? selection + x : nullptr;
    }
};

// A buffer pixel's channels in double, in the same storage order.
template <class Buffer_P>
using Wide = Pixel_Rgb_Aos<typename Buffer_P::layout, double, 1, Buffer_P::extra_channels, 1>;

// Buffer column c worked out in double, where float would lose it or overflow.
template <class Buffer_P, class Layer_T>
Wide<Buffer_P> wide_value(const Row_Source<Layer_T>& row, int64_t c) {
    const Kernel_Blurmond_In<Layer_T>& p = row.p;
    const Float4 f = row.colour(c);
    double v[4] = {f[0], f[1], f[2], f[3]};
    double weight = 1.0;
    for (int k = 0; k < 3; ++k) {
        if (!p.in.premultiplied) v[k] *= v[3];
        if (p.gamma_correction) v[k] = linear_from_bt709(v[k]);
    }
    if (const auto* selected = row.selected(c)) {
        const double s = row.evaluator.weight_of_layer_pixel(*selected, p.selection.premultiplied);
        const double gain = static_cast<double>(p.preservative_highlight + p.additive_highlight) * s + 1.0;
        for (int k = 0; k < 3; ++k) v[k] *= gain;
        weight = static_cast<double>(p.preservative_highlight) * s + 1.0;
    }
    Wide<Buffer_P> w;
    w.r() = v[0], w.g() = v[1], w.b() = v[2], w.a() = v[3];
    if constexpr (Buffer_P::extra_channels == 1) w.extra() = weight;
    return w;
}

// Buffer columns first .. first + count - 1, premultiplied, in linear light when the curve is on.
template <class Layer_T>
void linear_colours(const Row_Source<Layer_T>& source, int64_t first, int64_t count, Float4* colours) {
    using P = typename Layer_T::pixel;
    const Kernel_Blurmond_In<Layer_T>& p = source.p;
    const auto premultiplied = [&](int64_t c) {
        const Float4 v = source.colour(c);
        return p.in.premultiplied ? v : v * Float4{v[3], v[3], v[3], 1.0f};
    };
    if constexpr (!std::is_same_v<typename P::component, float>) {
        if (p.gamma_correction) {
            // Integer levels that premultiplying leaves alone take the curve from the table; the rest
            // (a straight colour over partial alpha, the outside colour) are gathered for the powers.
            const float* levels = linear_levels<typename P::component>();
            Float4 rest[chunk];
            int64_t rest_column[chunk];
            int64_t n = 0;
            for (int64_t i = 0; i < count; ++i) {
                const P* s = source.pixel(first + i);
                const float alpha = s ? to_unit(s->a()) : 0.0f;
                if (s && (p.in.premultiplied || alpha == 1.0f)) {
                    colours[i] = Float4{levels[s->r()], levels[s->g()], levels[s->b()], alpha};
                } else {
                    rest[n] = premultiplied(first + i);
                    rest_column[n++] = i;
                }
            }
            linear_from_bt709(rest, n);
            for (int64_t k = 0; k < n; ++k) colours[rest_column[k]] = rest[k];
            return;
        }
    }
    for (int64_t i = 0; i < count; ++i) colours[i] = premultiplied(first + i);
    if (p.gamma_correction) linear_from_bt709(colours, count);
}

// Whether the copy back gathers a splat at buffer position b along one axis: within the margin (the
// iris's reach) of the output, which lies at first .. first + length - 1 there. Beyond, up to the
// transform's length, the edge rules may repeat a light many times over; those copies are clamped all
// the same, but counted they would push the threshold up and leave the light in the float transform.
bool gathered(int64_t b, int64_t first, int64_t length, int64_t margin) {
    return b >= first - margin && b < first + length + margin;
}

template <class Layer_T, class Buffer_P>
bool gathered_row(const Blurmond_Copy<Layer_T, Buffer_P>& copy, int64_t r) {
    const Kernel_Blurmond_In<Layer_T>& p = copy.settings;
    return gathered(r, p.out.y - copy.buffer.y, p.out.height, p.in.y - copy.buffer.y);
}

// The transform never reads the two padding columns.
template <class Layer_T, class Buffer_P>
bool gathered_column(const Blurmond_Copy<Layer_T, Buffer_P>& copy, int64_t c) {
    const Kernel_Blurmond_In<Layer_T>& p = copy.settings;
    return c < copy.buffer.width - 2 && gathered(c, p.out.x - copy.buffer.x, p.out.width, p.in.x - copy.buffer.x);
}

// Without a boost, a margin row that the vertical rule continues from the image holds the values of
// the image row it repeats, and so its transform: that is taken instead of converting and transforming
// the row again. Boosts depend on the selection's row; the outside colour leaves nothing to repeat.
template <class Layer_T, class Buffer_P>
bool margins_repeat(const Blurmond_Copy<Layer_T, Buffer_P>& copy) {
    const Kernel_Blurmond_In<Layer_T>& p = copy.settings;
    const bool boosting = p.preservative_highlight > 0.0f || p.additive_highlight > 0.0f;
    const bool continued = p.outside_vertical == Outside::border || p.outside_vertical == Outside::mirrored ||
                           p.outside_vertical == Outside::repeated;
    const int64_t above = p.in.y - copy.buffer.y;
    return !boosting && continued && !p.in.empty() && above >= 0 && above + p.in.height <= copy.buffer.height;
}

// The buffer row of the image row that buffer row y continues.
template <class Layer_T, class Buffer_P>
int64_t repeated_row(const Blurmond_Copy<Layer_T, Buffer_P>& copy, int64_t y) {
    const Kernel_Blurmond_In<Layer_T>& p = copy.settings;
    return source_index(p.outside_vertical, copy.buffer.y + y - p.in.y, p.in.height) + p.in.y - copy.buffer.y;
}

// Gathered buffer rows holding buffer row r's values: itself, and the margin rows that repeat it.
template <class Layer_T, class Buffer_P>
int64_t copies_of_row(const Blurmond_Copy<Layer_T, Buffer_P>& copy, int64_t r) {
    const Kernel_Blurmond_In<Layer_T>& p = copy.settings;
    int64_t n = gathered_row(copy, r);
    if (!margins_repeat(copy)) return n;
    const auto repeating = [&](int64_t from, int64_t to) {
        for (int64_t m = from; m < to; ++m) n += gathered_row(copy, m) && repeated_row(copy, m) == r;
    };
    repeating(0, p.in.y - copy.buffer.y);
    repeating(p.in.y + p.in.height - copy.buffer.y, copy.buffer.height);
    return n;
}

// The largest |channel| of a stored buffer pixel; infinity where float overflowed.
template <class Buffer_P>
double stored_largest(const Buffer_P& pixel) {
    float largest = 0.0f;
    for (const float v : pixel.c) largest = std::max(largest, std::fabs(v));
    return largest;
}

// A chunk the float conversion found beyond the threshold (or, in the second one, to be scaled). The
// float values decide what leaves the transform, alike in both conversions, so the census holds room
// for every splat; double carries what float cannot. The census counts the pixels beyond the threshold
// that the copy back gathers; the second conversion stores every pixel beyond it clamped (every pixel
// scaled, when scaling) and collects the excess of those it counted.
template <class Layer_T, class Buffer_P>
void wide_chunk(const Blurmond_Copy<Layer_T, Buffer_P>& copy, const Row_Source<Layer_T>& source, int64_t r,
                int64_t first, int64_t count) {
    Blurmond_Highlights& h = *copy.highlights;
    Buffer_P* row = copy.buffer.row(r);
    int64_t copies = -1, pending = 0;  // pixels counted but not yet added to the shared census
    int pending_exponent = 0;
    for (int64_t i = first; i < first + count; ++i) {
        double largest = stored_largest(row[i]);
        const bool overflowed = !std::isfinite(largest);
        Wide<Buffer_P> w{};
        if (overflowed) {
            w = wide_value<Buffer_P>(source, i);
            largest = 0.0;
            for (const double v : w.c) largest = std::max(largest, std::fabs(v));
        }
        if (!h.collecting) {
            if (!(largest > h.threshold) || !gathered_column(copy, i)) continue;
            const int exponent = Blurmond_Highlights::exponent(largest);
            if (pending > 0 && exponent != pending_exponent) h.count(pending_exponent, pending), pending = 0;
            pending_exponent = exponent;
            pending += copies < 0 ? (copies = copies_of_row(copy, r)) : copies;
            continue;
        }
        if (largest <= h.threshold && h.scale == 1.0) continue;
        if (!overflowed) w = wide_value<Buffer_P>(source, i);
        Highlight_Splat splat{i, r, {}};
        for (int ch = 0; ch < Buffer_P::channels; ++ch) {
            const double kept = std::clamp(w.c[ch], -h.threshold, h.threshold);
            splat.excess[ch] = w.c[ch] - kept;
            row[i].c[ch] = static_cast<float>(kept * h.scale);
        }
        if (largest > h.threshold && gathered_column(copy, i) && gathered_row(copy, r)) h.add(splat);
    }
    if (pending > 0) h.count(pending_exponent, pending);
}

// Bit k: lane k (r, g, b, a) below 0.
uint32_t negative_lanes(Float4 lowest) {
    uint32_t bits = 0;
    for (int k = 0; k < 4; ++k) bits |= (lowest[k] < 0.0f ? 1u : 0u) << k;
    return bits;
}

constexpr float largest_float = std::numeric_limits<float>::max();

inline float float_range(double v) { return static_cast<float>(std::clamp<double>(v, -largest_float, largest_float)); }

template <class Buffer_P>
const Buffer_P& transformed_pixel(const Fft_Scratch_Row& row, int64_t x) {
    return *reinterpret_cast<const Buffer_P*>(row.pixel(x));
}

// Output pixels first .. first + count - 1 of row r, from the transformed row it lies on (null: none):
// normalised, held at floor, weight divided out, back to the curve and the output's alpha convention,
// converted.
template <class Layer_T, class Buffer_P>
void narrow_back_chunk(const Blurmond_Copy<Layer_T, Buffer_P>& copy, int64_t r, const Fft_Scratch_Row* row_in,
                       int64_t first, int64_t count) {
    const Kernel_Blurmond_In<Layer_T>& p = copy.settings;
    const Layer<Buffer_P>& buffer = copy.buffer;
    Float4 colours[chunk];
    for (int64_t i = 0; i < count; ++i) {
        const int64_t buffer_x = p.out.x - buffer.x + first + i;
        const bool inside = row_in && buffer_x >= 0 && buffer_x < buffer.width - 2;
        const Float4 v =
            inside ? normalised(transformed_pixel<Buffer_P>(*row_in, buffer_x), copy.normalisation) : Float4{};
        colours[i] = v < copy.floor ? copy.floor : v;
    }
    if (p.gamma_correction) bt709_from_linear(colours, count);
    auto* row = p.out.row(r);
    for (int64_t i = 0; i < count; ++i) {
        Float4 v = colours[i];
        if (!p.out.premultiplied && v[3] > 1e-5f) v /= Float4{v[3], v[3], v[3], 1.0f};
        store_rgba(row[first + i], Rgba_F{v[0], v[1], v[2], v[3]});
    }
}

// The same where splats reach or the transform was scaled: the sums in double, and the curve in double
// for values beyond the float range.
template <class Layer_T, class Buffer_P>
void wide_back_chunk(const Blurmond_Copy<Layer_T, Buffer_P>& copy, int64_t r, const Fft_Scratch_Row* row_in,
                     int64_t first, int64_t count, const Row_Excess& excess) {
    constexpr int C = Buffer_P::channels;
    const Kernel_Blurmond_In<Layer_T>& p = copy.settings;
    const Layer<Buffer_P>& buffer = copy.buffer;
    // normalisation is 1 / (gain * iris sum); the splats are not transformed, so they lack the gain.
    const double gain = static_cast<double>(buffer.width - 2) * static_cast<double>(buffer.height) * 0.5;
    double transformed[C], splatted[C];
    for (int ch = 0; ch < C; ++ch) {
        transformed[ch] = copy.normalisation[ch] / copy.highlights->scale;
        splatted[ch] = copy.normalisation[ch] * gain;
    }
    Wide<Buffer_P> linear[chunk];
    Float4 colours[chunk];
    for (int64_t i = 0; i < count; ++i) {
        const int64_t buffer_x = p.out.x - buffer.x + first + i;
        Wide<Buffer_P> w{};
        if (row_in && buffer_x >= 0 && buffer_x < buffer.width - 2) {
            const Buffer_P& pixel = transformed_pixel<Buffer_P>(*row_in, buffer_x);
            const double* splat = excess.reaches(first + i) ? excess.sums + (first + i) * C : nullptr;
            for (int ch = 0; ch < C; ++ch)
                w.c[ch] = pixel.c[ch] * transformed[ch] + (splat ? splat[ch] * splatted[ch] : 0.0);
        }
        w.r() = std::max<double>(w.r(), copy.floor[0]);
        w.g() = std::max<double>(w.g(), copy.floor[1]);
        w.b() = std::max<double>(w.b(), copy.floor[2]);
        w.a() = std::max<double>(w.a(), copy.floor[3]);
        if constexpr (Buffer_P::extra_channels == 1) {
            if (w.extra() > 0.0) w.r() /= w.extra(), w.g() /= w.extra(), w.b() /= w.extra();
        }
        linear[i] = w;
        colours[i] = Float4{float_range(w.r()), float_range(w.g()), float_range(w.b()), float_range(w.a())};
    }
    if (p.gamma_correction) bt709_from_linear(colours, count);
    auto* row = p.out.row(r);
    for (int64_t i = 0; i < count; ++i) {
        Float4 v = colours[i];
        const double channels[3] = {linear[i].r(), linear[i].g(), linear[i].b()};
        for (int k = 0; k < 3; ++k)
            if (p.gamma_correction && std::fabs(channels[k]) > largest_float)
                v[k] = float_range(bt709_from_linear(channels[k]));
        if (!p.out.premultiplied && v[3] > 1e-5f) v /= Float4{v[3], v[3], v[3], 1.0f};
        const Float4 top{largest_float, largest_float, largest_float, largest_float};
        v = v > top ? top : v < -top ? -top : v;
        store_rgba(row[first + i], Rgba_F{v[0], v[1], v[2], v[3]});
    }
}

// Output row r from the transformed buffer row it lies on, or from nothing (row_in null) where it lies
// outside the buffer.
template <class Layer_T, class Buffer_P>
void back_row(const Blurmond_Copy<Layer_T, Buffer_P>& copy, int64_t r, const Fft_Scratch_Row* row_in,
              int64_t thread) {
    const Kernel_Blurmond_In<Layer_T>& p = copy.settings;
    const Blurmond_Highlights& h = *copy.highlights;
    const Row_Excess excess = row_in && h.splatting()
                                  ? h.row_excess(p.out.y + r - copy.buffer.y, p.out.x - copy.buffer.x, thread)
                                  : Row_Excess{};
    for (int64_t first = 0; first < p.out.width; first += chunk) {
        const int64_t count = std::min(chunk, p.out.width - first);
        if (h.scale != 1.0 || (first < excess.end && first + count > excess.begin))
            wide_back_chunk(copy, r, row_in, first, count, excess);
        else
            narrow_back_chunk(copy, r, row_in, first, count);
    }
}

// Output rows r < output_above lie above the buffer, rows r >= output_below beneath it.
template <class Layer_T, class Buffer_P>
int64_t output_above(const Blurmond_Copy<Layer_T, Buffer_P>& copy) {
    return std::clamp<int64_t>(copy.buffer.y - copy.settings.out.y, 0, copy.settings.out.height);
}

template <class Layer_T, class Buffer_P>
int64_t output_below(const Blurmond_Copy<Layer_T, Buffer_P>& copy) {
    const Kernel_Blurmond_In<Layer_T>& p = copy.settings;
    return std::clamp<int64_t>(copy.buffer.y + copy.buffer.height - p.out.y, output_above(copy), p.out.height);
}

}  // namespace

template <class Layer_T, class Buffer_P>
void Blurmond_Copy<Layer_T, Buffer_P>::to_buffer_row(const void* state, int64_t r) {
    const Blurmond_Copy& copy = *static_cast<const Blurmond_Copy*>(state);
    const Kernel_Blurmond_In<Layer_T>& p = copy.settings;
    const Layer<Buffer_P>& buffer = copy.buffer;
    const Blurmond_Highlights& h = *copy.highlights;
    const int64_t source_y = source_index(p.outside_vertical, buffer.y + r - p.in.y, p.in.height);
    const bool boosting = p.preservative_highlight > 0.0f || p.additive_highlight > 0.0f;
    const Row_Source<Layer_T> source{
        p,
        source_y >= 0 ? p.in.row(source_y) : nullptr,
        boosting ? selection_row(p.selection, buffer.y + r) : nullptr,
        Highlight_Selection_Evaluator::prepare_for<typename Layer_T::pixel>(p.selection_curve),
        Float4{finite_or_zero(p.outside_color[0]), finite_or_zero(p.outside_color[1]),
               finite_or_zero(p.outside_color[2]), finite_or_zero(p.outside_color[3])},
        buffer.x};
    const float limit = static_cast<float>(std::min<double>(h.threshold, largest_float));
    const bool rescaled = h.collecting && h.scale != 1.0;  // every value to be scaled in double
    Buffer_P* row = buffer.row(r);
    // A row of nothing but the outside colour, unboosted: one pixel converted, then repeated.
    const int64_t width = source.source || source.selection ? buffer.width : std::min<int64_t>(buffer.width, 1);
    Float4 colours[chunk];
    Float4 lowest{};
    for (int64_t first = 0; first < width; first += chunk) {
        const int64_t count = std::min(chunk, width - first);
        linear_colours(source, first, count, colours);
        Int4 beyond{};
        for (int64_t i = 0; i < count; ++i) {
            Float4 v = colours[i];
            float weight = 1.0f;
            if (const auto* selected = source.selected(first + i)) {
                const float s =
                    static_cast<float>(source.evaluator.weight_of_layer_pixel(*selected, p.selection.premultiplied));
                const float gain = (p.preservative_highlight + p.additive_highlight) * s + 1.0f;
                v *= Float4{gain, gain, gain, 1.0f};
                weight = p.preservative_highlight * s + 1.0f;
            }
            beyond |= (v > limit) | (v < -limit) | (weight > limit ? -1 : 0);
            lowest = v < lowest ? v : lowest;
            store(row[first + i], v, weight);
        }
        if (rescaled || beyond[0] | beyond[1] | beyond[2] | beyond[3]) wide_chunk(copy, source, r, first, count);
    }
    if (const uint32_t negative = negative_lanes(lowest)) copy.highlights->mark_negative(negative);
    std::fill(row + width, row + buffer.width, row[0]);
}

template <class Layer_T, class Buffer_P>
Fft_Row_Source Blurmond_Copy<Layer_T, Buffer_P>::source() const {
    Fft_Row_Source source{this, to_buffer_row};
    source.again = census;
    if (margins_repeat(*this)) {
        source.same = same_row;
        source.first = settings.in.y - buffer.y;
        source.end = source.first + settings.in.height;
    }
    return source;
}

template <class Layer_T, class Buffer_P>
int64_t Blurmond_Copy<Layer_T, Buffer_P>::same_row(const void* state, int64_t y) {
    return repeated_row(*static_cast<const Blurmond_Copy*>(state), y);
}

template <class Layer_T, class Buffer_P>
bool Blurmond_Copy<Layer_T, Buffer_P>::census(const void* state, const Render_Context& context) {
    const Blurmond_Copy& copy = *static_cast<const Blurmond_Copy*>(state);
    if (!copy.highlights->counted()) return false;
    copy.highlights->plan(context, copy.most_splats);
    return !copy.highlights->settled();
}

template <class Layer_T, class Buffer_P>
void Blurmond_Copy<Layer_T, Buffer_P>::take_row(const void* state, int64_t y, const Fft_Scratch_Row& row,
                                                int64_t thread) {
    const Blurmond_Copy& copy = *static_cast<const Blurmond_Copy*>(state);
    back_row(copy, y + copy.buffer.y - copy.settings.out.y, &row, thread);
}

template <class Layer_T, class Buffer_P>
Fft_Row_Sink Blurmond_Copy<Layer_T, Buffer_P>::sink() const {
    const int64_t first = std::clamp<int64_t>(settings.out.y - buffer.y, 0, buffer.height);
    const int64_t end = std::clamp<int64_t>(settings.out.y + settings.out.height - buffer.y, first, buffer.height);
    return {this, take_row, first, end};
}

template <class Layer_T, class Buffer_P>
void Blurmond_Copy<Layer_T, Buffer_P>::outside_row(const Iteration& iteration, const Render_Context& context,
                                                   const Blurmond_Copy& copy) {
    const int64_t above = output_above(copy);
    const int64_t r = iteration.index < above ? iteration.index : iteration.index - above + output_below(copy);
    back_row(copy, r, nullptr, iteration.thread);
    context.check_abort();
}

template <class Layer_T, class Buffer_P>
int64_t Blurmond_Copy<Layer_T, Buffer_P>::outside_rows() const {
    return output_above(*this) + settings.out.height - output_below(*this);
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
