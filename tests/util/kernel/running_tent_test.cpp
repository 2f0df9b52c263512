// The running-sum tent along one line against direct tap sums, for radii far past the line's length.
#include "util/kernel/running_tent.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "tests/support/tent_oracle.h"

namespace nb {
namespace {

std::vector<float> run_line(const std::vector<float>& line, double radius, Outside rule) {
    const Running_Tent tent(radius, Extended_Line(rule, int64_t(line.size())));
    std::vector<float> result(line.size());
    tent.run<1>([&](int64_t i, float* v) { v[0] = line[size_t(i)]; },
                [&](int64_t x, const float* v) { result[size_t(x)] = v[0]; });
    return result;
}

TEST(RunningTent, HandWorkedWeights) {
    const std::vector<float> spike = {0, 0, 5, 0, 0};
    // Radius 1: taps 0.5, 1.5, 0.5 over the sum 2.5.
    std::vector<float> r1 = run_line(spike, 1.0, Outside::border);
    EXPECT_NEAR(r1[2], 5 * 1.5 / 2.5, 1e-6);
    EXPECT_NEAR(r1[1], 5 * 0.5 / 2.5, 1e-6);
    EXPECT_NEAR(r1[0], 0.0, 1e-6);
    // Radius 0.5: taps 0.25, 1, 0.25 over the sum 1.5.
    std::vector<float> r05 = run_line(spike, 0.5, Outside::border);
    EXPECT_NEAR(r05[2], 5 / 1.5, 1e-6);
    EXPECT_NEAR(r05[3], 5 * 0.25 / 1.5, 1e-6);
    // Radius 0 and a negative or NaN radius leave the line as it is.
    for (double r : {0.0, -3.0, std::nan("")}) EXPECT_EQ(run_line(spike, r, Outside::mirrored), spike) << r;
}

struct Line_Case {
    Outside rule;
    int64_t length;
    double radius;
};

class RunningTentLines : public ::testing::TestWithParam<Line_Case> {};

TEST_P(RunningTentLines, MatchDirectTapSums) {
    const Line_Case param = GetParam();
    std::mt19937 engine(uint32_t(param.length * 131 + int(param.radius * 10)));
    std::vector<float> line(size_t(param.length));
    for (float& v : line) v = std::uniform_real_distribution<float>(0.0f, 1.0f)(engine);
    const std::vector<float> actual = run_line(line, param.radius, param.rule);
    const std::vector<double> expected =
        test::tent_line(std::vector<double>(line.begin(), line.end()), param.radius, static_cast<int>(param.rule));
    // Values are at most 1. The start values are rounded once; each of the length - 1 steps adds
    // three float roundings to sums no larger than the weight sum, which the result divides by,
    // so each step moves the result by at most 3 * 2^-24; 8 per step covers the final arithmetic.
    const double tolerance = 8.0 * double(param.length + 2) * std::ldexp(1.0, -24);
    for (size_t x = 0; x < line.size(); ++x)
        ASSERT_NEAR(actual[x], expected[x], tolerance) << "position " << x;
}

INSTANTIATE_TEST_SUITE_P(
    RulesLengthsRadii, RunningTentLines,
    ::testing::Values(Line_Case{Outside::mirrored, 9, 2.3}, Line_Case{Outside::mirrored, 3, 40.25},
                      Line_Case{Outside::mirrored, 1, 3.5}, Line_Case{Outside::repeated, 4, 11.1},
                      Line_Case{Outside::repeated, 2, 57.9}, Line_Case{Outside::border, 5, 9.45},
                      Line_Case{Outside::border, 1, 0.7}, Line_Case{Outside::repeated, 64, 30.5}));

}  // namespace
}  // namespace nb
