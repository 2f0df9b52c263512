// What a run of blurmond-render reports besides images: the progress line, the timing summed over frames,
// and what the image libraries print kept off standard error.
#include <sys/stat.h>

#include <cstdio>
#include <optional>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "tools/progress_bar.h"
#include "tools/stderr_capture.h"
#include "tools/timing_sum.h"

namespace nb::tools {
namespace {

// One frame done of four and half of the next: 30 s for 1.5 frames leaves 50 s for the other 2.5; the
// 20 cells that 60 columns leave beside the texts fill to 20 * 1.5 / 4 = 7.5, so 7.
TEST(ProgressBar, CountsThePartOfTheFrameInProgress) {
    EXPECT_EQ(Progress_Bar::line(1, 4, 30.0, 60, 0.5), "[======>             ]  1/4 frames  0:30 elapsed  0:50 left");
}

// Rows as the effect prints them: the label in 69 columns, own seconds, share, an optional dedicated
// time, gigabytes, bandwidth and an optional reference; a rule, and the total.
std::string row(std::string label, const std::string& numbers) { return label.append(69 - label.size(), ' ') + numbers + "\n"; }

std::string table(const std::string& own, const std::string& fft, const std::string& fft_again, const std::string& total) {
    return std::string(69, ' ') + "   duration (s)   dedicated (s)    workload (gb) bandwidth (gb/s)\n" +
           row("         blurmond (Cpu)", own + " ( 50.00%)" + std::string(16, ' ') + "  4.0000  8.00") +
           row("          fft (Cpu)", fft + " ( 25.00%)     0.2000    1.0000    4.00 ( 50.00% of 8.00)") +
           row("          fft (Cpu)", fft_again + " (  9.00%)      0.5000    5.00") + std::string(152, '-') + "\n" +
           row("", total + " (100.00%)" + std::string(16, ' ') + "  5.5000  5.50");
}

// Kernels of the same label add up by their place among that label's rows; the mean is over the frames.
TEST(TimingSum, AddsEveryTableKernelByKernel) {
    const std::string log = "log line before\n" + table("0.5000", "0.2500", "0.1000", "1.0000") + "between\n" +
                            table("0.3000", "0.2500", "0.2000", "0.9000");
    const std::string sum = summed_timing_table(log, 2);
    EXPECT_NE(sum.find("blurmond (Cpu)"), std::string::npos) << sum;
    EXPECT_NE(sum.find("0.8000 ( 42.11%)           0.4000           8.0000            10.00"), std::string::npos) << sum;
    EXPECT_NE(sum.find("0.5000 ( 26.32%)           0.2500           2.0000"), std::string::npos) << sum;
    EXPECT_NE(sum.find("0.3000 ( 15.79%)           0.1500           1.0000"), std::string::npos) << sum;
    EXPECT_EQ(sum.find("2 frames"), sum.rfind('\n', sum.size() - 2) + 1) << sum;
    EXPECT_NE(sum.find("1.9000 (100.00%)           0.9500          11.0000"), std::string::npos) << sum;
    EXPECT_EQ(summed_timing_table("no table\n", 2), "");
}

// A sequence reads one frame while it writes another: captures alive at once on two threads share the
// redirection, each keeps what was printed since it began, and the last one to end gives it back.
TEST(StderrCapture, CapturesOnTwoThreadsAtOnceShareTheRedirection) {
    struct stat before {}, after {};
    const bool known = ::fstat(2, &before) == 0;
    std::optional<Stderr_Capture> first(std::in_place);
    std::fputs("one\n", stderr);
    std::string second_text;
    std::thread([&second_text] { const Stderr_Capture second; std::fputs("two\n", stderr); second_text = second.text(); }).join();
    std::fputs("three\n", stderr);
    EXPECT_EQ(second_text, "two\n");
    EXPECT_EQ(first->text(), "one\ntwo\nthree\n");
    first.reset();
    EXPECT_TRUE(known && ::fstat(2, &after) == 0 && after.st_dev == before.st_dev && after.st_ino == before.st_ino);
}

}  // namespace
}  // namespace nb::tools
