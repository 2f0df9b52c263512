// Rectangle arithmetic of the plug-in: growing by a reach and pulling a request inside a bound.
#include "base/rect.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace nb {

std::ostream& operator<<(std::ostream& out, const Rect& r) {
    return out << "{left " << r.left << ", right " << r.right << ", top " << r.top << ", bottom " << r.bottom << "}";
}

namespace {

TEST(Rect, GrownMovesEveryEdgeOutward) {
    EXPECT_EQ(grown(Rect{0, 100, 0, 50}, 3, 7), (Rect{-3, 103, -7, 57}));
    EXPECT_EQ(grown(Rect{0, 100, 0, 50}, 0, 0), (Rect{0, 100, 0, 50}));
}

TEST(Rect, EmptyWhenAnEdgeMeetsItsOpposite) {
    EXPECT_FALSE((Rect{0, 1, 0, 1}).empty());
    EXPECT_TRUE((Rect{5, 5, 0, 10}).empty());
    EXPECT_TRUE((Rect{0, 10, 7, 3}).empty());
}

struct Clamp_Case {
    std::string name;
    Rect request, bounds, expected;
};

std::ostream& operator<<(std::ostream& out, const Clamp_Case& c) { return out << c.name; }

class RectClamp : public ::testing::TestWithParam<Clamp_Case> {};

TEST_P(RectClamp, PullsEachEdgeInsideTheBounds) {
    const Clamp_Case& c = GetParam();
    EXPECT_EQ(clamped_into(c.request, c.bounds), c.expected) << c.name;
}

// Bounds (-10, -10)..(200, 200) as a host would report a source larger than the output request.
const Rect bounds{-10, 200, -10, 200};

INSTANTIATE_TEST_SUITE_P(
    Cases, RectClamp,
    ::testing::Values(Clamp_Case{"Inside", {0, 100, 0, 50}, bounds, {0, 100, 0, 50}},
                      Clamp_Case{"Overhanging", {-50, 300, -20, 250}, bounds, bounds},
                      Clamp_Case{"PartlyLeft", {-30, 20, 0, 50}, bounds, {-10, 20, 0, 50}},
                      // Entirely right of and below the bounds: empty on the right and bottom edges.
                      Clamp_Case{"BeyondFarEdges", {300, 400, 250, 260}, bounds, {200, 200, 200, 200}},
                      // Entirely left of and above: empty on the left and top edges.
                      Clamp_Case{"BeforeNearEdges", {-300, -100, -90, -50}, bounds, {-10, -10, -10, -10}},
                      Clamp_Case{"AlreadyEmpty", {50, 40, 60, 60}, bounds, {50, 50, 60, 60}}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace nb
