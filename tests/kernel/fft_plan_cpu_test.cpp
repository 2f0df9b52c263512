// Twiddle and bit-reversal tables of a transform plan, and the per-worker scratch rows.
#include "kernel/fft_plan_cpu.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <set>

#include "tests/support/assertion_check.h"
#include "tests/support/log_sandbox.h"
#include "tests/support/test_host.h"

namespace nb {
namespace {

// Each table entry is e^(2 pi i j / period) rounded once to float: within half an ulp of 1.
void expect_twiddles(const float* table, int64_t count, int64_t period, const char* name) {
    for (int64_t j = 0; j < count; ++j) {
        const double angle = 2.0 * std::numbers::pi * static_cast<double>(j) / static_cast<double>(period);
        ASSERT_NEAR(table[2 * j], std::cos(angle), std::numeric_limits<float>::epsilon()) << name << " " << j;
        ASSERT_NEAR(table[2 * j + 1], std::sin(angle), std::numeric_limits<float>::epsilon()) << name << " " << j;
    }
}

// A bit reversal is an involution that maps 1 to count / 2.
void expect_bit_reversal(const int32_t* order, int64_t count, const char* name) {
    std::set<int32_t> seen(order, order + count);
    EXPECT_EQ(static_cast<int64_t>(seen.size()), count) << name;
    for (int64_t i = 0; i < count; ++i) ASSERT_EQ(order[order[i]], i) << name << " " << i;
    if (count > 1) {
        EXPECT_EQ(order[1], count / 2) << name;
    }
}

TEST(FftPlan, TablesHoldTwiddlesAndBitReversals) {
    test::Test_Host host(1);
    const Render_Context context = host.context();
    for (const auto& [n, m] : {std::pair<int64_t, int64_t>{64, 16}, {4, 128}, {1, 1}, {2, 2}}) {
        const auto memory = context.allocate_memory_2d(Fft_Plan::table_bytes(n, m), 3);
        const Fft_Plan plan = Fft_Plan::build(*memory, n, m, 2);
        expect_twiddles(plan.row_twiddles, n / 4, n / 2, "row");
        expect_twiddles(plan.real_twiddles, n / 4, n, "real");
        expect_twiddles(plan.column_twiddles, m / 2, m, "column");
        expect_bit_reversal(plan.row_order, n / 2, "row order");
        expect_bit_reversal(plan.column_order, m, "column order");
    }
}

TEST(FftPlan, EveryWorkerHasItsOwnAlignedRowAndNoMore) {
    const test::Log_Sandbox log;
    test::Test_Host host(1);
    const auto memory = host.context().allocate_memory_2d(Fft_Plan::table_bytes(8, 8), 4);
    const Fft_Plan plan = Fft_Plan::build(*memory, 8, 8, 3);
    for (int64_t t = 0; t < 3; ++t) {
        const auto* row = reinterpret_cast<const std::byte*>(plan.scratch(t));
        EXPECT_EQ(reinterpret_cast<uintptr_t>(row) % 64, 0u) << t;
        EXPECT_EQ(row - static_cast<const std::byte*>(memory->data_device()), (t + 1) * memory->row_bytes_device());
    }
    EXPECT_TRUE(test::fails_assertion([&] { plan.scratch(3); }, "thread >= 0 && thread < worker_count",
                                      "kernel/fft_plan_cpu"));
}

}  // namespace
}  // namespace nb
