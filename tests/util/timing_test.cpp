// Tests of the timing table: labels by log state, the entry tree and the printed report.
#include "util/timing.h"

#include <cstdio>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "base/log.h"
#include "tests/support/log_sandbox.h"

namespace nb {
namespace {

using test::Log_Sandbox;

// A table clock the test moves by hand.
class Manual_Watch : public Stop_Watch {
public:
    explicit Manual_Watch(std::shared_ptr<double> now) : now_(std::move(now)) {}
    void start() override { start_ = *now_; }
    void stop() override { stop_ = *now_; }
    double elapsed_so_far() const override { return *now_ - start_; }
    double elapsed() const override { return stop_ - start_; }

private:
    std::shared_ptr<double> now_;
    double start_ = 0.0, stop_ = 0.0;
};

// The report's layout written out with printf formats, independently of the iostream manipulators.
std::string printed(const char* format, auto... values) {
    char text[512];
    std::snprintf(text, sizeof(text), format, values...);
    return text;
}

std::string header() {
    return printed("\n\n%69s%27s%16s%17s%17s\n", "", "duration (s)", "dedicated (s)", "workload (gb)", "bandwidth (gb/s)");
}

std::string row(int depth, const std::string& label, double own, double share, const char* dedicated,
                double gigabytes, double gigabytes_per_second) {
    return printed("%9s%-60s%17.4f (%6.2f%%)%16s%17.4f%17.2f\n", "", (std::string(depth, ' ') + label).c_str(), own,
                   share, dedicated, gigabytes, gigabytes_per_second);
}

std::string total_row(double seconds, double gigabytes, double gigabytes_per_second) {
    return std::string(152, '-') + printed("\n%69s%17.4f (100.00%%)%16s%17.4f%17.2f\n", "", seconds, "", gigabytes,
                                           gigabytes_per_second);
}

struct Manual_Table {
    std::shared_ptr<double> now = std::make_shared<double>(0.0);
    Timing_Table table{std::make_unique<Manual_Watch>(now)};
};

class TimingTable : public ::testing::Test {
protected:
    void activate_log() {
        sandbox_.create_log_file();
        log("timing test\n", 0);
        ASSERT_TRUE(log_instance().is_active());
    }
    Log_Sandbox sandbox_;
};

TEST_F(TimingTable, ActiveLogGivesCpuLabelsNestingAndOwnTimes) {
    activate_log();
    Manual_Table m;
    {
        *m.now = 1.0;
        auto copy = m.table.scope_timer("Copy", 1'000'000'000);
        {
            *m.now = 2.0;
            auto zoom = m.table.scope_timer("Zoom", 0);
            zoom->set_workload(2'000'000'000);
            *m.now = 5.0;
        }
        {
            *m.now = 6.0;
            auto blur = m.table.scope_timer("Blur", 500'000'000);
            *m.now = 6.5;
        }
        *m.now = 7.0;
    }
    {
        *m.now = 8.0;
        auto last = m.table.scope_timer("Last", 0);
        *m.now = 9.0;
    }
    *m.now = 10.0;

    const auto root = m.table.root();
    ASSERT_EQ(root->children.size(), 2u);
    const auto& copy = *root->children[0];
    EXPECT_EQ(copy.label, "Copy (Cpu)");
    EXPECT_EQ(copy.parent.lock(), root);
    EXPECT_EQ(copy.dedicated, -1.0);
    ASSERT_EQ(copy.children.size(), 2u);
    EXPECT_EQ(copy.children[0]->label, "Zoom (Cpu)");
    EXPECT_EQ(copy.children[0]->workload, 2'000'000'000);
    EXPECT_EQ(copy.children[1]->parent.lock().get(), &copy);

    // Copy ran 1..7 with children 2..5 and 6..6.5: its own time is 6 - 3.5 = 2.5 s of 10 s.
    // Bandwidths are workload / own time: 1 GB / 2.5 s, 2 GB / 3 s, 0.5 GB / 0.5 s; total 3.5 GB / 10 s.
    const std::string expected = header() + row(0, "Copy (Cpu)", 2.5, 25.0, "", 1.0, 0.4) +
                                 row(1, "Zoom (Cpu)", 3.0, 30.0, "", 2.0, 2.0 / 3.0) +
                                 row(1, "Blur (Cpu)", 0.5, 5.0, "", 0.5, 1.0) +
                                 row(0, "Last (Cpu)", 1.0, 10.0, "", 0.0, 0.0) + total_row(10.0, 3.5, 0.35);
    EXPECT_EQ(m.table.report(), expected);
}

TEST_F(TimingTable, InactiveLogGivesVoidTimersThatMeasureNothing) {
    Manual_Table m;
    {
        *m.now = 1.0;
        auto outer = m.table.scope_timer("Copy", 4096);
        {
            *m.now = 2.0;
            auto inner = m.table.scope_timer("Zoom", 4096);
            *m.now = 3.0;
        }
        *m.now = 4.0;
    }
    *m.now = 5.0;

    // The dedicated column is the dedicated time minus the children's durations: 0 - 1 for the outer
    // entry. A zero dedicated time gives no meaningful bandwidth, shown as 0.
    const std::string expected = header() + row(0, "(Void)", 2.0, 40.0, "-1.0000", 0.0, 0.0) +
                                 row(1, "(Void)", 1.0, 20.0, "0.0000", 0.0, 0.0) + total_row(5.0, 0.0, 0.0);
    EXPECT_EQ(m.table.report(), expected);
}

TEST_F(TimingTable, ResetForgetsEntriesAndRestartsTheClock) {
    Manual_Table m;
    EXPECT_EQ(m.table.report(), header() + total_row(0.0, 0.0, 0.0)) << "an empty table reports zeroes";
    *m.now = 3.0;
    { auto timer = m.table.scope_timer("Copy", 0); }
    m.table.reset();
    *m.now = 5.0;
    EXPECT_TRUE(m.table.root()->children.empty());
    EXPECT_EQ(m.table.report(), header() + total_row(2.0, 0.0, 0.0));
}

}  // namespace
}  // namespace nb
