// Splitting one dimension into per-item ranges.
#include "util/thread_iteration.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace nb {
namespace {

using Range = std::pair<int64_t, int64_t>;

std::vector<Range> split_all(int64_t iterations, int64_t total) {
    std::vector<Range> ranges;
    for (int64_t index = 0; index < iterations; ++index) ranges.push_back(split(Iteration{index, iterations, 0, 1}, total));
    return ranges;
}

// Equal shares with the remainder on the last item; whatever the numbers, the ranges tile [0, total)
// without gap or overlap.
TEST(ThreadIterationSplit, RangesTileTheWholeDimension) {
    EXPECT_EQ(split_all(3, 10), (std::vector<Range>{{0, 3}, {3, 6}, {6, 10}}));
    for (int64_t iterations = 1; iterations <= 9; ++iterations)
        for (int64_t total = 0; total <= 30; ++total) {
            int64_t begin = 0;
            for (const Range& range : split_all(iterations, total)) {
                ASSERT_TRUE(range.first == begin && range.first <= range.second) << iterations << " over " << total;
                begin = range.second;
            }
            EXPECT_EQ(begin, total) << iterations << " items over " << total;
        }
}

}  // namespace
}  // namespace nb
