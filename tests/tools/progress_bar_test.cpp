// The progress line on a terminal: bar, count, elapsed time and estimate, redrawn in place.
#include "tools/progress_bar.h"

#include <cmath>
#include <memory>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

namespace nb::tools {
namespace {

TEST(ProgressBar, RedrawsInPlaceCoversWhatWasThereAndClears) {
    std::ostringstream out;
    auto now = std::make_shared<double>(100.0);
    Progress_Bar bar(out, true, 3, [now] { return *now; }, 52);
    *now += 10.0;
    bar.update(1);
    *now += 3590.0;
    bar.update(3);
    bar.clear();
    bar.finish();
    // 52 columns: 12 for "  1/3 frames", 14 for "  0:10 elapsed", 11 for "  0:20 left", the brackets and
    // one column left free leave 12 cells, a third of them filled; without an estimate the bar grows.
    const std::string first = "[===>        ]  1/3 frames  0:10 elapsed  0:20 left";
    const std::string last = "[====================]  3/3 frames  1:00:00 elapsed";
    EXPECT_EQ(out.str(), "\r" + first + "\r" + last + "\r" + std::string(last.size(), ' ') + "\r");
    EXPECT_EQ(Progress_Bar::duration(59.5), "1:00");
    EXPECT_EQ(Progress_Bar::duration(90061.0), "25:01:01");
    EXPECT_EQ(Progress_Bar::duration(NAN), "0:00");
    EXPECT_EQ(Progress_Bar::duration(-5.0), "0:00");
    EXPECT_EQ(Progress_Bar::duration(1e300), "8760:00:00") << "capped at a year";
}

}  // namespace
}  // namespace nb::tools
