// A test image that owns its pixels and hands out a Layer view with padded rows.
#pragma once

#include <cstdint>
#include <vector>

#include "util/layer.h"

namespace nb::test {

// Rows are padded by three pixels so that a kernel confusing width and row_bytes reads the wrong pixels.
template <class P>
class Owned_Image {
public:
    Owned_Image(int64_t width, int64_t height, int64_t x = 0, int64_t y = 0)
        : stride_(width + 3), pixels_(static_cast<size_t>(stride_ * height)) {
        layer_.data = pixels_.data();
        layer_.row_bytes = stride_ * static_cast<int64_t>(sizeof(P));
        layer_.width = width;
        layer_.height = height;
        layer_.x = x;
        layer_.y = y;
    }
    Owned_Image(const Owned_Image&) = delete;
    Owned_Image& operator=(const Owned_Image&) = delete;

    P& at(int64_t c, int64_t r) { return pixels_[static_cast<size_t>(r * stride_ + c)]; }
    const P& at(int64_t c, int64_t r) const { return pixels_[static_cast<size_t>(r * stride_ + c)]; }
    // The view; its fields (origin, factors, premultiplied) may be changed through it.
    Layer<P>& layer() { return layer_; }
    const Layer<P>& layer() const { return layer_; }

    template <class F>
    void fill(F f) {
        for (int64_t r = 0; r < layer_.height; ++r)
            for (int64_t c = 0; c < layer_.width; ++c) at(c, r) = f(c, r);
    }

private:
    int64_t stride_;
    std::vector<P> pixels_;
    Layer<P> layer_;
};

}  // namespace nb::test
