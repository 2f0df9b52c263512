// One axis of a zoom window: hand-worked weights and agreement with the direct overlap sum.
#include "util/kernel/zoom_window.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "base/exception.h"
#include "tests/support/area_average_oracle.h"

namespace nb {
namespace {

TEST(ZoomWindow, ZoomOneBetweenEqualSizesWeighsHalfWholeHalf) {
    // o = 1 of 4: x1 = (1 - 0.5 - 2) + 2 = 0.5, x2 = 1.5, so samples 0, 1, 2 weigh 0.5, 1, 0.5.
    const Zoom_Window w = Zoom_Window::make(1, 4, 1.0, Extended_Line(Outside::border, 4));
    EXPECT_EQ(w.edge_source[0], 0);
    EXPECT_EQ(w.edge_source[1], 2);
    EXPECT_DOUBLE_EQ(w.edge_weight[0], 0.5);
    EXPECT_DOUBLE_EQ(w.edge_weight[1], 0.5);
    EXPECT_DOUBLE_EQ(w.weight_sum, 2.0);
}

TEST(ZoomWindow, WindowsBeyondTwoToThe52AreRefused) {
    const Extended_Line line(Outside::repeated, 8);
    EXPECT_THROW(Zoom_Window::make(0, 8, 1e16, line), Exception_Assert);
    EXPECT_THROW(Zoom_Window::make(0, 8, std::nan(""), line), Exception_Assert);
}

struct Window_Case {
    Outside rule;
    double zoom;
    int64_t out_size;
};

class ZoomWindowTerms : public ::testing::TestWithParam<Window_Case> {};

// The table terms reproduce the overlap-weighted sum over the extended line, whole and edge part alike.
TEST_P(ZoomWindowTerms, ReproduceTheDirectOverlapSum) {
    const Window_Case param = GetParam();
    const std::vector<double> line = {2, 7, 1, 8, 2};
    const int64_t length = int64_t(line.size());
    std::vector<double> inclusive(line.size());
    double running = 0.0;
    for (size_t i = 0; i < line.size(); ++i) inclusive[i] = running += line[i];
    const Extended_Line extended(param.rule, length);
    const int rule = static_cast<int>(param.rule);
    const auto sample = [&](int64_t p) {
        const int64_t i = test::oracle_sample(rule, p, length);
        return i < 0 ? 0.0 : line[size_t(i)];
    };
    for (int64_t o = 0; o < param.out_size; ++o) {
        const Zoom_Window w = Zoom_Window::make(o, param.out_size, param.zoom, extended);
        const double begin = (double(o) - 0.5 - 0.5 * double(param.out_size)) * param.zoom + 0.5 * double(length);
        const double end = begin + param.zoom + 1.0;
        double direct = 0.0;
        for (int64_t i = int64_t(std::floor(begin)); i <= int64_t(std::ceil(end)); ++i)
            direct += std::max(0.0, std::min(end, double(i + 1)) - std::max(begin, double(i))) * sample(i);
        double whole = 0.0, edges = 0.0;
        for (int k = 0; k < w.count; ++k) {
            whole += (w.block[k] + w.edge[k]) * inclusive[size_t(w.index[k])];
            edges += w.edge[k] * inclusive[size_t(w.index[k])];
        }
        double edge_samples = 0.0;
        for (int e = 0; e < 2; ++e)
            if (w.edge_source[e] >= 0) edge_samples += w.edge_weight[e] * line[size_t(w.edge_source[e])];
        // At most 8 terms whose coefficients stay below a few hundred (windows reach ~10 periods)
        // times prefixes below 100: double rounding stays under 1e-12, so 1e-10 is ample.
        const double tolerance = 1e-10;
        ASSERT_NEAR(whole, direct, tolerance) << "output " << o;
        ASSERT_NEAR(edges, edge_samples, tolerance) << "output " << o;
        ASSERT_NEAR(w.weight_sum, end - begin, tolerance) << "output " << o;
    }
}

INSTANTIATE_TEST_SUITE_P(
    RulesAndZooms, ZoomWindowTerms,
    ::testing::Values(Window_Case{Outside::border, 1.0, 5}, Window_Case{Outside::border, 7.5, 6},
                      Window_Case{Outside::mirrored, 0.3, 9}, Window_Case{Outside::mirrored, 13.25, 5},
                      Window_Case{Outside::repeated, 0.0, 4}, Window_Case{Outside::repeated, 9.7, 7},
                      Window_Case{Outside::color, 2.5, 6}, Window_Case{Outside::color, 0.6, 8}));

}  // namespace
}  // namespace nb
