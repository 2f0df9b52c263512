// The lane-wise passes compiled for SSE2, for AVX2 with FMA and for AVX-512, and the choice between them made once.
#include "kernel/fft_lanes_cpu.h"

#include <immintrin.h>

#include <atomic>

#include "base/exception.h"
#include "base/system_dependencies.h"

namespace nb {

namespace {

struct Complex_F {
    float re, im;
};

inline Complex_F twiddle(const float* twiddles, int64_t index, float sign) {
    return {twiddles[2 * index], sign * twiddles[2 * index + 1]};
}

namespace sse2 {

using W = Fft_Vector;

inline W mul_add(const W& a, float s, const W& c) { return a * s + c; }

#include "kernel/fft_butterflies_cpu.h"

}  // namespace sse2

// The same code for AVX2 and FMA: the V vectors of an element's real (or imaginary) parts, V even, are
// read as V / 2 vectors of eight floats. Nothing outside this namespace is compiled for these
// instructions, so the baseline code never meets them.
NB_BEGIN_AVX2_FMA
namespace avx2 {

using W = float __attribute__((vector_size(32)));

inline W mul_add(const W& a, float s, const W& c) { return _mm256_fmadd_ps(a, _mm256_set1_ps(s), c); }

#include "kernel/fft_butterflies_cpu.h"

}  // namespace avx2
NB_END_AVX2_FMA

// AVX-512 code for lanes of a multiple of four vectors, read as V / 4 vectors of sixteen floats;
// the operations per lane are those of the AVX2 code.
NB_BEGIN_AVX512
namespace avx512 {

using W = float __attribute__((vector_size(64)));

inline W mul_add(const W& a, float s, const W& c) { return _mm512_fmadd_ps(a, _mm512_set1_ps(s), c); }

#include "kernel/fft_butterflies_cpu.h"

}  // namespace avx512
NB_END_AVX512

bool processor_has(Fft_Instructions instructions) {
    __builtin_cpu_init();
    const bool avx2_fma = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    if (instructions == Fft_Instructions::avx512) return avx2_fma && __builtin_cpu_supports("avx512f");
    return instructions == Fft_Instructions::sse2 || avx2_fma;
}

std::atomic<Fft_Instructions>& chosen_instructions() {
    static std::atomic<Fft_Instructions> chosen{processor_has(Fft_Instructions::avx512)     ? Fft_Instructions::avx512
                                                : processor_has(Fft_Instructions::avx2_fma) ? Fft_Instructions::avx2_fma
                                                                                            : Fft_Instructions::sse2};
    return chosen;
}

// AVX2 serves the lanes AVX-512 does not take, and the splits, whose share of the work is small.
bool wide(Fft_Instructions instructions) { return instructions != Fft_Instructions::sse2; }

}  // namespace

Fft_Instructions fft_instructions() { return chosen_instructions().load(std::memory_order_relaxed); }

bool fft_instructions_available(Fft_Instructions instructions) { return processor_has(instructions); }

void set_fft_instructions(Fft_Instructions instructions) {
    ASSERT(fft_instructions_available(instructions), "the processor lacks the transform's instructions");
    chosen_instructions().store(instructions, std::memory_order_relaxed);
}

template <int V>
void Fft_Lanes<V>::transform(Fft_Vector* data, int64_t n, const float* twiddles, float sign) {
    const Fft_Instructions instructions = fft_instructions();
    if constexpr (V % 4 == 0)
        if (instructions == Fft_Instructions::avx512) return avx512::transform<V>(data, n, twiddles, sign);
    if constexpr (V % 2 == 0)
        if (wide(instructions)) return avx2::transform<V>(data, n, twiddles, sign);
    sse2::transform<V>(data, n, twiddles, sign);
}

template <int V>
void Fft_Lanes<V>::split_forward(Fft_Vector* data, int64_t half, const float* twiddles) {
    if constexpr (V % 2 == 0)
        if (wide(fft_instructions())) return avx2::split_forward<V>(data, half, twiddles);
    sse2::split_forward<V>(data, half, twiddles);
}

template <int V>
void Fft_Lanes<V>::split_reverse(Fft_Vector* data, int64_t half, const float* twiddles, const int32_t* order) {
    if constexpr (V % 2 == 0)
        if (wide(fft_instructions())) return avx2::split_reverse<V>(data, half, twiddles, order);
    sse2::split_reverse<V>(data, half, twiddles, order);
}

template struct Fft_Lanes<1>;
template struct Fft_Lanes<2>;
template struct Fft_Lanes<4>;
template struct Fft_Lanes<5>;

}  // namespace nb
