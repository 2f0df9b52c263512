// Row and column passes of the two-dimensional real transform over interleaved float pixels of C channels.
#pragma once

#include <cstdint>

#include "kernel/fft_plan_cpu.h"

namespace nb {

// The buffer a pass works on: N + 2 by M pixels of C floats each.
struct Fft_Buffer {
    float* data = nullptr;
    int64_t row_bytes = 0;
};

// A row as the reverse row pass leaves it in the worker's scratch: pixel x < N is C floats at pixel(x).
struct Fft_Scratch_Row {
    const float* first = nullptr;
    int64_t pair_floats = 0;  // from pixel 2q to pixel 2q + 2
    int64_t odd_floats = 0;   // from pixel 2q to pixel 2q + 1
    const float* pixel(int64_t x) const { return first + (x >> 1) * pair_floats + (x & 1) * odd_floats; }
};

// Where the reverse row pass hands its rows, straight from the scratch: the caller reads them once, so
// writing them back into the buffer would only cost a pass over memory. Rows outside first .. end - 1
// are dropped.
struct Fft_Row_Sink {
    const void* state = nullptr;
    void (*take)(const void* state, int64_t y, const Fft_Scratch_Row& row, int64_t thread) = nullptr;
    int64_t first = 0;
    int64_t end = 0;
};

// A transformed buffer the product pass multiplies by, of the same size: C channels, or one channel
// multiplying every channel.
struct Fft_Factor {
    const float* data = nullptr;
    int64_t row_bytes = 0;
    int channels = 0;
};

// One work item is a block of rows (row passes) or of complex columns (column pass). The block is
// gathered into the worker's scratch row so that every channel of every row or column in it is one
// lane of a lane-wise transform, transformed there and scattered back. Each row and column is
// computed with the same instructions whichever block or thread handles it, so results do not
// depend on the thread count.
template <int C>
struct Fft_Passes {
    // Chosen so that a block fills whole lane vectors: gray needs sixteen rows or columns for four
    // vectors, a four-channel pixel is a vector by itself; two rows of them fill the wide lanes.
    static constexpr int rows_per_item = C == 4 ? 2 : C == 5 ? 4 : 16;
    static constexpr int columns_per_item = C == 4 ? 4 : C == 5 ? 4 : 16;
    static constexpr int row_vectors = rows_per_item * C / 4;
    static constexpr int column_vectors = columns_per_item * C / 4;

    static int64_t row_items(int64_t m);
    static int64_t column_items(int64_t n);
    static int64_t scratch_bytes(int64_t n, int64_t m);

    // Real-to-complex transform of each row of the item: afterwards bin k is in pixels 2k, 2k + 1,
    // k = 0 .. N/2, with the imaginary parts of bins 0 and N/2 set to 0.
    static void rows_forward(const Fft_Buffer& buffer, const Fft_Plan& plan, int64_t item, int64_t thread);
    // Inverse of rows_forward times N/2; reads pixels 0 .. N (the imaginary parts of bins 0 and N/2
    // are taken as 0) and hands pixels 0 .. N - 1 of each row to the sink.
    static void rows_reverse(const Fft_Buffer& buffer, const Fft_Plan& plan, int64_t item, int64_t thread,
                             const Fft_Row_Sink& sink);
    // Complex transform of each complex column (pixels 2k, 2k + 1, k = 0 .. N/2) of the item,
    // exponent sign +1 or -1, unnormalised; only rows first .. end - 1 of the result are written back.
    static void columns(const Fft_Buffer& buffer, const Fft_Plan& plan, int64_t item, int64_t thread, float sign,
                        int64_t first, int64_t end);
    // columns with sign +1, then each bin times the factor's bin as complex numbers, channel by channel,
    // then columns with sign -1, all in the scratch: the product's spectrum costs one trip over memory.
    static void columns_product(const Fft_Buffer& buffer, const Fft_Plan& plan, int64_t item, int64_t thread,
                                const Fft_Factor& factor, int64_t first, int64_t end);
};

extern template struct Fft_Passes<1>;
extern template struct Fft_Passes<4>;
extern template struct Fft_Passes<5>;

}  // namespace nb
