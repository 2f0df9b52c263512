// Transform buffers as the FFT kernels see them: N + 2 by M float pixels, N and M lengths the passes factor.
#pragma once

#include <cstdint>

#include "util/layer.h"

namespace nb {

// True when n > 0 has no prime factor above 5: the lengths the radix-2, 3, 4 and 5 passes cover.
constexpr bool is_fft_length(int64_t n) {
    if (n < 1) return false;
    for (const int64_t p : {2, 3, 5})
        while (n % p == 0) n /= p;
    return n == 1;
}

// The smallest 2^a 3^b 5^c >= n; 1 for n <= 1. Starts from the power of two, which bounds the search.
constexpr int64_t next_fft_length(int64_t n) {
    if (n <= 1) return 1;
    int64_t best = 1;
    while (best < n) best <<= 1;
    for (int64_t p5 = 1; p5 < best; p5 *= 5)
        for (int64_t p35 = p5; p35 < best; p35 *= 3) {
            int64_t length = p35;
            while (length < n) length <<= 1;
            if (length < best) best = length;
        }
    return best;
}

// Row lengths N: the real transform runs as a complex one over the N/2 pairs of neighbouring samples,
// so N is even, or 1 (a sample that is its own transform).
constexpr bool is_fft_row_length(int64_t n) { return n == 1 || (n % 2 == 0 && is_fft_length(n)); }

// The smallest row length >= n.
constexpr int64_t next_fft_row_length(int64_t n) { return n <= 1 ? 1 : 2 * next_fft_length((n + 1) / 2); }

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
