// Host allocation, the lazy blocks over it, and the render context's iteration over the headless host's
// threads: distribution, a host without threads, failures. The plug-in binary's tests cancel renders on
// several threads.
#include "base/after_effects/helper/ae_helper.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <latch>
#include <mutex>
#include <new>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "base/after_effects/after_effects_memory.h"
#include "base/exception.h"
#include "base/log.h"
#include "host/effect_instance.h"
#include "host/headless_host.h"
#include "tests/support/log_sandbox.h"
#include "tests/support/test_host.h"

namespace nb {
namespace {

bool aligned_64(const void* pointer) { return reinterpret_cast<std::uintptr_t>(pointer) % 64 == 0; }

// The handle needs 8 bytes below the block and up to 63 more for the alignment. A refused handle or lock
// is the standard allocation failure and leaves no handle behind.
TEST(AeHelperAllocate, BlocksAreAlignedAndGivenBackAndLazyOnesAskOnceOnFirstUse) {
    host::Headless_Host host(1);
    for (int64_t bytes : {0, 1, 63, 64, 65, 3 * 4096 + 5}) {
        void* block = ae::allocate(bytes, host.basic_suite(), bytes % 2 == 0);
        ASSERT_TRUE(block != nullptr && aligned_64(block)) << bytes << " bytes";
        std::memset(block, 0xa5, static_cast<size_t>(bytes));
        EXPECT_EQ(host.handles().live_bytes(), bytes + 8 + 64) << bytes << " bytes";
        ae::free(block, host.basic_suite());
        EXPECT_EQ(host.handles().live_handles(), 0) << bytes << " bytes";
    }
    host.handles().fail_allocation_at(1);
    EXPECT_THROW(ae::allocate(100, host.basic_suite(), true), std::bad_alloc);
    host.handles().fail_lock_at(1);
    EXPECT_THROW(ae::allocate(100, host.basic_suite(), true), std::bad_alloc);
    EXPECT_EQ(host.handles().live_handles() + host.outstanding_suites() + host.handles().foreign_handles(), 0);
    const int64_t earlier = host.handles().allocations();

    // Rows round up to 64 bytes; a lazy block asks the host once, on first use, and a failure is not
    // remembered.
    for (const auto& [width, row_bytes] : {std::pair<int64_t, int64_t>{0, 0}, {1, 64}, {64, 64}, {65, 128}, {1000, 1024}})
        EXPECT_EQ(Memory_2d_Cpu_AE_Lazy(host.basic_suite(), true, width, 3).row_bytes(), row_bytes) << "width " << width;
    EXPECT_EQ(host.handles().allocations(), earlier) << "unused blocks ask nothing of the host";
    host.handles().fail_allocation_at(1);
    Memory_Cpu_AE_Lazy linear(host.basic_suite(), false, 1000);
    EXPECT_THROW(linear.data(), std::bad_alloc);
    void* first = linear.data();
    EXPECT_TRUE(first == linear.data() && aligned_64(first));
    std::memset(first, 0x5a, 1000);
    Memory_2d_Cpu_AE_Lazy huge(host.basic_suite(), true, int64_t{1} << 40, int64_t{1} << 40);
    EXPECT_THROW(huge.data(), std::bad_alloc);
    EXPECT_EQ(host.handles().allocations(), earlier + 2) << "the huge block never reaches the host";
}

// A host without generic iteration still gets every item done, on the calling thread; without an abort
// callback nothing aborts. The thread count honours a limit.
TEST(AeHelperRenderContext, HostWithoutGenericIterationOrAbortRunsItemsOnTheCallingThread) {
    test::Test_Host eight(8);
    for (const auto& [limit, count] : {std::pair<int64_t, int64_t>{0, 8}, {2, 2}, {100, 8}, {-3, 8}})
        EXPECT_EQ(eight.context().thread_count(limit), count) << "limit " << limit;
    test::Test_Host host(4);
    host.effect().in_data()->utils->iterate_generic = nullptr;
    host.effect().in_data()->inter.abort = nullptr;
    Render_Context context = host.context();
    EXPECT_EQ(context.thread_count(0), 1);
    const std::thread::id caller = std::this_thread::get_id();
    std::vector<int64_t> order;
    context.iterate(5, [&](const Iteration& item) {
        EXPECT_EQ(std::tuple(item.thread, item.threads, item.iterations, std::this_thread::get_id()), std::tuple(0, 1, 5, caller));
        order.push_back(item.index);
    });
    EXPECT_EQ(order, (std::vector<int64_t>{0, 1, 2, 3, 4}));
    EXPECT_THROW(context.iterate(3, [](const Iteration&) { throw std::bad_alloc(); }), Exception_After_Effects);
    EXPECT_NO_THROW(context.check_abort());
}

// With a latch holding every thread in its first item, each host thread takes part once with its own
// number, the calling thread as worker 0; with more items than threads each still runs once.
TEST(AeHelperIterate, EveryHostThreadTakesPartAndEveryIndexRunsOnce) {
    test::Test_Host host(4);
    Render_Context context = host.context();
    std::latch all_arrived(4);
    std::mutex mutex;
    std::set<int64_t> workers;
    std::set<std::thread::id> system_threads;
    const std::thread::id caller = std::this_thread::get_id();
    context.iterate(4, [&](const Iteration& item) {
        all_arrived.arrive_and_wait();
        std::lock_guard<std::mutex> lock(mutex);
        workers.insert(item.thread);
        system_threads.insert(std::this_thread::get_id());
        EXPECT_TRUE(item.threads == 4 && (item.thread != 0 || std::this_thread::get_id() == caller));
    });
    EXPECT_EQ(std::pair(workers, system_threads.size()), std::pair(std::set<int64_t>{0, 1, 2, 3}, size_t{4}));

    std::array<std::atomic<int64_t>, 10> runs{};  // each index adds the count of items it is told of: 10, once
    context.iterate(10, [&](const Iteration& item) { runs.at(static_cast<size_t>(item.index)) += item.iterations; });
    for (size_t index = 0; index < runs.size(); ++index) EXPECT_EQ(runs[index].load(), 10) << "index " << index;
}

// All four threads are held in their first item, so three of them are worker threads for sure. Worker
// failures reach the caller as host errors with their codes and are logged; an abort seen only by workers
// ends them quietly; an unknown failure writes the crash dump and passes on. The main thread's own host
// error travels as it is, unlogged.
TEST(AeHelperIterate, FailuresInThreadsReachTheCaller) {
    // The failure, whether the main thread throws it, the code thrown (0: nothing; -1: the failure itself),
    // the entry logged.
    const std::tuple<void (*)(), bool, int32_t, const char*> cases[] = {
        {[] { throw std::bad_alloc(); }, false, 4, "-**### WARNING ###**-: caught out of memory Exeception in sub thread\n"},
        {[] { throw Exception_After_Effects("test failure", 513, "tests", 1); }, false, 513,
         "-**### WARNING ###**-: caught AE Exeception with code: 513( PF_Err_INVALID_INDEX) in sub thread\n"},
        {[] { throw Exception_Abort(); }, false, 0, nullptr},
        {[] { throw Exception_After_Effects("test failure", 516, "tests", 1); }, true, 516, nullptr},
        {[] { throw std::runtime_error("not ours"); }, false, -1,
         "-**###  ERROR  ###**-: Unknown Exception escaped in sub thread of iterate generic. Writing Error Log. "
         "Crashing now.\n"},
    };
    for (const auto& [failure, main_thread, code, entry] : cases) {
        test::Log_Sandbox sandbox;
        test::Test_Host host(4);
        std::latch all_arrived(4);
        int32_t thrown = 0;
        try {
            host.context().iterate(4, [&, failure = failure, main_thread = main_thread](const Iteration& item) {
                all_arrived.arrive_and_wait();
                if ((item.thread == 0) == main_thread) failure();
            });
        } catch (const Exception_After_Effects& e) {
            thrown = e.code;
        } catch (const std::runtime_error&) {
            thrown = -1;
        }
        EXPECT_EQ(thrown, code);
        // The error entry goes out with the crash dump, so the log is read back from there too.
        std::string logged;
        for (const std::string& entry : log_instance().remembered()) logged += entry;
        for (const auto& file : std::filesystem::directory_iterator(sandbox.folder()))
            if (file.path().extension() == ".crash") logged += test::Log_Sandbox::read(file.path().string());
        EXPECT_EQ(logged.find(entry ? entry : "in sub thread") != std::string::npos, entry != nullptr) << logged;
    }
}

}  // namespace
}  // namespace nb
