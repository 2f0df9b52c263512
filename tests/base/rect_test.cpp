// Rectangle arithmetic of the plug-in: growing by a reach and pulling a request inside a bound.
#include "base/rect.h"

#include <gtest/gtest.h>

#include <ostream>

namespace nb {

std::ostream& operator<<(std::ostream& out, const Rect& r) {
    return out << "{left " << r.left << ", right " << r.right << ", top " << r.top << ", bottom " << r.bottom << "}";
}

namespace {

TEST(Rect, GrownMovesEveryEdgeOutwardAndEmptyMeansEdgesMeet) {
    EXPECT_EQ(grown(Rect{0, 100, 0, 50}, 3, 7), (Rect{-3, 103, -7, 57}));
    EXPECT_FALSE((Rect{0, 1, 0, 1}).empty());
    EXPECT_TRUE((Rect{5, 5, 0, 10}).empty());
    EXPECT_TRUE((Rect{0, 10, 7, 3}).empty());
}

TEST(Rect, ClampPullsEachEdgeInsideTheBounds) {
    // As a host would report a source larger than the output request.
    const Rect bounds{-10, 200, -10, 200};
    const struct {
        const char* name;
        Rect request, expected;
    } cases[] = {
        {"inside", {0, 100, 0, 50}, {0, 100, 0, 50}},
        {"overhanging", {-50, 300, -20, 250}, bounds},
        {"partly left", {-30, 20, 0, 50}, {-10, 20, 0, 50}},
        // Wholly outside: empty on the nearest edges.
        {"beyond far edges", {300, 400, 250, 260}, {200, 200, 200, 200}},
        {"before near edges", {-300, -100, -90, -50}, {-10, -10, -10, -10}},
        {"already empty", {50, 40, 60, 60}, {50, 50, 60, 60}},
    };
    for (const auto& c : cases) EXPECT_EQ(clamped_into(c.request, bounds), c.expected) << c.name;
}

}  // namespace
}  // namespace nb
