// The render context's iteration over the headless host's threads: distribution and failures; the
// plug-in binary's tests cancel renders on several threads.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
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
#include "tests/support/log_sandbox.h"
#include "tests/support/test_host.h"

namespace nb {
namespace {

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
    EXPECT_EQ(workers, (std::set<int64_t>{0, 1, 2, 3}));
    EXPECT_EQ(system_threads.size(), 4u);

    std::array<std::atomic<int>, 10> runs{};
    context.iterate(10, [&](const Iteration& item) {
        EXPECT_EQ(item.iterations, 10);
        runs.at(static_cast<size_t>(item.index)).fetch_add(1);
    });
    for (size_t index = 0; index < runs.size(); ++index) EXPECT_EQ(runs[index].load(), 1) << "index " << index;
}

// All four threads are held in their first item, so three of them are worker threads for sure. Worker
// failures reach the caller as host errors with their codes and are logged; an abort seen only by workers
// ends them quietly; an unknown failure writes the crash dump and passes on. The main thread's own host
// error travels as it is, unlogged.
TEST(AeHelperIterate, FailuresInThreadsReachTheCaller) {
    const struct {
        void (*failure)();
        bool main_thread;
        int32_t code;  // 0: nothing thrown; -1: the failure itself
        const char* entry;
    } cases[] = {
        {[] { throw std::bad_alloc(); }, false, 4, "-**### WARNING ###**-: caught out of memory Exeception in sub thread\n"},
        {[] { throw Exception_After_Effects("test failure", 513, "tests", 1); }, false, 513,
         "-**### WARNING ###**-: caught AE Exeception with code: 513( PF_Err_INVALID_INDEX) in sub thread\n"},
        {[] { throw Exception_Abort(); }, false, 0, nullptr},
        {[] { throw Exception_After_Effects("test failure", 516, "tests", 1); }, true, 516, nullptr},
        {[] { throw std::runtime_error("not ours"); }, false, -1,
         "-**###  ERROR  ###**-: Unknown Exception escaped in sub thread of iterate generic. Writing Error Log. "
         "Crashing now.\n"},
    };
    for (const auto& c : cases) {
        test::Log_Sandbox sandbox;
        test::Test_Host host(4);
        Render_Context context = host.context();
        std::latch all_arrived(4);
        const auto run = [&] {
            context.iterate(4, [&](const Iteration& item) {
                all_arrived.arrive_and_wait();
                if ((item.thread == 0) == c.main_thread) c.failure();
            });
        };
        int32_t thrown = 0;
        try {
            run();
        } catch (const Exception_After_Effects& e) {
            thrown = e.code;
        } catch (const std::runtime_error&) {
            thrown = -1;
        }
        EXPECT_EQ(thrown, c.code);
        // The error entry goes out with the crash dump, so the log is read back from there too.
        std::string logged;
        for (const std::string& entry : log_instance().remembered()) logged += entry;
        for (const auto& file : std::filesystem::directory_iterator(sandbox.folder()))
            if (file.path().extension() == ".crash") logged += test::Log_Sandbox::read(file.path().string());
        EXPECT_EQ(logged.find(c.entry ? c.entry : "in sub thread") != std::string::npos, c.entry != nullptr) << logged;
    }
}

}  // namespace
}  // namespace nb
