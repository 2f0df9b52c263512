// Gathers row and column blocks into per-worker scratch, transforms them lane-wise and scatters them back.
#include "kernel/fft_passes_cpu.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "kernel/fft_lanes_cpu.h"

namespace nb {

namespace {

float* row_of(const Fft_Buffer& buffer, int64_t y) {
    return reinterpret_cast<float*>(reinterpret_cast<std::byte*>(buffer.data) + y * buffer.row_bytes);
}

// Fixed-size copies become single vector moves.
template <int C>
inline void copy_pixel(float* to, const float* from) {
    std::memcpy(to, from, C * sizeof(float));
}

template <int C>
inline void clear_pixel(float* to) {
    std::memset(to, 0, C * sizeof(float));
}

// Column blocks visit every row at a large stride, which the hardware prefetcher does not follow;
// asking for the rows a few iterations ahead hides the memory latency.
constexpr int64_t prefetch_rows = 12;

template <int C, int Write>
inline void prefetch_block(const float* first, int64_t pixels) {
    const auto* begin = reinterpret_cast<const char*>(first);
    const auto* end = reinterpret_cast<const char*>(first + pixels * C);
    for (const char* line = begin; line < end; line += 64) __builtin_prefetch(line, Write);
    __builtin_prefetch(end - 1, Write);
}

// Floats of a block of columns in the scratch, whole cache lines: the product pass keeps two blocks.
template <int C>
int64_t column_floats(int64_t m) {
    return (m * Fft_Lanes<Fft_Passes<C>::column_vectors>::floats + 15) / 16 * 16;
}

}  // namespace

template <int C>
int64_t Fft_Passes<C>::row_items(int64_t m) {
    return (m + rows_per_item - 1) / rows_per_item;
}

template <int C>
int64_t Fft_Passes<C>::column_items(int64_t n) {
    return (n / 2 + 1 + columns_per_item - 1) / columns_per_item;
}

template <int C>
int64_t Fft_Passes<C>::scratch_bytes(int64_t n, int64_t m) {
    const int64_t row_floats = n / 2 * Fft_Lanes<row_vectors>::floats;
    return std::max(row_floats, 2 * column_floats<C>(m)) * static_cast<int64_t>(sizeof(float));
}

template <int C>
void Fft_Passes<C>::rows_forward(const Fft_Buffer& buffer, const Fft_Plan& plan, int64_t item, int64_t thread) {
    using Lanes = Fft_Lanes<row_vectors>;
    constexpr int F = Lanes::floats, L = F / 2;
    const int64_t n = plan.n, half = n / 2;
    const int64_t y0 = item * rows_per_item, rows = std::min<int64_t>(rows_per_item, plan.m - y0);
    if (half == 0) {
        // A single sample is its own transform; its imaginary part and the padding become 0.
        for (int64_t r = 0; r < rows; ++r) {
            clear_pixel<C>(row_of(buffer, y0 + r) + C);
            clear_pixel<C>(row_of(buffer, y0 + r) + 2 * C);
        }
        return;
    }
    Fft_Vector* scratch = plan.scratch(thread);
    float* s = reinterpret_cast<float*>(scratch);
    for (int r = 0; r < rows_per_item; ++r) {
        const float* row = r < rows ? row_of(buffer, y0 + r) : nullptr;
        for (int64_t q = 0; q < half; ++q) {
            float* e = s + int64_t{plan.row_order[q]} * F + r * C;
            if (row) {
                copy_pixel<C>(e, row + 2 * q * C);
                copy_pixel<C>(e + L, row + (2 * q + 1) * C);
            } else {
                clear_pixel<C>(e);
                clear_pixel<C>(e + L);
            }
        }
    }
    Lanes::transform(scratch, half, plan.row_twiddles, 1.0f);
    Lanes::split_forward(scratch, half, plan.real_twiddles);
    for (int64_t r = 0; r < rows; ++r) {
        float* row = row_of(buffer, y0 + r);
        const float* e = s + r * C;
        copy_pixel<C>(row, e);
        clear_pixel<C>(row + C);
        copy_pixel<C>(row + n * C, e + L);  // the Nyquist bin moves behind the signal
        clear_pixel<C>(row + (n + 1) * C);
        for (int64_t q = 1; q < half; ++q) {
            copy_pixel<C>(row + 2 * q * C, e + q * F);
            copy_pixel<C>(row + (2 * q + 1) * C, e + q * F + L);
        }
    }
}

template <int C>
void Fft_Passes<C>::rows_reverse(const Fft_Buffer& buffer, const Fft_Plan& plan, int64_t item, int64_t thread,
                                 const Fft_Row_Sink& sink) {
    using Lanes = Fft_Lanes<row_vectors>;
    constexpr int F = Lanes::floats, L = F / 2;
    const int64_t n = plan.n, half = n / 2;
    const int64_t y0 = item * rows_per_item, rows = std::min<int64_t>(rows_per_item, plan.m - y0);
    if (half == 0) {
        // Keeps the round-trip gain N/2 of every other length.
        for (int64_t r = 0; r < rows; ++r) {
            float* row = row_of(buffer, y0 + r);
            for (int c = 0; c < C; ++c) row[c] *= 0.5f;
            if (y0 + r >= sink.first && y0 + r < sink.end) sink.take(sink.state, y0 + r, {row, 2 * C, C}, thread);
        }
        return;
    }
    Fft_Vector* scratch = plan.scratch(thread);
    float* s = reinterpret_cast<float*>(scratch);
    for (int r = 0; r < rows_per_item; ++r) {
        const float* row = r < rows ? row_of(buffer, y0 + r) : nullptr;
        for (int64_t q = 0; q < half; ++q) {
            float* e = s + int64_t{plan.row_order[q]} * F + r * C;
            if (row) {
                copy_pixel<C>(e, row + 2 * q * C);
                copy_pixel<C>(e + L, row + (q == 0 ? n : 2 * q + 1) * C);
            } else {
                clear_pixel<C>(e);
                clear_pixel<C>(e + L);
            }
        }
    }
    Lanes::split_reverse(scratch, half, plan.real_twiddles, plan.row_order);
    Lanes::transform(scratch, half, plan.row_twiddles, -1.0f);
    for (int64_t r = 0; r < rows; ++r)
        if (y0 + r >= sink.first && y0 + r < sink.end) sink.take(sink.state, y0 + r, {s + r * C, F, L}, thread);
}

namespace {

template <int C, class Lanes>
void gather_columns(const Fft_Buffer& buffer, const Fft_Plan& plan, int64_t k0, int64_t bins, float* s) {
    constexpr int F = Lanes::floats, L = F / 2, per_item = Fft_Passes<C>::columns_per_item;
    for (int64_t y = 0; y < plan.m; ++y) {
        const float* pixel = row_of(buffer, y) + 2 * k0 * C;
        const int64_t ahead = y + prefetch_rows;
        if (ahead < plan.m) prefetch_block<C, 0>(row_of(buffer, ahead) + 2 * k0 * C, 2 * bins);
        float* e = s + int64_t{plan.column_order[y]} * F;
        for (int b = 0; b < per_item; ++b) {
            if (b < bins) {
                copy_pixel<C>(e + b * C, pixel + 2 * b * C);
                copy_pixel<C>(e + L + b * C, pixel + (2 * b + 1) * C);
            } else {
                clear_pixel<C>(e + b * C);
                clear_pixel<C>(e + L + b * C);
            }
        }
    }
}

template <int C, class Lanes>
void scatter_columns(const Fft_Buffer& buffer, int64_t k0, int64_t bins, const float* s, int64_t first,
                     int64_t end) {
    constexpr int F = Lanes::floats, L = F / 2;
    for (int64_t y = first; y < end; ++y) {
        float* pixel = row_of(buffer, y) + 2 * k0 * C;
        const int64_t ahead = y + prefetch_rows;
        if (ahead < end) prefetch_block<C, 1>(row_of(buffer, ahead) + 2 * k0 * C, 2 * bins);
        const float* e = s + y * F;
        for (int64_t b = 0; b < bins; ++b) {
            copy_pixel<C>(pixel + 2 * b * C, e + b * C);
            copy_pixel<C>(pixel + (2 * b + 1) * C, e + L + b * C);
        }
    }
}

// Element y of from holds the transformed columns' row y; their product with the factor's goes to element
// order[y] of to, where the reverse transform expects it. Factor pixels have D channels, 1 or C.
template <int C, int D, class Lanes>
void multiply_columns(const Fft_Factor& factor, const Fft_Plan& plan, int64_t k0, int64_t bins, const float* from,
                      float* to) {
    constexpr int F = Lanes::floats, L = F / 2;
    const auto factor_row = [&](int64_t y) {
        return reinterpret_cast<const float*>(reinterpret_cast<const std::byte*>(factor.data) + y * factor.row_bytes) +
               2 * k0 * D;
    };
    for (int64_t y = 0; y < plan.m; ++y) {
        const float* pixel = factor_row(y);
        const int64_t ahead = y + prefetch_rows;
        if (ahead < plan.m) prefetch_block<D, 0>(factor_row(ahead), 2 * bins);
        const float* e = from + y * F;
        float* p = to + int64_t{plan.column_order[y]} * F;
        for (int64_t b = 0; b < bins; ++b) {
            const float* c = pixel + 2 * b * D;
            const float* d = c + D;
            for (int ch = 0; ch < C; ++ch) {
                const int f = D == 1 ? 0 : ch;
                const float x = e[b * C + ch], z = e[L + b * C + ch];
                p[b * C + ch] = x * c[f] - z * d[f];
                p[L + b * C + ch] = x * d[f] + z * c[f];
            }
        }
        for (int64_t b = bins; b < Fft_Passes<C>::columns_per_item; ++b) {
            clear_pixel<C>(p + b * C);
            clear_pixel<C>(p + L + b * C);
        }
    }
}

// The complex columns k0 .. of a work item, gathered into the thread's scratch and transformed there.
struct Column_Block {
    int64_t k0 = 0;
    int64_t bins = 0;
    float* floats = nullptr;
};

template <int C, class Lanes>
Column_Block transformed_columns(const Fft_Buffer& buffer, const Fft_Plan& plan, int64_t k0, int64_t thread, float sign) {
    const int64_t bins = std::min<int64_t>(Fft_Passes<C>::columns_per_item, plan.n / 2 + 1 - k0);
    Fft_Vector* scratch = plan.scratch(thread);
    float* s = reinterpret_cast<float*>(scratch);
    gather_columns<C, Lanes>(buffer, plan, k0, bins, s);
    Lanes::transform(scratch, plan.m, plan.column_twiddles, sign);
    return {k0, bins, s};
}

}  // namespace

template <int C>
void Fft_Passes<C>::columns(const Fft_Buffer& buffer, const Fft_Plan& plan, int64_t item, int64_t thread,
                            float sign, int64_t first, int64_t end) {
    using Lanes = Fft_Lanes<column_vectors>;
    const Column_Block b = transformed_columns<C, Lanes>(buffer, plan, item * columns_per_item, thread, sign);
    scatter_columns<C, Lanes>(buffer, b.k0, b.bins, b.floats, first, end);
}

template <int C>
void Fft_Passes<C>::columns_product(const Fft_Buffer& buffer, const Fft_Plan& plan, int64_t item, int64_t thread,
                                    const Fft_Factor& factor, int64_t first, int64_t end) {
    using Lanes = Fft_Lanes<column_vectors>;
    const auto [k0, bins, s] = transformed_columns<C, Lanes>(buffer, plan, item * columns_per_item, thread, 1.0f);
    float* product = s + column_floats<C>(plan.m);
    if (factor.channels == 1) multiply_columns<C, 1, Lanes>(factor, plan, k0, bins, s, product);
    else multiply_columns<C, C, Lanes>(factor, plan, k0, bins, s, product);
    Lanes::transform(reinterpret_cast<Fft_Vector*>(product), plan.m, plan.column_twiddles, -1.0f);
    scatter_columns<C, Lanes>(buffer, k0, bins, product, first, end);
}

template struct Fft_Passes<1>;
template struct Fft_Passes<4>;
template struct Fft_Passes<5>;

}  // namespace nb
