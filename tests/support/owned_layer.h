// Test images: a typed layer over its own heap memory, with padded rows to catch row-stride mistakes.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "util/layer.h"

namespace nb::test {

template <class P>
class Owned_Layer {
public:
    // Every byte starts as fill, so pixels a kernel forgets to write stand out.
    Owned_Layer(int64_t width, int64_t height, unsigned char fill = 0x5a)
        : bytes_(static_cast<size_t>(row_bytes_for(width) * height + 1), fill) {
        layer_.data = width * height > 0 ? reinterpret_cast<P*>(bytes_.data()) : nullptr;
        layer_.row_bytes = row_bytes_for(width);
        layer_.width = width;
        layer_.height = height;
    }
    Owned_Layer(const Owned_Layer&) = delete;
    Owned_Layer& operator=(const Owned_Layer&) = delete;

    Layer<P>& layer() { return layer_; }
    const Layer<P>& layer() const { return layer_; }
    P& at(int64_t x, int64_t y) const { return layer_.at(x, y); }

private:
    // Rows are padded by three pixels' worth of bytes beyond the pixels.
    static int64_t row_bytes_for(int64_t width) { return (width + 3) * static_cast<int64_t>(sizeof(P)); }

    std::vector<unsigned char> bytes_;
    Layer<P> layer_;
};

}  // namespace nb::test
