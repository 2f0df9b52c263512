// Timers opened and ended on many threads at once lose no entry of the table.
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

// Timers of other threads may nest in one another: every level counts.
int64_t entries(const Timing_Table::Timing& entry) {
    int64_t count = static_cast<int64_t>(entry.children.size());
    for (const auto& child : entry.children) count += entries(*child);
    return count;
}

TEST(TimingTableThreads, EveryTimerOpenedOnAnyThreadIsRecorded) {
    test::Log_Sandbox sandbox;
    sandbox.create_log_file();
    log("timing threads\n", 0);
    Timing_Table table;
    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t)
        workers.emplace_back([&table, t] {
            for (int i = 0; i < 200; ++i) table.scope_timer("worker " + std::to_string(t), 64)->set_workload(128);
        });
    for (auto& worker : workers) worker.join();
    EXPECT_EQ(entries(*table.root()), 800);
    const std::string report = table.report();
    // One row per entry between the header and the rule.
    EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 2 + 1 + 800 + 2);
}

}  // namespace
}  // namespace nb
