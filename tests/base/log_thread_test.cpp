// Concurrency tests of the log: many threads logging at once lose and split no entry.
#include "base/log.h"

#include <cstdio>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/log_sandbox.h"

namespace nb {
namespace {

using test::Log_Sandbox;

constexpr int thread_count = 6;
constexpr int entries_per_thread = 300;

std::string entry(int thread, int i) {
    return "thread " + std::to_string(thread) + " entry " + std::to_string(i) + " " + std::string(40, 'x') + "\n";
}

void log_from_threads() {
    std::vector<std::thread> threads;
    for (int t = 0; t < thread_count; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < entries_per_thread; ++i) {
                log(entry(t, i), i % 4);
                (void)log_instance().is_active();
            }
        });
    }
    for (auto& thread : threads) thread.join();
}

// Every line must be one whole entry, and each thread's entries must appear in its own order.
void expect_whole_entries_in_thread_order(const std::string& text, int expected_lines) {
    std::istringstream lines(text);
    std::vector<int> next(thread_count, 0);
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) {
        int t = -1, i = -1;
        ASSERT_EQ(std::sscanf(line.c_str(), "thread %d entry %d", &t, &i), 2) << "line " << count << ": " << line;
        ASSERT_TRUE(t >= 0 && t < thread_count) << line;
        EXPECT_EQ(line + "\n", entry(t, i)) << "line " << count;
        EXPECT_EQ(i, next[t]) << "thread " << t << " out of order at line " << count;
        next[t] = i + 1;
        ++count;
    }
    EXPECT_EQ(count, expected_lines);
}

TEST(LogThreads, ConcurrentEntriesReachTheFileWholeAndOnce) {
    Log_Sandbox sandbox;
    sandbox.create_log_file();
    log_from_threads();
    expect_whole_entries_in_thread_order(Log_Sandbox::read(sandbox.log_path()), thread_count * entries_per_thread);
}

TEST(LogThreads, ConcurrentEntriesAreRememberedUpToTheLimit) {
    Log_Sandbox sandbox;
    log_from_threads();
    const auto remembered = log_instance().remembered();
    EXPECT_EQ(remembered.size(), 1800u);  // 6 x 300 entries, below the limit of 2000
}

}  // namespace
}  // namespace nb
