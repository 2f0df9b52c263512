// Lazy host-allocated blocks: row layout, single allocation, nothing asked of the host when unused.
#include "base/after_effects/after_effects_memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "base/exception.h"
#include "host/headless_host.h"

namespace nb {
namespace {

bool aligned_64(const void* pointer) { return reinterpret_cast<std::uintptr_t>(pointer) % 64 == 0; }

struct Row_Case {
    int64_t width;
    int64_t row_bytes;
};

class Memory2dCpuAeLazyRows : public ::testing::TestWithParam<Row_Case> {};

TEST_P(Memory2dCpuAeLazyRows, RowBytesRoundUpToSixtyFour) {
    host::Headless_Host host(1);
    Memory_2d_Cpu_AE_Lazy block(host.basic_suite(), GetParam().width, 3);
    EXPECT_EQ(block.row_bytes(), GetParam().row_bytes) << "width " << GetParam().width;
}

INSTANTIATE_TEST_SUITE_P(Widths, Memory2dCpuAeLazyRows,
                         ::testing::Values(Row_Case{0, 0}, Row_Case{1, 64}, Row_Case{63, 64}, Row_Case{64, 64},
                                           Row_Case{65, 128}, Row_Case{1000, 1024}));

TEST(Memory2dCpuAeLazy, AllocatesOnceOnFirstUseAndFreesWithTheBlock) {
    host::Headless_Host host(1);
    {
        Memory_2d_Cpu_AE_Lazy block(host.basic_suite(), 65, 4);
        void* first = block.data();
        EXPECT_EQ(block.data(), first);
        EXPECT_TRUE(aligned_64(first));
        EXPECT_EQ(host.handles().allocations(), 1);
        // Every row is writable up to row_bytes; a sanitizer would catch a short block.
        std::memset(first, 0x5a, static_cast<size_t>(block.row_bytes() * block.height()));
        EXPECT_GE(host.handles().live_bytes(), 128 * 4);
    }
    EXPECT_EQ(host.handles().live_handles(), 0);
    EXPECT_EQ(host.outstanding_suites(), 0);
}

TEST(MemoryCpuAeLazy, AllocatesOnceOnFirstUseAndFreesWithTheBlock) {
    host::Headless_Host host(1);
    {
        Memory_Cpu_AE_Lazy block(host.basic_suite(), 1000);
        void* first = block.data();
        EXPECT_EQ(block.data(), first);
        EXPECT_TRUE(aligned_64(first));
        std::memset(first, 0x5a, 1000);
        EXPECT_EQ(host.handles().allocations(), 1);
    }
    EXPECT_EQ(host.handles().live_handles(), 0);
}

// Without a broker a never-used block must still be destroyable: freeing is skipped, not attempted.
TEST(MemoryCpuAeLazy, UnusedBlockAsksNothingOfTheHost) {
    host::Headless_Host host(1);
    {
        Memory_Cpu_AE_Lazy block(host.basic_suite(), 1000);
        Memory_2d_Cpu_AE_Lazy block_2d(host.basic_suite(), 100, 10);
    }
    EXPECT_EQ(host.handles().allocations(), 0);
    EXPECT_EQ(host.outstanding_suites(), 0);
    EXPECT_NO_THROW({ Memory_Cpu_AE_Lazy block(nullptr, 16); });
    EXPECT_NO_THROW({ Memory_2d_Cpu_AE_Lazy block(nullptr, 16, 16); });
}

TEST(MemoryCpuAeLazy, NegativeSizesAreRefused) {
    EXPECT_THROW(Memory_Cpu_AE_Lazy(nullptr, -1), Exception_Assert);
    EXPECT_THROW(Memory_2d_Cpu_AE_Lazy(nullptr, -1, 1), Exception_Assert);
    EXPECT_THROW(Memory_2d_Cpu_AE_Lazy(nullptr, 1, -1), Exception_Assert);
}

TEST(MemoryCpuAeLazy, HostOutOfMemoryIsStandardAllocationFailure) {
    host::Headless_Host host(1);
    host.handles().fail_allocation_at(1);
    Memory_Cpu_AE_Lazy block(host.basic_suite(), 64);
    EXPECT_THROW(block.data(), std::bad_alloc);
    // The failure is not remembered: the next use asks again.
    EXPECT_TRUE(aligned_64(block.data()));
}

TEST(Memory2dCpuAeLazy, SizeBeyondAnyHostIsAllocationFailure) {
    host::Headless_Host host(1);
    Memory_2d_Cpu_AE_Lazy block(host.basic_suite(), int64_t{1} << 40, int64_t{1} << 40);
    EXPECT_THROW(block.data(), std::bad_alloc);
    EXPECT_EQ(host.handles().allocations(), 0);
}

}  // namespace
}  // namespace nb
