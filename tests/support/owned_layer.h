// Test images that own their pixels; rows are padded so kernels must honour row_bytes.
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
        layer_.width = width;
        layer_.height = height;
        layer_.x = x;
        layer_.y = y;
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
            for (int c = 0; c < P::channels; ++c) {
                if constexpr (std::is_same_v<T, float>) {
                    p.c[c] = std::uniform_real_distribution<float>(lo, hi)(engine);
                } else {
                    const int white = static_cast<int>(P::white);
                    p.c[c] = static_cast<T>(std::uniform_int_distribution<int>(0, white)(engine));
                }
            }
            return p;
        });
    }

private:
    int64_t stride_;
    std::vector<P> storage_;
    Layer<P> layer_;
};

}  // namespace nb::test
