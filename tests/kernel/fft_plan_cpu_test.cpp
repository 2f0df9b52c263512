// The per-worker scratch rows of a transform plan; its tables are checked through the transforms.
#include "kernel/fft_plan_cpu.h"

#include <gtest/gtest.h>

#include "tests/support/assertion_check.h"
#include "tests/support/log_sandbox.h"
#include "tests/support/test_host.h"

namespace nb {
namespace {

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
