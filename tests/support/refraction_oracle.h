// Direct double-precision model of the background distortion: alpha gradients, then displaced samples.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "tests/support/owned_layer.h"

namespace nb::test {

// The direction is taken through the angle (acos, then sin and cos), the long way round.
template <class P>
Plane oracle_refraction_map(const Layer<P>& in) {
    Plane map(in.width, in.height, 3);  // direction x, direction y, weight
    auto a = [&](int64_t c, int64_t r) {
        return static_cast<double>(in.at(oracle_sample(0, c, in.width), oracle_sample(0, r, in.height)).a());
    };
    for (int64_t y = 0; y < in.height; ++y)
        for (int64_t x = 0; x < in.width; ++x) {
            double gx = 0.0, gy = 0.0;
            for (int d = -1; d <= 1; ++d) gx += a(x + 1, y + d) - a(x - 1, y + d);
            for (int d = -2; d <= 2; ++d) gx += a(x + 2, y + d) - a(x - 2, y + d);
            for (int d = -1; d <= 1; ++d) gy += a(x + d, y + 1) - a(x + d, y - 1);
            for (int d = -2; d <= 2; ++d) gy += a(x + d, y + 2) - a(x + d, y - 2);
            const double length = std::sqrt(gx * gx + gy * gy);
            if (length > 0.001) {
                double theta = std::acos(gy / length);
                if (gx < 0) theta = 6.2831855 - theta;
                map.at(x, y, 0) = std::sin(theta), map.at(x, y, 1) = std::cos(theta), map.at(x, y, 2) = a(x, y) / P::white;
            } else {
                map.at(x, y, 0) = gx, map.at(x, y, 1) = gy;
            }
        }
    return map;
}

struct Oracle_Refraction_Settings {
    double strength = 0.0;
    int antialias = 0;
    int rule_horizontal = 0;  // 0 edge pixel, 1 mirrored, 2 repeated, 3 colour
    int rule_vertical = 0;
    std::array<double, 4> outside_color{};  // R, G, B, A with white 1
};

using Oracle_Pixel = std::array<double, 4>;  // R, G, B, A in the layer's own scale

// Bilinear interpolation of get(c, r) -> Oracle_Pixel-like over the four neighbours.
template <class Get>
auto oracle_bilinear(double px, double py, int64_t w, int64_t h, int rule_h, int rule_v, Get get) {
    const double fx = px - std::floor(px), fy = py - std::floor(py);
    const int64_t x = static_cast<int64_t>(std::floor(px)), y = static_cast<int64_t>(std::floor(py));
    decltype(get(0, 0)) result{};
    const double weights[4] = {(1 - fx) * (1 - fy), fx * (1 - fy), (1 - fx) * fy, fx * fy};
    for (int k = 0; k < 4; ++k) {
        const auto v = get(oracle_sample(rule_h, x + k % 2, w), oracle_sample(rule_v, y + k / 2, h));
        for (size_t i = 0; i < v.size(); ++i) result[i] += weights[k] * v[i];
    }
    return result;
}

template <class P>
Oracle_Pixel oracle_pixel(const P& p) {
    return {double(p.r()), double(p.g()), double(p.b()), double(p.a())};
}

inline double oracle_round(double v, double white) { return std::clamp(std::floor(v + 0.5), 0.0, white); }

// Background behind out pixel (x, y) before compositing.
template <class P>
Oracle_Pixel oracle_background(const Layer<P>& out, const Layer<P>& bg, const Plane& map,
                               const Oracle_Refraction_Settings& s, int64_t x, int64_t y) {
    constexpr double white = double(P::white);
    constexpr bool integer = white != 1.0;
    const int n = s.antialias + 1;
    const double kx = out.horizontal_factor * s.strength / 1000, ky = out.vertical_factor * s.strength / 1000;
    const int64_t ox = out.x - bg.x, oy = out.y - bg.y;
    const int sample_h = s.rule_horizontal == 3 ? 0 : s.rule_horizontal;
    const int sample_v = s.rule_vertical == 3 ? 0 : s.rule_vertical;
    Oracle_Pixel sum{};
    int count = 0;
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            const double px = x - 0.5 + (i + 0.5) / n, py = y - 0.5 + (j + 0.5) / n;
            const auto m = oracle_bilinear(px, py, map.width, map.height, sample_h, sample_v, [&](int64_t c, int64_t r) {
                return std::array<double, 3>{map.at(c, r, 0), map.at(c, r, 1), map.at(c, r, 2)};
            });
            if (!(m[2] > 0)) continue;
            const double bx = px + m[0] * kx * m[2] * 255 + ox, by = py + m[1] * ky * m[2] * 255 + oy;
            const bool gone = (s.rule_horizontal == 3 && (std::trunc(bx) < 0 || std::trunc(bx) >= bg.width)) ||
                              (s.rule_vertical == 3 && (std::trunc(by) < 0 || std::trunc(by) >= bg.height));
            Oracle_Pixel seen;
            if (gone) for (int k = 0; k < 4; ++k) seen[k] = s.outside_color[k] * white;
            else seen = oracle_bilinear(bx, by, bg.width, bg.height, sample_h, sample_v,
                                        [&](int64_t c, int64_t r) { return oracle_pixel(bg.at(c, r)); });
            for (int k = 0; k < 4; ++k) sum[k] += seen[k];
            ++count;
        }
    const Oracle_Pixel plain = oracle_pixel(bg.at(oracle_sample(0, x + ox, bg.width), oracle_sample(0, y + oy, bg.height)));
    const double t = 1.0 - double(count) / (n * n);
    for (int k = 0; k < 4; ++k) {
        double v = count > 0 ? sum[k] / count : 0.0;
        if (integer) v = oracle_round(v, white);
        v = v + (plain[k] - v) * t;
        sum[k] = integer ? std::trunc(v) : v;
    }
    return sum;
}

// The expected out pixel (R, G, B, A in the layer's scale) after the distortion.
template <class P>
Oracle_Pixel oracle_refracted(const Layer<P>& out, const Layer<P>& bg, const Plane& map,
                              const Oracle_Refraction_Settings& s, int64_t x, int64_t y) {
    constexpr double white = double(P::white);
    Oracle_Pixel o = oracle_pixel(out.at(x, y));
    if (!(o[3] < white)) return o;
    Oracle_Pixel b = oracle_background(out, bg, map, s, x, y);
    Oracle_Pixel r;
    if (white == 1.0) {
        if (out.premultiplied && o[3] > 1e-5) for (int k = 0; k < 3; ++k) o[k] /= o[3];
        if (bg.premultiplied && b[3] > 1e-5) for (int k = 0; k < 3; ++k) b[k] /= b[3];
        r[3] = o[3] + b[3] * (1 - o[3]);
        for (int k = 0; k < 3; ++k) r[k] = (o[k] * o[3] + b[k] * (1 - o[3])) * (out.premultiplied ? r[3] : 1.0);
        return r;
    }
    const double alpha = o[3] / white;
    r[3] = oracle_round(o[3] + b[3] * (1 - alpha), white);
    for (int k = 0; k < 3; ++k) {
        r[k] = oracle_round(o[k] * alpha + b[k] * (1 - alpha), white);
        if (out.premultiplied) r[k] = std::trunc(r[k] * r[3] / white);
    }
    return r;
}

}  // namespace nb::test
