// Transform buffers as the FFT kernels see them: N + 2 by M float pixels, N and M powers of two.
#pragma once

#include <cstdint>

#include "util/layer.h"

namespace nb {

// True when n is a power of two; 1 passes, 0 and negative numbers fail.
constexpr bool is_pow(int64_t n) {
    if (n < 1) return false;
    return (n & (n - 1)) == 0;
}

// The smallest power of two >= n; 1 for n <= 1.
constexpr int64_t next_pow(int64_t n) {
    int64_t p = 1;
    while (p < n) p <<= 1;
    return p;
}

struct Fft_Dim {
    int64_t width = 0;
    int64_t height = 0;
    bool operator==(const Fft_Dim&) const = default;
};

// A layer used as a transform buffer. Before the forward transform pixels 0 .. N - 1 of a row hold the
// signal and pixels N, N + 1 are padding; afterwards bin k of the half spectrum occupies pixels 2k
// (real) and 2k + 1 (imaginary), k = 0 .. N/2, and every complex column is transformed as well.
template <class Layer_T>
struct Fft_Image {
    Layer_T layer;

    int64_t width() const { return layer.width; }
    int64_t height() const { return layer.height; }
    Fft_Dim dim() const { return {layer.width, layer.height}; }
};

}  // namespace nb
