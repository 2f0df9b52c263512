// Direct spatial convolution in double with a drawn iris: the reference for the defocus kernel.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "tests/support/owned_layer.h"
#include "tests/support/transfer_oracle.h"

namespace nb::test {

struct Rgba_D {
    double r = 0.0, g = 0.0, b = 0.0, a = 0.0;
};

// Pixels in unit scale (white 1.0), row by row, placed at (x, y) in the frame.
struct Oracle_Image {
    int64_t width = 0, height = 0, x = 0, y = 0;
    bool premultiplied = true;
    std::vector<Rgba_D> pixels;
    const Rgba_D& at(int64_t column, int64_t row) const { return pixels[static_cast<size_t>(row * width + column)]; }
};

// The drawn iris with its centre at (width / 2, height / 2); a gray iris holds its value in r.
struct Oracle_Iris {
    int64_t width = 0, height = 0;
    bool gray = true;
    std::vector<Rgba_D> pixels;
};

struct Defocus_Oracle_Settings {
    int outside_horizontal = 0;  // 0 nearest edge pixel, 1 mirrored, 2 repeated, else the colour
    int outside_vertical = 0;
    Rgba_D outside_color;
    bool gamma = false;
    double preservative = 0.0;
    double additive = 0.0;
    std::vector<double> selection_weight;  // highlight weight of every source pixel, row by row
};

using Channels = std::array<double, 5>;  // r, g, b, a, weight

inline Channels source_value(const Oracle_Image& in, const Defocus_Oracle_Settings& s, int64_t fx, int64_t fy) {
    const int64_t sx = oracle_sample(s.outside_horizontal, fx - in.x, in.width);
    const int64_t sy = oracle_sample(s.outside_vertical, fy - in.y, in.height);
    Rgba_D c = sx >= 0 && sy >= 0 ? in.at(sx, sy) : s.outside_color;
    if (!in.premultiplied) c = {c.r * c.a, c.g * c.a, c.b * c.a, c.a};
    if (s.gamma) c = {bt709_to_linear(c.r), bt709_to_linear(c.g), bt709_to_linear(c.b), c.a};
    double weight = 1.0;
    const int64_t lx = fx - in.x, ly = fy - in.y;
    if ((s.preservative > 0.0 || s.additive > 0.0) && lx >= 0 && lx < in.width && ly >= 0 && ly < in.height) {
        const double w = s.selection_weight[static_cast<size_t>(ly * in.width + lx)];
        const double boost = 1.0 + (s.preservative + s.additive) * w;
        c = {c.r * boost, c.g * boost, c.b * boost, c.a};
        weight = 1.0 + s.preservative * w;
    }
    return {c.r, c.g, c.b, c.a, weight};
}

inline Channels iris_value(const Oracle_Iris& iris, const Rgba_D& p, bool gamma) {
    const auto linear = [gamma](double v) { return gamma ? bt709_to_linear(v) : v; };
    if (iris.gray) {
        const double v = linear(p.r);
        return {v, v, v, v, v};
    }
    return {linear(p.r), linear(p.g), linear(p.b), p.a, (p.r + p.g + p.b) / 3.0};
}

// The defocused frame over the output rectangle, in unit scale before any integer conversion:
// out = conv(E * iris) / sum(iris) per channel, where E is the source continued by the edge rules,
// premultiplied, in linear light when asked, and boosted by 1 + (p + a) s with weight 1 + p s
// (divided out when p > 0). Colours are returned straight when out_premultiplied is false.
inline std::vector<Rgba_D> defocus_oracle(const Oracle_Image& in, const Oracle_Iris& iris, const Defocus_Oracle_Settings& s,
                                   int64_t out_x, int64_t out_y, int64_t out_width, int64_t out_height,
                                   bool out_premultiplied) {
    Channels sums{};
    for (const Rgba_D& p : iris.pixels) {
        const Channels h = iris_value(iris, p, s.gamma);
        for (int c = 0; c < 5; ++c) sums[c] += h[c];
    }
    std::vector<Rgba_D> result;
    for (int64_t y = 0; y < out_height; ++y)
        for (int64_t x = 0; x < out_width; ++x) {
            Channels acc{};
            for (int64_t j = 0; j < iris.height; ++j)
                for (int64_t i = 0; i < iris.width; ++i) {
                    const Channels h = iris_value(iris, iris.pixels[static_cast<size_t>(j * iris.width + i)], s.gamma);
                    if (h == Channels{}) continue;
                    const Channels e =
                        source_value(in, s, out_x + x - (i - iris.width / 2), out_y + y - (j - iris.height / 2));
                    for (int c = 0; c < 5; ++c) acc[c] += h[c] * e[c];
                }
            Channels v{};
            for (int c = 0; c < 5; ++c) v[c] = sums[c] != 0.0 ? acc[c] / sums[c] : 0.0;
            if (s.preservative > 0.0 && v[4] > 0.0)
                for (int c = 0; c < 3; ++c) v[c] /= v[4];
            if (s.gamma)
                for (int c = 0; c < 3; ++c) v[c] = linear_to_bt709(v[c]);
            if (!out_premultiplied && v[3] > 1e-5)
                for (int c = 0; c < 3; ++c) v[c] /= v[3];
            result.push_back({v[0], v[1], v[2], v[3]});
        }
    return result;
}

}  // namespace nb::test
