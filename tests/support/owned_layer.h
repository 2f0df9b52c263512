// Test images: typed layers that own their pixels (rows padded, so kernels must honour row_bytes), images
// of doubles for the reference computations, and the edge rules by which the references read past an edge.
#pragma once

#include <cstdint>
#include <random>
#include <type_traits>
#include <vector>

#include "util/layer.h"

namespace nb::test {

// Rows carry three pixels of padding, so a kernel confusing width and row_bytes reads the wrong pixels.
template <class P>
class Owned_Layer {
public:
    // (x, y): the layer's origin in the frame.
    Owned_Layer(int64_t width, int64_t height, int64_t x = 0, int64_t y = 0)
        : stride_(width + 3), storage_(static_cast<size_t>(stride_ * height)) {
        layer_.data = storage_.data();
        layer_.row_bytes = stride_ * static_cast<int64_t>(sizeof(P));
        layer_.width = width, layer_.height = height;
        layer_.x = x, layer_.y = y;
    }
    Owned_Layer(const Owned_Layer&) = delete;
    Owned_Layer& operator=(const Owned_Layer&) = delete;

    // The view; its fields (origin, factors, premultiplied) may be changed through it.
    Layer<P>& layer() { return layer_; }
    const Layer<P>& layer() const { return layer_; }
    P& at(int64_t x, int64_t y) { return storage_[static_cast<size_t>(y * stride_ + x)]; }
    const P& at(int64_t x, int64_t y) const { return storage_[static_cast<size_t>(y * stride_ + x)]; }

    void fill(const P& value) {
        fill([&](int64_t, int64_t) { return value; });
    }
    // f(x, y) gives the pixel at (x, y).
    template <class F>
    void fill(F f) {
        for (int64_t y = 0; y < layer_.height; ++y)
            for (int64_t x = 0; x < layer_.width; ++x) at(x, y) = f(x, y);
    }

    // Every channel uniform in [0, white] (integers) or [lo, hi] (float), reproducible from seed.
    void fill_random(uint32_t seed, float lo = 0.0f, float hi = 1.0f) {
        using T = typename P::component;
        std::mt19937 engine(seed);
        fill([&](int64_t, int64_t) {
            P p{};
            for (int c = 0; c < P::channels; ++c)
                if constexpr (std::is_same_v<T, float>) p.c[c] = std::uniform_real_distribution<float>(lo, hi)(engine);
                else p.c[c] = static_cast<T>(std::uniform_int_distribution<int>(0, int(P::white))(engine));
            return p;
        });
    }

private:
    int64_t stride_;
    std::vector<P> storage_;
    Layer<P> layer_;
};

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

// Edge rules by number: 0 nearest edge sample, 1 mirrored (position -1 reads 0), 2 repeated,
// anything else reads nothing. Returns the sample a position reads, or -1.
inline int64_t oracle_sample(int rule, int64_t position, int64_t length) {
    if (position >= 0 && position < length) return position;
    if (length < 1 || rule < 0 || rule > 2) return -1;
    if (rule == 0) return position < 0 ? 0 : length - 1;
    if (rule == 2) return ((position % length) + length) % length;
    // Reflect at the edges, one reflection at a time, until the position lands on the line.
    while (position < 0 || position >= length) position = position < 0 ? -position - 1 : 2 * length - 1 - position;
    return position;
}

}  // namespace nb::test
