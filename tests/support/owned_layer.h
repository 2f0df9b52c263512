// Test images that own their pixels; rows are padded so kernels must honour row_bytes.
#pragma once

#include <cstdint>
#include <random>
#include <type_traits>
#include <vector>

#include "util/layer.h"

namespace nb::test {

template <class P>
class Owned_Layer {
public:
    // padding: extra pixels at the end of every row, filled with a marker value.
    Owned_Layer(int64_t width, int64_t height, int64_t padding = 3)
        : storage_(static_cast<size_t>((width + padding) * height)) {
        layer_.data = storage_.data();
        layer_.row_bytes = (width + padding) * static_cast<int64_t>(sizeof(P));
        layer_.width = width;
        layer_.height = height;
    }
    Owned_Layer(const Owned_Layer&) = delete;
    Owned_Layer& operator=(const Owned_Layer&) = delete;

    Layer<P>& layer() { return layer_; }
    const Layer<P>& layer() const { return layer_; }
    P& at(int64_t x, int64_t y) { return layer_.at(x, y); }
    const P& at(int64_t x, int64_t y) const { return layer_.at(x, y); }

    void fill(const P& value) {
        for (int64_t y = 0; y < layer_.height; ++y)
            for (int64_t x = 0; x < layer_.width; ++x) at(x, y) = value;
    }

    // Every channel uniform in [0, white] (integers) or [lo, hi] (float), reproducible from seed.
    void fill_random(uint32_t seed, float lo = 0.0f, float hi = 1.0f) {
        using T = typename P::component;
        std::mt19937 engine(seed);
        for (int64_t y = 0; y < layer_.height; ++y)
            for (int64_t x = 0; x < layer_.width; ++x)
                for (int c = 0; c < P::channels; ++c) {
                    if constexpr (std::is_same_v<T, float>) {
                        at(x, y).c[c] = std::uniform_real_distribution<float>(lo, hi)(engine);
                    } else {
                        const int white = static_cast<int>(P::white);
                        at(x, y).c[c] = static_cast<T>(std::uniform_int_distribution<int>(0, white)(engine));
                    }
                }
    }

private:
    std::vector<P> storage_;
    Layer<P> layer_;
};

}  // namespace nb::test
