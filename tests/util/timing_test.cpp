// The timing table's report: entries nested as their timers were, own times, shares, rates and totals.
#include "util/timing.h"

#include <cstdio>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "base/log.h"
#include "tests/support/log_sandbox.h"

namespace nb {
namespace {

// A table clock the test moves by hand.
class Manual_Watch : public Stop_Watch {
public:
    explicit Manual_Watch(std::shared_ptr<double> now) : now_(std::move(now)) {}
    void start() override { start_ = *now_; }
    void stop() override {}
    double elapsed_so_far() const override { return *now_ - start_; }
    double elapsed() const override { return 0.0; }

private:
    std::shared_ptr<double> now_;
    double start_ = 0.0;
};

// The report's layout written out with printf formats, independently of the iostream manipulators.
template <class... Values>
std::string printed(const char* format, Values... values) {
    char text[512];
    std::snprintf(text, sizeof(text), format, values...);
    return text;
}

std::string row(int depth, const char* label, double own, const char* dedicated, double gigabytes, double rate) {
    return printed("%9s%-60s%17.4f (%6.2f%%)%16s%17.4f%17.2f\n", "", (std::string(depth, ' ') + label).c_str(), own,
                   own * 10.0, dedicated, gigabytes, rate);
}

// Timers opened while the log is off measure nothing (a void watch: dedicated time 0, minus the
// children's durations, and no rate); once it is on they carry the workload. The clock runs 0..10 s.
TEST(TimingTable, ReportNestsEntriesWithOwnTimesSharesAndTotals) {
    test::Log_Sandbox sandbox;
    const auto now = std::make_shared<double>(0.0);
    Timing_Table table(std::make_unique<Manual_Watch>(now));
    const auto at = [&](double t) { *now = t; };
    {
        at(0.5);
        auto outer = table.scope_timer("Copy", 4096);
        at(1.0);
        { auto inner = table.scope_timer("Zoom", 4096); at(1.5); }
        at(2.0);
    }
    sandbox.create_log_file();
    log("timing test\n", 0);
    {
        at(3.0);
        auto copy = table.scope_timer("Copy", 1'000'000'000);
        {
            at(4.0);
            auto zoom = table.scope_timer("Zoom", 0);
            zoom->set_workload(2'000'000'000);
            at(7.0);
        }
        { at(8.0); auto blur = table.scope_timer("Blur", 500'000'000); at(8.5); }
        at(9.0);
    }
    at(10.0);
    // Copy ran 3..9 with children 4..7 and 8..8.5: its own time is 6 - 3.5 = 2.5 s. Rates are workload
    // over own time: 1 GB / 2.5 s, 2 GB / 3 s, 0.5 GB / 0.5 s; in all 3.5 GB in 10 s.
    const std::string expected =
        printed("\n\n%69s%27s%16s%17s%17s\n", "", "duration (s)", "dedicated (s)", "workload (gb)", "bandwidth (gb/s)") +
        row(0, "(Void)", 1.0, "-0.5000", 0.0, 0.0) + row(1, "(Void)", 0.5, "0.0000", 0.0, 0.0) +
        row(0, "Copy (Cpu)", 2.5, "", 1.0, 0.4) + row(1, "Zoom (Cpu)", 3.0, "", 2.0, 2.0 / 3.0) +
        row(1, "Blur (Cpu)", 0.5, "", 0.5, 1.0) + std::string(152, '-') +
        printed("\n%69s%17.4f (100.00%%)%16s%17.4f%17.2f\n", "", 10.0, "", 3.5, 0.35);
    EXPECT_EQ(table.report(), expected);
}

}  // namespace
}  // namespace nb
