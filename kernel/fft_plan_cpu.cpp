// Lays out and fills the twiddle and input-order tables in row 0 of a transform's scratch image.
#include "kernel/fft_plan_cpu.h"

#include <cmath>

#include "base/exception.h"
#include "kernel/fft_image.h"

namespace nb {

namespace {

// Table sections start on 64-byte boundaries so that lane vectors never straddle them.
int64_t rounded_up(int64_t bytes) { return (bytes + 63) / 64 * 64; }

struct Table_Layout {
    int64_t row_twiddles, real_twiddles, column_twiddles, row_order, column_order, total;
};

// The split pairs bins q and N/2 - q for q < N/2 - q.
int64_t real_twiddle_count(int64_t n) { return (n / 2 + 1) / 2; }

Table_Layout table_layout(int64_t n, int64_t m) {
    Table_Layout l{};
    const int64_t pair = 2 * static_cast<int64_t>(sizeof(float));
    const int64_t index = static_cast<int64_t>(sizeof(int32_t));
    l.row_twiddles = 0;
    l.real_twiddles = l.row_twiddles + rounded_up(n / 2 * pair);
    l.column_twiddles = l.real_twiddles + rounded_up(real_twiddle_count(n) * pair);
    l.row_order = l.column_twiddles + rounded_up(m * pair);
    l.column_order = l.row_order + rounded_up(n / 2 * index);
    l.total = l.column_order + rounded_up(m * index);
    return l;
}

// e^(2 pi i j / period) for j < count, computed in double and rounded once to float.
void fill_twiddles(float* out, int64_t count, int64_t period) {
    for (int64_t j = 0; j < count; ++j) {
        const double angle = 6.283185307179586 * static_cast<double>(j) / static_cast<double>(period);
        out[2 * j] = static_cast<float>(std::cos(angle));
        out[2 * j + 1] = static_cast<float>(std::sin(angle));
    }
}

// Decimation in time: the last pass (radix r) combines the r transforms of the elements j with equal
// j mod r, each held in a contiguous block of length count / r, block j mod r; each block is laid out
// the same way by the passes before. A radix-4 pass is two radix-2 steps, so for powers of two this
// is the bit reversal.
void fill_input_order(int32_t* out, int64_t count) {
    if (count < 1) return;
    int steps[64];
    int step_count = 0;
    for (const int radix : Fft_Factors::of(count)) {
        if (radix == 4) {
            steps[step_count++] = 2;
            steps[step_count++] = 2;
        } else {
            steps[step_count++] = radix;
        }
    }
    for (int64_t j = 0; j < count; ++j) {
        int64_t position = 0, rest = j, block = count;
        for (int s = step_count - 1; s >= 0; --s) {
            block /= steps[s];
            position += rest % steps[s] * block;
            rest /= steps[s];
        }
        out[j] = static_cast<int32_t>(position);
    }
}

}  // namespace

Fft_Factors Fft_Factors::of(int64_t n) {
    ASSERT(is_fft_length(n), "no transform pass for length " << n);
    Fft_Factors f;
    int twos = 0;
    for (; n % 2 == 0; n /= 2) ++twos;
    if (twos % 2 == 1) f.radix[f.count++] = 2;
    for (int i = 0; i < twos / 2; ++i) f.radix[f.count++] = 4;
    for (const int radix : {3, 5})
        for (; n % radix == 0; n /= radix) f.radix[f.count++] = radix;
    return f;
}

Fft_Vector* Fft_Plan::scratch(int64_t thread) const {
    ASSERT(thread >= 0 && thread < worker_count);
    return reinterpret_cast<Fft_Vector*>(workers + thread * worker_row_bytes);
}

int64_t Fft_Plan::table_bytes(int64_t n, int64_t m) { return table_layout(n, m).total; }

Fft_Plan Fft_Plan::build(Mapped_Memory_2d& memory, int64_t n, int64_t m, int64_t worker_count) {
    const Table_Layout l = table_layout(n, m);
    auto* base = static_cast<std::byte*>(memory.data_device());
    const int64_t row_bytes = memory.row_bytes_device();
    ASSERT(reinterpret_cast<uintptr_t>(base) % 64 == 0 && row_bytes % 64 == 0);
    ASSERT(row_bytes >= l.total && memory.height() >= worker_count + 1);

    auto* row_twiddles = reinterpret_cast<float*>(base + l.row_twiddles);
    auto* real_twiddles = reinterpret_cast<float*>(base + l.real_twiddles);
    auto* column_twiddles = reinterpret_cast<float*>(base + l.column_twiddles);
    auto* row_order = reinterpret_cast<int32_t*>(base + l.row_order);
    auto* column_order = reinterpret_cast<int32_t*>(base + l.column_order);
    fill_twiddles(row_twiddles, n / 2, n / 2);
    fill_twiddles(real_twiddles, real_twiddle_count(n), n);
    fill_twiddles(column_twiddles, m, m);
    fill_input_order(row_order, n / 2);
    fill_input_order(column_order, m);

    Fft_Plan plan;
    plan.n = n;
    plan.m = m;
    plan.row_twiddles = row_twiddles;
    plan.real_twiddles = real_twiddles;
    plan.column_twiddles = column_twiddles;
    plan.row_order = row_order;
    plan.column_order = column_order;
    plan.workers = base + row_bytes;
    plan.worker_row_bytes = row_bytes;
    plan.worker_count = worker_count;
    return plan;
}

}  // namespace nb
