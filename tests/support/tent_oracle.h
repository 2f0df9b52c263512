// Reference tent blur: every output sample summed directly from the tap weights, in double.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "tests/support/owned_layer.h"

namespace nb::test {

inline double tap_weight(double r, int64_t k) {
    const int64_t n = static_cast<int64_t>(r), distance = std::llabs(k);
    return distance <= n ? r + 0.5 - double(distance) : distance == n + 1 ? (r - double(n)) / 2.0 : 0.0;
}

// Blurs the line of `count` samples at `at(i)` (i < count) in place, reading past its ends mirrored.
template <class At>
void blur_line(At at, int64_t count, double radius, double round_to) {
    const double r = radius > 0.0 ? radius : 0.0;
    const int64_t reach = static_cast<int64_t>(r) + 1;
    std::vector<double> line(static_cast<size_t>(count));
    for (int64_t i = 0; i < count; ++i) line[size_t(i)] = at(i);
    for (int64_t x = 0; x < count; ++x) {
        double sum = 0.0, weights = 0.0;
        for (int64_t k = -reach; k <= reach; ++k) {
            sum += tap_weight(r, k) * line[size_t(oracle_sample(1, x + k, count))];
            weights += tap_weight(r, k);
        }
        at(x) = round_to > 0.0 ? std::trunc(std::clamp(sum / weights + 0.5, 0.0, round_to)) : sum / weights;
    }
}

// Tap weight for radius r = n + f (n whole): r + 0.5 - |k| for |k| <= n, f / 2 at |k| = n + 1, 0 beyond;
// negative and NaN radii count as 0. Rows, then columns, each line blurred with the normalised taps
// and read past its ends mirrored. With round_to > 0 every pass ends by turning each value v into
// trunc(clamp(v + 0.5, 0, round_to)), as integer layers store it.
inline Plane tent_blur(const Plane& source, double radius_x, double radius_y, double round_to) {
    Plane result = source;
    for (int c = 0; c < source.channels; ++c) {
        for (int64_t y = 0; y < source.height; ++y)
            blur_line([&](int64_t x) -> double& { return result.at(x, y, c); }, source.width, radius_x, round_to);
        for (int64_t x = 0; x < source.width; ++x)
            blur_line([&](int64_t y) -> double& { return result.at(x, y, c); }, source.height, radius_y, round_to);
    }
    return result;
}

}  // namespace nb::test
