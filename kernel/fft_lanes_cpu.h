// Lane-wise complex transforms: one transform of length 2^a 3^b 5^c applied to many independent lanes at once.
#pragma once

#include <cstdint>

#include "kernel/fft_plan_cpu.h"

namespace nb {

// The instructions the lane-wise transforms run on. Any x86-64 processor has SSE2; on one with AVX2 and
// FMA the lanes of an even number of vectors run eight floats wide with fused multiply-adds, and with
// AVX-512 as well those of a multiple of four vectors run sixteen wide. The choice is made once, for
// the process, so every row and column of a frame is computed alike whatever thread takes it. SSE2
// rounds differently from the other two, which compute every lane with the same operations and so
// give the same results.
enum class Fft_Instructions { sse2, avx2_fma, avx512 };

// The instructions in use: the widest the processor has, until set otherwise.
Fft_Instructions fft_instructions();
bool fft_instructions_available(Fft_Instructions instructions);
// For comparing the two; not while a transform runs. Throws Exception_Assert when not available.
void set_fft_instructions(Fft_Instructions instructions);

// An element is 2V lane vectors: V vectors of real parts, then V vectors of imaginary parts; lane l of
// every element belongs to the same transform. Keeping pixels, channels and neighbouring rows or
// columns in the lanes lets one twiddle serve 4V transforms and keeps the loops free of shuffles.
template <int V>
struct Fft_Lanes {
    static constexpr int vectors = 2 * V;  // per element
    static constexpr int floats = 8 * V;   // per element

    // In-place transform of n elements (n = 2^a 3^b 5^c) given in the input order of Fft_Plan (the bit
    // reversal for powers of two); the result is in natural order. X[k] = sum_j x[j] e^(sign 2 pi i j k
    // / n), unnormalised. twiddles holds e^(2 pi i j / n) for j < n as (re, im) pairs. Decimation in
    // time with the passes of Fft_Factors, a radix-4 pass doing the work of two radix-2 stages; the
    // passes of short spans run block by block in the first-level cache, so a transform of 2048
    // elements of 64 bytes streams through the second level twice where pass by pass it would six times.
    static void transform(Fft_Vector* data, int64_t n, const float* twiddles, float sign);

    // Turns the transform of the n/2 complex values (x[2q], x[2q+1]) in natural order into the
    // half spectrum of the n real values x: element q becomes bin q for q = 1 .. n/2 - 1, element 0
    // becomes (bin 0, bin n/2), both real. twiddles: e^(2 pi i q / n), q < n/4.
    static void split_forward(Fft_Vector* data, int64_t half, const float* twiddles);

    // The inverse of split_forward up to a factor 2: from the half spectrum (element 0 = (bin 0,
    // bin n/2)) to the values whose inverse complex transform gives (n/2) x. Elements are found at
    // their bit-reversed positions order[q], ready for transform().
    static void split_reverse(Fft_Vector* data, int64_t half, const float* twiddles, const int32_t* order);
};

extern template struct Fft_Lanes<1>;
extern template struct Fft_Lanes<2>;
extern template struct Fft_Lanes<4>;
extern template struct Fft_Lanes<5>;

}  // namespace nb
