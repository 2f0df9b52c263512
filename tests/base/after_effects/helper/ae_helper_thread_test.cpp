// The render context's iteration over the headless host's threads: distribution, abort, failures.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <latch>
#include <mutex>
#include <new>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>

#include "base/exception.h"
#include "base/log.h"
#include "tests/support/assertion_check.h"
#include "tests/support/log_sandbox.h"
#include "tests/support/test_host.h"
#include "util/kernel.h"

namespace nb {
namespace {

bool log_contains(const std::string& text) {
    for (const std::string& entry : log_instance().remembered()) {
        if (entry.find(text) != std::string::npos) return true;
    }
    return false;
}

TEST(AeHelperIterate, EveryIndexRunsOnceOverFourThreads) {
    test::Test_Host host(4);
    Render_Context context = host.context();
    std::array<std::atomic<int>, 10> runs{};
    std::mutex mutex;
    std::set<int64_t> workers;
    std::set<int64_t> thread_counts;
    context.iterate(10, [&](const Iteration& item) {
        runs[static_cast<size_t>(item.index)].fetch_add(1);
        std::lock_guard<std::mutex> lock(mutex);
        workers.insert(item.thread);
        thread_counts.insert(item.threads);
        EXPECT_EQ(item.iterations, 10);
    });
    for (size_t index = 0; index < runs.size(); ++index) EXPECT_EQ(runs[index].load(), 1) << "index " << index;
    EXPECT_EQ(thread_counts, std::set<int64_t>{4});
    for (int64_t worker : workers) EXPECT_TRUE(worker >= 0 && worker <= 3) << "worker number " << worker;
}

// Each host thread takes part once; with a latch holding every thread in its first item, each
// participant is seen, the calling thread as worker 0 and the others numbered 1..3.
TEST(AeHelperIterate, EveryHostThreadTakesPartWithItsOwnNumber) {
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
        if (item.thread == 0) {
            EXPECT_EQ(std::this_thread::get_id(), caller);
        }
    });
    EXPECT_EQ(workers, (std::set<int64_t>{0, 1, 2, 3}));
    EXPECT_EQ(system_threads.size(), 4u);
}

TEST(AeHelperIterate, LaunchOfNothingStillAsksTheHostAndChecksForAbort) {
    test::Test_Host host(4);
    Render_Context context = host.context();
    std::atomic<int> items{0};
    launch(0, [&](const Iteration&, Render_Context, int) { items.fetch_add(1); }, context, 0);
    EXPECT_EQ(items.load(), 0);
    EXPECT_EQ(host.iterate_calls(), 2);  // one to count the threads, one to iterate
    EXPECT_EQ(host.abort_calls(), 1);    // the check that ends every launch
}

// The main thread sees the cancel after its fifth row; the others stop after the row they are in.
TEST(AeHelperIterate, AbortOnTheMainThreadStopsEveryThread) {
    test::Test_Host host(4);
    Render_Context context = host.context();
    host.arm_abort_at(5);
    constexpr int rows = 400;
    std::array<std::atomic<int>, 4> rows_by_worker{};
    std::array<std::atomic<int>, 4> rows_started_after_abort{};
    auto row = [&](const Iteration& item, Render_Context row_context, int) {
        const bool aborted = host.abort_calls() >= 5;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        rows_by_worker[static_cast<size_t>(item.thread)].fetch_add(1);
        if (aborted) rows_started_after_abort[static_cast<size_t>(item.thread)].fetch_add(1);
        row_context.check_abort();
    };
    EXPECT_THROW(launch(rows, row, context, 0), Exception_Abort);
    EXPECT_EQ(rows_by_worker[0].load(), 5);
    int done = 0;
    for (size_t worker = 0; worker < 4; ++worker) {
        done += rows_by_worker[worker].load();
        // The flag follows the host's answer at once; a row may slip in between the two.
        EXPECT_LE(rows_started_after_abort[worker].load(), 1) << "worker " << worker;
    }
    EXPECT_LT(done, rows);
    EXPECT_EQ(host.abort_calls(), 5);  // only the main thread asked
}

// All four threads are held in their first item, so three of them are worker threads for sure.
template <class Failure>
void fail_on_worker_threads(test::Test_Host& host, const Failure& failure) {
    Render_Context context = host.context();
    std::latch all_arrived(4);
    context.iterate(4, [&](const Iteration& item) {
        all_arrived.arrive_and_wait();
        if (item.thread != 0) failure();
    });
}

// Worker failures reach the caller as host errors with their codes, and are logged.
TEST(AeHelperIterate, WorkerFailuresBecomeHostErrorsWithTheirCodes) {
    const struct {
        void (*failure)();
        int32_t code;
        const char* entry;
    } cases[] = {
        {[] { throw std::bad_alloc(); }, 4, "caught out of memory Exeception in sub thread\n"},
        {[] { throw Exception_After_Effects("test failure", 513, "tests", 1); }, 513,
         "caught AE Exeception with code: 513( PF_Err_INVALID_INDEX) in sub thread\n"},
    };
    for (const auto& c : cases) {
        test::Log_Sandbox sandbox;
        test::Test_Host host(4);
        EXPECT_TRUE(test::throws_with<Exception_After_Effects>([&] { fail_on_worker_threads(host, c.failure); },
                                                               nullptr, c.code))
            << c.entry;
        EXPECT_TRUE(log_contains(std::string(warning_prefix) + c.entry)) << c.entry;
    }
}

TEST(AeHelperIterate, HostErrorOnTheMainThreadTravelsWithItsCode) {
    test::Log_Sandbox sandbox;
    test::Test_Host host(4);
    Render_Context context = host.context();
    std::latch all_arrived(4);
    EXPECT_TRUE(test::throws_with<Exception_After_Effects>(
        [&] {
            context.iterate(4, [&](const Iteration& item) {
                all_arrived.arrive_and_wait();
                if (item.thread == 0) throw Exception_After_Effects("test failure", 516, "tests", 1);
            });
        },
        nullptr, 516));
    // Only worker threads report their failures in the log; the main thread's travels as it is.
    EXPECT_FALSE(log_contains("in sub thread"));
}

TEST(AeHelperIterate, AbortSeenOnlyByWorkersEndsThemQuietly) {
    test::Test_Host host(4);
    EXPECT_NO_THROW(fail_on_worker_threads(host, [] { throw Exception_Abort(); }));
}

TEST(AeHelperIterate, UnknownFailureInAWorkerIsLoggedAndPassedOn) {
    test::Log_Sandbox sandbox;
    test::Test_Host host(4);
    EXPECT_THROW(fail_on_worker_threads(host, [] { throw std::runtime_error("not ours"); }), std::runtime_error);
    // The error entry goes out with the crash dump, so it is read back from the dump.
    std::string dumped;
    for (const auto& file : std::filesystem::directory_iterator(sandbox.folder())) {
        if (file.path().extension() == ".crash") dumped += test::Log_Sandbox::read(file.path().string());
    }
    const std::string entry = std::string(error_prefix) +
                              "Unknown Exception escaped in sub thread of iterate generic. Writing Error Log. "
                              "Crashing now.\n";
    EXPECT_NE(dumped.find(entry), std::string::npos) << "crash dump: " << dumped;
}

}  // namespace
}  // namespace nb
