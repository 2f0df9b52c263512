// Concurrency tests of the timing table: timers opened and ended on many threads lose no entry.
#include "util/timing.h"

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "base/log.h"
#include "tests/support/log_sandbox.h"

namespace nb {
namespace {

int64_t count_entries(const Timing_Table::Timing& entry) {
    int64_t count = static_cast<int64_t>(entry.children.size());
    for (const auto& child : entry.children) count += count_entries(*child);
    return count;
}

TEST(TimingTableThreads, EveryTimerOpenedOnAnyThreadIsRecorded) {
    test::Log_Sandbox sandbox;
    sandbox.create_log_file();
    log("timing threads\n", 0);

    constexpr int threads = 4;
    constexpr int timers_per_thread = 200;
    Timing_Table table;
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([&table, t] {
            for (int i = 0; i < timers_per_thread; ++i) {
                auto timer = table.scope_timer("worker " + std::to_string(t), 64);
                timer->set_workload(128);
            }
        });
    }
    for (auto& worker : workers) worker.join();

    EXPECT_EQ(count_entries(*table.root()), threads * timers_per_thread);
    const std::string report = table.report();
    // One row per entry between the header and the rule.
    EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 2 + 1 + threads * timers_per_thread + 2);
}

}  // namespace
}  // namespace nb
