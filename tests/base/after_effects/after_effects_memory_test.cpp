// Lazy host-allocated blocks: row layout, one allocation on first use, nothing asked of the host unused.
#include "base/after_effects/after_effects_memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "host/headless_host.h"

namespace nb {
namespace {

bool aligned_64(const void* pointer) { return reinterpret_cast<std::uintptr_t>(pointer) % 64 == 0; }

TEST(MemoryAeLazy, RowsRoundUpToSixtyFourBytesAndTheBlockIsAllocatedOnceOnFirstUse) {
    host::Headless_Host host(1);
    for (const auto& [width, row_bytes] : {std::pair<int64_t, int64_t>{0, 0}, {1, 64}, {64, 64}, {65, 128}, {1000, 1024}})
        EXPECT_EQ(Memory_2d_Cpu_AE_Lazy(host.basic_suite(), width, 3).row_bytes(), row_bytes) << "width " << width;
    EXPECT_EQ(host.handles().allocations(), 0) << "unused blocks ask nothing of the host";
    {
        Memory_2d_Cpu_AE_Lazy block(host.basic_suite(), 65, 4);
        Memory_Cpu_AE_Lazy linear(host.basic_suite(), 1000);
        void* first = block.data();
        EXPECT_EQ(block.data(), first);
        EXPECT_TRUE(aligned_64(first));
        EXPECT_TRUE(aligned_64(linear.data()));
        EXPECT_EQ(linear.data(), linear.data());
        EXPECT_EQ(host.handles().allocations(), 2);
        // Every row is writable up to row_bytes; a sanitizer would catch a short block.
        std::memset(first, 0x5a, static_cast<size_t>(block.row_bytes() * block.height()));
        std::memset(linear.data(), 0x5a, 1000);
    }
    EXPECT_EQ(host.handles().live_handles(), 0);
    EXPECT_EQ(host.outstanding_suites(), 0);
}

// The failure is not remembered: the next use asks again.
TEST(MemoryAeLazy, FailuresAreStandardAllocationFailures) {
    host::Headless_Host host(1);
    host.handles().fail_allocation_at(1);
    Memory_Cpu_AE_Lazy block(host.basic_suite(), 64);
    EXPECT_THROW(block.data(), std::bad_alloc);
    EXPECT_TRUE(aligned_64(block.data()));
    Memory_2d_Cpu_AE_Lazy huge(host.basic_suite(), int64_t{1} << 40, int64_t{1} << 40);
    EXPECT_THROW(huge.data(), std::bad_alloc);
    EXPECT_EQ(host.handles().allocations(), 2) << "the huge block never reaches the host";
}

}  // namespace
}  // namespace nb
