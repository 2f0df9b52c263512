// Background seen through the transparent parts of an image, one task per output row.
#include "kernel/kernel_refraction_cpu.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <type_traits>

#include "util/kernel/extended_line.h"

namespace nb {

namespace {

using Channels = std::array<float, 4>;  // R, G, B, A in the layer's own scale (8-bit white is 255)

template <class P>
Channels channels_of(const P& p) {
    return {static_cast<float>(p.r()), static_cast<float>(p.g()), static_cast<float>(p.b()),
            static_cast<float>(p.a())};
}

// Positions are clamped before they become indices; 2^50 is far beyond any image, exact in double
// and far from overflowing the index arithmetic of the edge rules.
int64_t floor_index(double position) {
    constexpr double limit = 1125899906842624.0;
    return static_cast<int64_t>(std::floor(std::clamp(position, -limit, limit)));
}

// The four pixels around a position (pixel centres at whole numbers) and the weights between them.
struct Taps {
    int64_t x0, x1, y0, y1;
    float fx, fy;
};

Taps taps(double px, double py, const Extended_Line& columns, const Extended_Line& rows) {
    const int64_t x = floor_index(px);
    const int64_t y = floor_index(py);
    return {columns.index(x), columns.index(x + 1), rows.index(y), rows.index(y + 1),
            static_cast<float>(px - std::floor(px)), static_cast<float>(py - std::floor(py))};
}

float mix(float v00, float v10, float v01, float v11, const Taps& t) {
    return (1.0f - t.fy) * ((1.0f - t.fx) * v00 + t.fx * v10) + t.fy * ((1.0f - t.fx) * v01 + t.fx * v11);
}

Refraction_Vector sample_map(const Refraction_Map& map, const Taps& t) {
    const Refraction_Vector& a = map.at(t.x0, t.y0);
    const Refraction_Vector& b = map.at(t.x1, t.y0);
    const Refraction_Vector& c = map.at(t.x0, t.y1);
    const Refraction_Vector& d = map.at(t.x1, t.y1);
    return {mix(a.dx, b.dx, c.dx, d.dx, t), mix(a.dy, b.dy, c.dy, d.dy, t), mix(a.w, b.w, c.w, d.w, t)};
}

template <class P>
Channels sample_layer(const Layer<P>& layer, const Taps& t) {
    const Channels a = channels_of(layer.at(t.x0, t.y0));
    const Channels b = channels_of(layer.at(t.x1, t.y0));
    const Channels c = channels_of(layer.at(t.x0, t.y1));
    const Channels d = channels_of(layer.at(t.x1, t.y1));
    Channels result;
    for (int k = 0; k < 4; ++k) result[k] = mix(a[k], b[k], c[k], d[k], t);
    return result;
}

// Samples are continued by the edge rules; the colour rule, like any unknown value, acts as the
// border rule there, so every tap lands inside its image.
Extended_Line sampling_line(Outside rule, int64_t length) {
    const bool kept = rule == Outside::mirrored || rule == Outside::repeated;
    // An empty map is never sampled; its line only needs to exist.
    return Extended_Line(kept ? rule : Outside::border, std::max<int64_t>(1, length));
}

// What every pixel of a row shares.
struct Setup {
    int64_t n;       // sub-samples per axis
    double kx, ky;   // displacement per unit of map direction times map alpha, in layer pixels / 255
    int64_t ox, oy;  // out position minus background position
    Outside horizontal, vertical;  // the edge rules as given
    Extended_Line map_columns, map_rows, background_columns, background_rows;
    Channels outside;  // outside colour in the layer's scale
};

template <class Parameters, class P>
Setup make_setup(const Parameters& p) {
    const Rgba_F& c = p.outside_color;
    return {std::max<int64_t>(1, static_cast<int64_t>(p.antialias) + 1),
            static_cast<double>(p.out.horizontal_factor) * p.strength / 1000.0,
            static_cast<double>(p.out.vertical_factor) * p.strength / 1000.0,
            p.out.x - p.background.x,
            p.out.y - p.background.y,
            p.outside_horizontal,
            p.outside_vertical,
            sampling_line(p.outside_horizontal, p.map.width),
            sampling_line(p.outside_vertical, p.map.height),
            sampling_line(p.outside_horizontal, p.background.width),
            sampling_line(p.outside_vertical, p.background.height),
            {c.r * P::white, c.g * P::white, c.b * P::white, c.a * P::white}};
}

bool outside_axis(double position, int64_t size) {
    const double t = std::trunc(position);
    return t < 0.0 || t >= static_cast<double>(size);
}

// Adds the background seen from sub-sample (px, py) to sum; false when the map does not displace it.
template <class Parameters>
bool add_displaced(const Parameters& p, const Setup& s, double px, double py, Channels& sum) {
    const Refraction_Vector v = sample_map(p.map, taps(px, py, s.map_columns, s.map_rows));
    if (!(v.w > 0.0f)) return false;
    const double bx = px + static_cast<double>(v.dx) * s.kx * static_cast<double>(v.w) * 255.0 + s.ox;
    const double by = py + static_cast<double>(v.dy) * s.ky * static_cast<double>(v.w) * 255.0 + s.oy;
    // A non-finite map or strength gives no direction to follow.
    if (!(std::isfinite(bx) && std::isfinite(by))) return false;
    const bool gone = (s.horizontal == Outside::color && outside_axis(bx, p.background.width)) ||
                      (s.vertical == Outside::color && outside_axis(by, p.background.height));
    Channels seen = s.outside;
    if (!gone) {
        seen = sample_layer(p.background, taps(bx, by, s.background_columns, s.background_rows));
    }
    for (int k = 0; k < 4; ++k) sum[k] += seen[k];
    return true;
}

// Adds the displaced sub-samples of out pixel (x, y) to sum; returns how many there were.
template <class Parameters>
int64_t add_displaced_samples(const Parameters& p, const Setup& s, int64_t x, int64_t y, Channels& sum) {
    if (p.map.empty()) return 0;
    int64_t count = 0;
    for (int64_t j = 0; j < s.n; ++j)
        for (int64_t i = 0; i < s.n; ++i) {
            const double px = static_cast<double>(x) - 0.5 + (static_cast<double>(i) + 0.5) / s.n;
            const double py = static_cast<double>(y) - 0.5 + (static_cast<double>(j) + 0.5) / s.n;
            if (add_displaced(p, s, px, py, sum)) ++count;
        }
    return count;
}

// The background behind out pixel (x, y): the mean of the displaced sub-samples, with the plain
// background pixel standing in for the share of sub-samples that nothing displaced. Integer layers
// round the mean to their own type first and truncate the blend.
template <class Parameters, class P>
Channels background_seen(const Parameters& p, const Setup& s, int64_t x, int64_t y) {
    Channels mean{};
    const int64_t count = add_displaced_samples(p, s, x, y, mean);
    constexpr bool integer = !std::is_same_v<typename P::component, float>;
    for (float& c : mean) {
        if (count > 0) c /= static_cast<float>(count);
        if constexpr (integer) c = static_cast<float>(store_component<typename P::component>(c));
    }
    const Channels plain = channels_of(p.background.at(std::clamp<int64_t>(x + s.ox, 0, p.background.width - 1),
                                                       std::clamp<int64_t>(y + s.oy, 0, p.background.height - 1)));
    const float t = 1.0f - static_cast<float>(count) / static_cast<float>(s.n * s.n);
    for (int k = 0; k < 4; ++k) {
        mean[k] += (plain[k] - mean[k]) * t;
        if constexpr (integer) mean[k] = std::trunc(mean[k]);
    }
    return mean;
}

template <class P>
void store_channels(P& p, const Channels& c) {
    using T = typename P::component;
    p.r() = static_cast<T>(c[0]);
    p.g() = static_cast<T>(c[1]);
    p.b() = static_cast<T>(c[2]);
    p.a() = static_cast<T>(c[3]);
}

// Float layers blend straight colours and premultiply the result again when out is premultiplied.
template <class P>
P composited_float(const P& pixel, Channels s, bool out_premultiplied, bool background_premultiplied) {
    Channels o = channels_of(pixel);
    if (out_premultiplied && o[3] > 1e-5f)
        for (int k = 0; k < 3; ++k) o[k] /= o[3];
    if (background_premultiplied && s[3] > 1e-5f)
        for (int k = 0; k < 3; ++k) s[k] /= s[3];
    Channels r;
    r[3] = o[3] + s[3] * (1.0f - o[3]);
    for (int k = 0; k < 3; ++k) {
        r[k] = o[k] * o[3] + s[k] * (1.0f - o[3]);
        if (out_premultiplied) r[k] *= r[3];
    }
    P result = pixel;
    store_channels(result, r);
    return result;
}

// Integer layers blend the stored values as they are; store_component rounds and clamps, so
// nothing out of range reaches the conversion.
template <class P>
P composited_integer(const P& pixel, const Channels& s, bool out_premultiplied) {
    using T = typename P::component;
    const Channels o = channels_of(pixel);
    const float alpha = o[3] / P::white;
    Channels r;
    r[3] = static_cast<float>(store_component<T>(o[3] + s[3] * (1.0f - alpha)));
    for (int k = 0; k < 3; ++k) {
        r[k] = static_cast<float>(store_component<T>(o[k] * alpha + s[k] * (1.0f - alpha)));
        if (out_premultiplied) r[k] = std::trunc(r[k] * (r[3] / P::white));
    }
    P result = pixel;
    store_channels(result, r);
    return result;
}

template <class Layer_T>
void refraction_row(const Iteration& iteration, Render_Context context,
                    typename Kernel_Refraction<Layer_T>::Parameters_In p) {
    using P = typename Layer_T::pixel;
    const Setup s = make_setup<decltype(p), P>(p);
    const int64_t y = iteration.index;
    P* row = p.out.row(y);
    for (int64_t x = 0; x < p.out.width; ++x) {
        // Opaque pixels hide the background entirely; a NaN alpha is left alone as well.
        if (!(row[x].a() < static_cast<typename P::component>(P::white))) continue;
        const Channels seen = background_seen<decltype(p), P>(p, s, x, y);
        if constexpr (std::is_same_v<typename P::component, float>)
            row[x] = composited_float(row[x], seen, p.out.premultiplied, p.background.premultiplied);
        else
            row[x] = composited_integer(row[x], seen, p.out.premultiplied);
    }
    context.check_abort();
}

}  // namespace

template <class Layer_T>
void Kernel_Refraction<Layer_T>::execute(Render_Context context) {
    if (in.out.empty() || in.background.empty()) return;
    launch(in.out.height, &refraction_row<Layer_T>, context, in);
}

template class Kernel_Refraction<Layer<Pixel_Argb_8>>;
template class Kernel_Refraction<Layer<Pixel_Argb_16>>;
template class Kernel_Refraction<Layer<Pixel_Argb_32f>>;
template class Kernel_Refraction<Layer<Pixel_Bgra_8>>;
template class Kernel_Refraction<Layer<Pixel_Bgra_16>>;
template class Kernel_Refraction<Layer<Pixel_Bgra_32f>>;

}  // namespace nb
