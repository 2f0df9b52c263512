// Tests of the progress line: its text, the redraw sequence on a terminal, silence elsewhere.
#include "tools/progress_bar.h"

#include <cmath>
#include <memory>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

namespace nb::tools {
namespace {

TEST(ProgressBar, LineShowsBarCountElapsedAndEstimate) {
    // 52 columns: 14 for "  12/48 frames", 14 for "  0:12 elapsed", 11 for "  0:36 left", 2 for
    // the brackets and one column left free leave a bar of 10 cells; 12 of 48 fills 2.5 -> 2.
    EXPECT_EQ(Progress_Bar::line(12, 48, 12.0, 52), "[=>        ]  12/48 frames  0:12 elapsed  0:36 left");
    // Nothing done yet: no estimate; all done: no estimate, full bar.
    EXPECT_EQ(Progress_Bar::line(0, 4, 3.0, 0), "[          ]  0/4 frames  0:03 elapsed");
    EXPECT_EQ(Progress_Bar::line(4, 4, 75.0, 0), "[==========]  4/4 frames  1:15 elapsed");
}

TEST(ProgressBar, LineFillsTheGivenWidth) {
    for (const int columns : {60, 80, 123}) {
        const std::string text = Progress_Bar::line(3, 10, 9.0, columns);
        EXPECT_EQ(text.size(), static_cast<size_t>(columns - 1)) << text;
    }
}

TEST(ProgressBar, DurationsReadAsClockTimes) {
    const struct {
        double seconds;
        const char* text;
    } cases[] = {{0.0, "0:00"},     {0.49, "0:00"},     {59.5, "1:00"},         {61.0, "1:01"},
                 {3599.0, "59:59"}, {3600.0, "1:00:00"}, {90061.0, "25:01:01"}, {-5.0, "0:00"},
                 {NAN, "0:00"},     {INFINITY, "0:00"}};
    for (const auto& c : cases) EXPECT_EQ(Progress_Bar::duration(c.seconds), c.text) << c.seconds;
    EXPECT_EQ(Progress_Bar::duration(1e300), "8760:00:00");  // capped at a year
}

struct Fake_Clock {
    std::shared_ptr<double> now = std::make_shared<double>(100.0);
    Progress_Bar::Clock clock() const {
        return [now = now] { return *now; };
    }
};

TEST(ProgressBar, RedrawsInPlaceAndEndsTheLine) {
    std::ostringstream out;
    Fake_Clock time;
    Progress_Bar bar(out, true, 2, time.clock(), 0);
    *time.now += 10.0;
    bar.update(1);
    *time.now += 10.0;
    bar.update(2);
    bar.finish();
    const std::string first = "[====>     ]  1/2 frames  0:10 elapsed  0:10 left";
    const std::string last = "[==========]  2/2 frames  0:20 elapsed";
    // The shorter last line covers the rest of the first with spaces; finishing only ends the line.
    EXPECT_EQ(out.str(), "\r" + first + "\r" + last + std::string(first.size() - last.size(), ' ') + "\n");
}

TEST(ProgressBar, ClearLeavesAnEmptyLineWithTheCursorAtItsStart) {
    std::ostringstream out;
    Fake_Clock time;
    Progress_Bar bar(out, true, 3, time.clock(), 0);
    bar.update(0);
    const std::string drawn = out.str();
    bar.clear();
    EXPECT_EQ(out.str(), drawn + "\r" + std::string(drawn.size() - 1, ' ') + "\r");
}

TEST(ProgressBar, PrintsNothingWhenNotATerminal) {
    std::ostringstream out;
    Fake_Clock time;
    Progress_Bar bar(out, false, 5, time.clock());
    bar.update(2);
    bar.clear();
    bar.finish();
    EXPECT_EQ(out.str(), "");
}

TEST(ProgressBar, CountsOutsideTheTotalAreHeldToIt) {
    std::ostringstream out;
    Fake_Clock time;
    Progress_Bar bar(out, true, 3, time.clock(), 0);
    bar.update(7);
    EXPECT_NE(out.str().find("3/3 frames"), std::string::npos) << out.str();
    bar.update(-1);
    EXPECT_NE(out.str().find("0/3 frames"), std::string::npos) << out.str();
}

}  // namespace
}  // namespace nb::tools
