// Host allocation and the single-threaded services of the render context over the headless host.
#include "base/after_effects/helper/ae_helper.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "base/exception.h"
#include "host/effect_instance.h"
#include "host/headless_host.h"
#include "tests/support/assertion_check.h"
#include "tests/support/test_host.h"

namespace nb {
namespace {

bool aligned_64(const void* pointer) { return reinterpret_cast<std::uintptr_t>(pointer) % 64 == 0; }

TEST(AeHelperAllocate, BlocksAreAlignedWritableAndGivenBack) {
    host::Headless_Host host(1);
    for (int64_t bytes : {0, 1, 7, 63, 64, 65, 4095, 4096, 3 * 4096 + 5, 1 << 20}) {
        void* block = ae::allocate(bytes, host.basic_suite());
        ASSERT_NE(block, nullptr) << bytes << " bytes";
        EXPECT_TRUE(aligned_64(block)) << bytes << " bytes";
        std::memset(block, 0xa5, static_cast<size_t>(bytes));
        // The handle needs 8 bytes below the block and up to 63 more for the alignment.
        EXPECT_EQ(host.handles().live_bytes(), bytes + 8 + 64) << bytes << " bytes";
        ae::free(block, host.basic_suite());
        EXPECT_EQ(host.handles().live_handles(), 0) << bytes << " bytes";
    }
    EXPECT_EQ(host.outstanding_suites(), 0);
    EXPECT_EQ(host.handles().foreign_handles(), 0);
}

// A refused handle or lock is the standard allocation failure and leaves no handle behind.
TEST(AeHelperAllocate, FailuresAreThrownAndLeaveNothing) {
    host::Headless_Host host(1);
    host.handles().fail_allocation_at(1);
    EXPECT_THROW(ae::allocate(100, host.basic_suite()), std::bad_alloc);
    host.handles().fail_lock_at(1);
    EXPECT_THROW(ae::allocate(100, host.basic_suite()), std::bad_alloc);
    EXPECT_EQ(host.handles().live_handles(), 0);
    EXPECT_THROW(ae::allocate(-1, host.basic_suite()), Exception_Assert);
    EXPECT_EQ(host.outstanding_suites(), 0);
    host.withdraw_suite(kPFHandleSuite, kPFHandleSuiteVersion1);
    EXPECT_TRUE(test::throws_with<Exception_Ae_Suite>([&] { ae::allocate(100, host.basic_suite()); },
                                                      "Can't AcquireSuite (PF Handle Suite, 2)", kSPSuiteNotFoundError));
}

TEST(AeHelperRenderContext, MemoryFactoriesHandOutTwinsOfOneLazyBlock) {
    test::Test_Host host(1);
    Render_Context context = host.context();
    EXPECT_EQ(context.render_pipeline(), 0);
    {
        auto linear = context.allocate_memory(100);
        auto planar = context.allocate_memory_2d(65, 3);
        EXPECT_EQ(host.live_handles(), 0);  // lazy: nothing yet
        EXPECT_EQ(linear->size(), 100);
        EXPECT_EQ(linear->data_cpu(), linear->data_device());
        EXPECT_TRUE(aligned_64(linear->data_cpu()));
        EXPECT_EQ(planar->row_bytes(), 128);
        EXPECT_EQ(planar->row_bytes_device(), 128);
        EXPECT_EQ(planar->data_cpu(), planar->data_device());
        EXPECT_EQ(host.live_handles(), 2);
        EXPECT_GE(host.peak_bytes(), 100 + 128 * 3);
    }
    EXPECT_EQ(host.live_handles(), 0);
    EXPECT_EQ(context.scope_section("any"), nullptr);
}

TEST(AeHelperRenderContext, ThreadCountHonoursTheLimit) {
    test::Test_Host host(8);
    Render_Context context = host.context();
    EXPECT_EQ(context.thread_count(0), 8);
    EXPECT_EQ(context.thread_count(2), 2);
    EXPECT_EQ(context.thread_count(100), 8);
    EXPECT_EQ(context.thread_count(-3), 8);
}

// A host without generic iteration still gets every item done, on the calling thread.
TEST(AeHelperRenderContext, HostWithoutGenericIterationRunsItemsOnTheCallingThread) {
    test::Test_Host host(4);
    host.effect().in_data()->utils->iterate_generic = nullptr;
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
}

TEST(AeHelperRenderContext, CheckAbortOnTheMainThreadAsksTheHost) {
    test::Test_Host host(1);
    Render_Context context = host.context();
    host.arm_abort_at(3);
    EXPECT_NO_THROW(context.check_abort());
    EXPECT_NO_THROW(context.check_abort());
    EXPECT_THROW(context.check_abort(), Exception_Abort);
    EXPECT_EQ(host.abort_calls(), 3);

    test::Test_Host without(1);
    without.effect().in_data()->inter.abort = nullptr;
    EXPECT_NO_THROW(without.context().check_abort()) << "no callback means no abort";
}

TEST(AeHelperRenderContext, OtherThreadsReadTheFlagInsteadOfAskingTheHost) {
    test::Test_Host host(1);
    Render_Context context = host.context();
    host.arm_abort_at(1);
    bool threw_before = false;
    bool threw_after = false;
    std::thread([&] {
        try {
            context.check_abort();
        } catch (const Exception_Abort&) {
            threw_before = true;
        }
    }).join();
    EXPECT_THROW(context.check_abort(), Exception_Abort);  // sets the flag
    std::thread([&] {
        try {
            context.check_abort();
        } catch (const Exception_Abort&) {
            threw_after = true;
        }
    }).join();
    EXPECT_FALSE(threw_before);
    EXPECT_TRUE(threw_after);
    EXPECT_EQ(host.abort_calls(), 1);
}

}  // namespace
}  // namespace nb
