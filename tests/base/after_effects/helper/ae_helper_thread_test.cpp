// The render context's iteration over the headless host's threads: distribution, abort, failures.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <mutex>
#include <new>
#include <set>
#include <thread>

#include "base/exception.h"
#include "base/log.h"
#include "tests/support/test_host.h"
#include "util/kernel.h"

namespace nb {
namespace {

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

}  // namespace
}  // namespace nb
