// Shared tables of one two-dimensional transform and the per-worker scratch rows, in one scratch image.
#pragma once

#include <cstddef>
#include <cstdint>

#include "kernel/float4.h"
#include "util/memory_2d.h"

namespace nb {

// Lane vectors: four floats, one SSE register; elements of the lane-wise transforms are built of them.
using Fft_Vector = Float4;

// The passes of a complex transform of length n = 2^a 3^b 5^c, in the order they run, spans growing:
// one radix-2 pass when a is odd, radix-4 passes for the other twos, then the radix-3 and radix-5
// passes, which run where the spans are long and most butterflies need their twiddles anyway.
// Throws Exception_Assert when n has another prime factor.
struct Fft_Factors {
    int count = 0;
    int radix[64] = {};

    const int* begin() const { return radix; }
    const int* end() const { return radix + count; }
    static Fft_Factors of(int64_t n);
};

// Everything a row or column work item of an N by M transform reads besides the buffer: the twiddle
// and input-order tables (row 0 of the scratch image, filled once on the calling thread, read-only
// afterwards) and one scratch row per worker. N is 1 or even; N/2 and M factor as in Fft_Factors.
struct Fft_Plan {
    int64_t n = 0;  // real row length N
    int64_t m = 0;  // column length M
    const float* row_twiddles = nullptr;     // e^(2 pi i j / (N/2)), j < N/2, as (re, im) pairs
    const float* real_twiddles = nullptr;    // e^(2 pi i q / N), q <= N/4, as (re, im) pairs
    const float* column_twiddles = nullptr;  // e^(2 pi i j / M), j < M, as (re, im) pairs
    const int32_t* row_order = nullptr;      // position of input element j < N/2 before the passes
    const int32_t* column_order = nullptr;   // position of input element j < M before the passes
    std::byte* workers = nullptr;
    int64_t worker_row_bytes = 0;
    int64_t worker_count = 0;

    // The scratch row of worker thread; throws Exception_Assert when thread >= worker_count.
    Fft_Vector* scratch(int64_t thread) const;

    // Bytes of row 0 that hold the tables.
    static int64_t table_bytes(int64_t n, int64_t m);
    // Lays the tables out in row 0 of memory, fills them and points the workers at rows 1 ...
    // memory must have at least table_bytes(n, m) bytes per row, 64-byte aligned rows, and
    // worker_count + 1 rows.
    static Fft_Plan build(Mapped_Memory_2d& memory, int64_t n, int64_t m, int64_t worker_count);
};

}  // namespace nb
