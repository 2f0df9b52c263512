// Images of doubles for the reference computations, and their conversion from typed layers.
#pragma once

#include <cmath>
#include <cstdint>
#include <type_traits>
#include <vector>

#include "tests/support/image_compare.h"
#include "util/layer.h"

namespace nb::test {

struct Plane {
    int64_t width = 0;
    int64_t height = 0;
    int channels = 1;
    std::vector<double> values;  // row-major, channels interleaved

    Plane() = default;
    Plane(int64_t w, int64_t h, int c) : width(w), height(h), channels(c), values(static_cast<size_t>(w * h * c)) {}
    double& at(int64_t x, int64_t y, int c) { return values[static_cast<size_t>((y * width + x) * channels + c)]; }
    double at(int64_t x, int64_t y, int c) const { return values[static_cast<size_t>((y * width + x) * channels + c)]; }
};

// The raw channel values of a layer, in memory order.
template <class P>
Plane raw_plane(const Layer<P>& layer) {
    Plane plane(layer.width, layer.height, P::channels);
    for (int64_t y = 0; y < layer.height; ++y)
        for (int64_t x = 0; x < layer.width; ++x)
            for (int c = 0; c < P::channels; ++c) plane.at(x, y, c) = static_cast<double>(layer.at(x, y).c[c]);
    return plane;
}

// (R + G + B) / 3 of a colour layer: whole-number division for 8 and 16 bits, as those depths average.
template <class P>
Plane gray_plane(const Layer<P>& layer) {
    Plane plane(layer.width, layer.height, 1);
    for (int64_t y = 0; y < layer.height; ++y)
        for (int64_t x = 0; x < layer.width; ++x) {
            const P& p = layer.at(x, y);
            if constexpr (std::is_same_v<typename P::component, float>) {
                plane.at(x, y, 0) = static_cast<double>((p.r() + p.g() + p.b()) / 3.0f);
            } else {
                const int sum = int(p.r()) + int(p.g()) + int(p.b());
                plane.at(x, y, 0) = static_cast<double>(sum / 3);
            }
        }
    return plane;
}

// Channel-wise comparison of planes of equal shape; NaN against a number counts as infinitely far.
inline Worst_Difference worst_plane_difference(const Plane& actual, const Plane& expected) {
    Worst_Difference worst;
    for (int64_t y = 0; y < actual.height; ++y)
        for (int64_t x = 0; x < actual.width; ++x)
            for (int c = 0; c < actual.channels; ++c) {
                const double a = actual.at(x, y, c), e = expected.at(x, y, c);
                const double d = std::isnan(a) != std::isnan(e) ? INFINITY : std::isnan(a) ? 0.0 : std::fabs(a - e);
                if (d > worst.difference || worst.x < 0) worst = {d, x, y, c, a, e};
            }
    return worst;
}

}  // namespace nb::test
