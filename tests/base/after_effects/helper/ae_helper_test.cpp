// Host allocation and the single-threaded services of the render context over the headless host.
#include "base/after_effects/helper/ae_helper.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <new>
#include <thread>
#include <vector>

#include "base/exception.h"
#include "host/effect_instance.h"
#include "host/headless_host.h"
#include "tests/support/test_host.h"

namespace nb {
namespace {

bool aligned_64(const void* pointer) { return reinterpret_cast<std::uintptr_t>(pointer) % 64 == 0; }

// The handle needs 8 bytes below the block and up to 63 more for the alignment. A refused handle or lock
// is the standard allocation failure and leaves no handle behind.
TEST(AeHelperAllocate, BlocksAreAlignedWritableAndGivenBack) {
    host::Headless_Host host(1);
    for (int64_t bytes : {0, 1, 63, 64, 65, 3 * 4096 + 5}) {
        void* block = ae::allocate(bytes, host.basic_suite());
        ASSERT_NE(block, nullptr) << bytes << " bytes";
        EXPECT_TRUE(aligned_64(block)) << bytes << " bytes";
        std::memset(block, 0xa5, static_cast<size_t>(bytes));
        EXPECT_EQ(host.handles().live_bytes(), bytes + 8 + 64) << bytes << " bytes";
        ae::free(block, host.basic_suite());
        EXPECT_EQ(host.handles().live_handles(), 0) << bytes << " bytes";
    }
    host.handles().fail_allocation_at(1);
    EXPECT_THROW(ae::allocate(100, host.basic_suite()), std::bad_alloc);
    host.handles().fail_lock_at(1);
    EXPECT_THROW(ae::allocate(100, host.basic_suite()), std::bad_alloc);
    EXPECT_EQ(host.handles().live_handles(), 0);
    EXPECT_EQ(host.outstanding_suites(), 0);
    EXPECT_EQ(host.handles().foreign_handles(), 0);
}

TEST(AeHelperRenderContext, MemoryFactoriesHandOutTwinsOfOneLazyBlock) {
    test::Test_Host host(1);
    Render_Context context = host.context();
    {
        auto linear = context.allocate_memory(100);
        auto planar = context.allocate_memory_2d(65, 3);
        EXPECT_EQ(host.live_handles(), 0);  // lazy: nothing yet
        EXPECT_EQ(linear->size(), 100);
        EXPECT_EQ(linear->data_cpu(), linear->data_device());
        EXPECT_EQ(planar->row_bytes(), 128);
        EXPECT_EQ(planar->row_bytes_device(), 128);
        EXPECT_EQ(planar->data_cpu(), planar->data_device());
        EXPECT_EQ(host.live_handles(), 2);
    }
    EXPECT_EQ(host.live_handles(), 0);
}

TEST(AeHelperRenderContext, ThreadCountHonoursTheLimit) {
    test::Test_Host host(8);
    Render_Context context = host.context();
    for (const auto& [limit, count] : {std::pair<int64_t, int64_t>{0, 8}, {2, 2}, {100, 8}, {-3, 8}})
        EXPECT_EQ(context.thread_count(limit), count) << "limit " << limit;
}

// A host without generic iteration still gets every item done, on the calling thread; without an abort
// callback nothing aborts.
TEST(AeHelperRenderContext, HostWithoutGenericIterationOrAbortRunsItemsOnTheCallingThread) {
    test::Test_Host host(4);
    host.effect().in_data()->utils->iterate_generic = nullptr;
    host.effect().in_data()->inter.abort = nullptr;
    Render_Context context = host.context();
    EXPECT_EQ(context.thread_count(0), 1);
    const std::thread::id caller = std::this_thread::get_id();
    std::vector<int64_t> order;
    context.iterate(5, [&](const Iteration& item) {
        EXPECT_EQ(item.thread, 0);
        EXPECT_EQ(item.threads, 1);
        EXPECT_EQ(item.iterations, 5);
        EXPECT_EQ(std::this_thread::get_id(), caller);
        order.push_back(item.index);
    });
    EXPECT_EQ(order, (std::vector<int64_t>{0, 1, 2, 3, 4}));
    EXPECT_THROW(context.iterate(3, [](const Iteration&) { throw std::bad_alloc(); }), Exception_After_Effects);
    EXPECT_NO_THROW(context.check_abort());
}

}  // namespace
}  // namespace nb
