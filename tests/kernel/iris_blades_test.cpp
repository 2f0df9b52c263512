// Tests of one iris outline: straight edges at the apothem, the centre pixel, and runs safe to skip.
#include "kernel/iris_blades.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace nb {
namespace {

constexpr double pi = std::numbers::pi;

double ramp(double inside) { return std::clamp(inside, 0.0, 1.0); }

struct Polygon_Case {
    int32_t blades;
    double angle;
};

class IrisBladesPolygon : public ::testing::TestWithParam<Polygon_Case> {};

// With straight blades the coverage along a blade's direction is the distance to the edge line at the
// apothem a = r·cos(π/N), clamped to one pixel. The arcs bulge 0.001 pixel past the chord, and the
// walk stays within 0.3 pixel of the blade's middle, where the arc is flat to 1e-6.
TEST_P(IrisBladesPolygon, StraightBladesPutTheEdgesAtTheApothem) {
    const auto [blades, angle] = GetParam();
    const double r = 12.0;
    const double apothem = r * std::cos(pi / blades);
    const Iris_Blades shape(r, 0.0, 1.0, blade_directions(blades, angle));
    const double tolerance = 0.001 + 1e-6;
    for (int32_t i = 0; i < blades; ++i) {
        const double theta = i * 2.0 * pi / blades + angle;
        for (double s = apothem - 1.5; s <= apothem + 0.5; s += 0.125) {
            const double x = s * std::sin(theta) + 0.3 * std::cos(theta);
            const double y = s * std::cos(theta) - 0.3 * std::sin(theta);
            ASSERT_NEAR(shape.coverage(x, y), ramp(apothem - s), tolerance)
                << blades << " blades, blade " << i << ", distance " << s;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, IrisBladesPolygon,
                         ::testing::Values(Polygon_Case{3, 0.0}, Polygon_Case{4, 0.0}, Polygon_Case{6, 0.4},
                                           Polygon_Case{9, -1.3}));

TEST(IrisBlades, BladeCountIsCappedAndBelowOneMeansCircle) {
    EXPECT_EQ(blade_directions(5000, 0.0).sin.size(), 1000u);
    EXPECT_EQ(blade_directions(999, 0.0).sin.size(), 999u);
    EXPECT_TRUE(blade_directions(0, 0.0).sin.empty());
    EXPECT_TRUE(blade_directions(-7, 0.0).sin.empty());
    // A pixel on the centre of the circle has no gradient direction; it must still count as inside.
    EXPECT_EQ(Iris_Blades(5.0, 0.0, 1.0, blade_directions(0, 0.0)).coverage(0.0, 0.0), 1.0);
    EXPECT_NEAR(Iris_Blades(0.25, 0.0, 1.0, blade_directions(0, 0.0)).coverage(0.0, 0.0), 0.25, 1e-12);
}

struct Run_Case {
    const char* label;
    double r, rounded, q;
    int32_t blades;
    double angle;
};

class IrisBladesRuns : public ::testing::TestWithParam<Run_Case> {};

// The runs let whole spans be skipped, so they must never be wrong: outside the possible run the
// coverage is exactly 0, inside the whole run exactly 1, row by row over the scanned window.
TEST_P(IrisBladesRuns, RunsNeverContradictTheCoverage) {
    const Run_Case& c = GetParam();
    const Iris_Blades shape(c.r, c.rounded, c.q, blade_directions(c.blades, c.angle));
    const int32_t n = static_cast<int32_t>(c.r + 1.0);
    const int32_t m = static_cast<int32_t>(n * c.q) + 1;
    int32_t whole_pixels = 0;
    for (int32_t y = -m; y <= m; ++y) {
        const Pixel_Run possible = shape.possibly_covered(y / c.q, n);
        const Pixel_Run whole = shape.wholly_covered(y / c.q, n);
        for (int32_t x = -n; x <= n; ++x) {
            const double coverage = shape.coverage(x, y / c.q);
            const double certain = whole.contains(x) ? 1.0 : possible.contains(x) ? coverage : 0.0;
            ASSERT_EQ(coverage, certain) << c.label << " at (" << x << ", " << y << ")";
            whole_pixels += whole.contains(x) ? 1 : 0;
        }
    }
    // The runs must also be worth having: most of the inside is skipped.
    const double area = pi * c.r * c.r * std::min(c.q, 1.0) * 0.5;
    EXPECT_GT(whole_pixels, area * 0.5) << c.label;
}

const Run_Case run_cases[] = {
    {"flat triangle, arc radius near 1e8", 40.0, 0.0, 1.0, 3, 0.2},
    {"square", 30.0, 0.0, 1.0, 4, 0.0},
    {"rounded heptagon", 30.0, 0.5, 1.0, 7, 1.1},
    {"many blades", 35.0, 0.0, 1.0, 999, 0.01},
    {"near circle wide", 40.0, 1.0, 1.0 / 7.0, 6, 0.3},
    {"near circle tall", 12.0, 1.0, 7.0, 6, 0.3},
    {"squeeze floor", 60.0, 0.2, 0.05, 5, 0.0},
    {"circle", 25.0, 0.0, 1.0, 0, 0.0},
};

INSTANTIATE_TEST_SUITE_P(Cases, IrisBladesRuns, ::testing::ValuesIn(run_cases));

}  // namespace
}  // namespace nb
