// Refraction map: alpha gradients against hand-worked edges and the angle-based oracle.
#include "kernel/kernel_refraction_preperation_cpu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <type_traits>

#include "tests/support/owned_layer.h"
#include "tests/support/refraction_oracle.h"
#include "tests/support/test_host.h"

namespace nb {
namespace {

// Unit vectors and alphas are stored in single precision (half an ulp, 6e-8). The oracle goes through
// acos, sin and cos in double, and its 2 pi is the float 6.2831855 (1.7e-7 above 2 pi), which turns the
// vector of a leftward gradient by that angle: 1e-6 covers both.
constexpr double map_tolerance = 1e-6;

template <class P>
class KernelRefractionPreperation : public testing::Test {
protected:
    using T = typename P::component;
    static constexpr T white = static_cast<T>(P::white);

    static P with_alpha(T a) {
        P p{};
        p.r() = white;  // colour must not matter
        p.a() = a;
        return p;
    }

    // The kernel holds the map's host memory, so it must be released before the host goes.
    Kernel_Refraction_Preperation<Layer<P>> prepared(const Layer<P>& in) {
        Kernel_Refraction_Preperation<Layer<P>> kernel;
        kernel.in.in = in;
        kernel.run(host.context());
        return kernel;
    }

    test::Test_Host host{2};
};

using Variants = testing::Types<Pixel_Argb_8, Pixel_Argb_16, Pixel_Argb_32f, Pixel_Bgra_8, Pixel_Bgra_16,
                                Pixel_Bgra_32f>;
TYPED_TEST_SUITE(KernelRefractionPreperation, Variants);

TYPED_TEST(KernelRefractionPreperation, ConstantAlphaHasNoDirectionAndNoWeight) {
    test::Owned_Layer<TypeParam> in(6, 5);
    in.fill([](int64_t, int64_t) { return TestFixture::with_alpha(TestFixture::white / 2); });
    const auto kernel = this->prepared(in.layer());
    ASSERT_EQ(kernel.in.map.width, 6);
    ASSERT_EQ(kernel.in.map.height, 5);
    for (int64_t y = 0; y < 5; ++y)
        for (int64_t x = 0; x < 6; ++x) {
            const Refraction_Vector& v = kernel.in.map.at(x, y);
            EXPECT_TRUE(v.dx == 0.0f && v.dy == 0.0f && v.w == 0.0f)
                << "(" << x << ", " << y << "): " << v.dx << ", " << v.dy << ", " << v.w;
        }
}

// Alpha 0 in columns 0 and 1, white from column 2 on. Column 2: gx = 3 * (a(3) - a(1)) + 5 * (a(4) - a(0))
// = 8 white, gy = 0: direction (1, 0), weight 1. Column 1: 3 * (a(2) - a(0)) + 5 * (a(3) - a(0)) > 0 but
// its own alpha 0 gives weight 0. Column 4: a(5) and a(6) clamp to a(4), and a(3), a(2) are white too:
// no gradient. Column 0: 5 * (a(2) - a(0)) > 0, direction (1, 0).
TYPED_TEST(KernelRefractionPreperation, StepInAlphaPointsTowardsTheOpaqueSide) {
    test::Owned_Layer<TypeParam> in(5, 3);
    in.fill([](int64_t x, int64_t) { return TestFixture::with_alpha(x >= 2 ? TestFixture::white : 0); });
    const auto kernel = this->prepared(in.layer());
    const Refraction_Vector expected[5] = {{1, 0, 0}, {1, 0, 0}, {1, 0, 1}, {1, 0, 1}, {0, 0, 0}};
    for (int64_t y = 0; y < 3; ++y)
        for (int64_t x = 0; x < 5; ++x) {
            const Refraction_Vector& v = kernel.in.map.at(x, y);
            const Refraction_Vector& e = expected[x];
            EXPECT_TRUE(v.dx == e.dx && v.dy == e.dy && v.w == e.w)
                << "(" << x << ", " << y << "): " << v.dx << ", " << v.dy << ", " << v.w << ", expected " << e.dx
                << ", " << e.dy << ", " << e.w;
        }
}

TYPED_TEST(KernelRefractionPreperation, MatchesTheAngleOracleOnIrregularAlpha) {
    using T = typename TestFixture::T;
    test::Owned_Layer<TypeParam> in(9, 7, -4, 3);
    uint32_t state = 12345;
    in.fill([&](int64_t, int64_t) {
        state = state * 1664525u + 1013904223u;
        // A third of the pixels share one alpha so that flat patches occur as well.
        const double unit = (state >> 8) % 3 == 0 ? 0.5 : ((state >> 8) % 1000) / 999.0;
        const double raw = unit * static_cast<double>(TestFixture::white);
        return TestFixture::with_alpha(std::is_same_v<T, float> ? static_cast<T>(raw) : static_cast<T>(raw + 0.5));
    });
    const auto kernel = this->prepared(in.layer());
    const test::Oracle_Map oracle = test::oracle_refraction_map(in.layer());
    double worst = 0.0;
    int64_t wx = -1, wy = -1;
    for (int64_t y = 0; y < 7; ++y)
        for (int64_t x = 0; x < 9; ++x) {
            const Refraction_Vector& v = kernel.in.map.at(x, y);
            const test::Oracle_Vector& e = oracle.at(x, y);
            const double d = std::max({std::fabs(v.dx - e.dx), std::fabs(v.dy - e.dy), std::fabs(v.w - e.w)});
            if (!(d <= worst)) worst = d, wx = x, wy = y;
        }
    ASSERT_GE(wx, 0);
    const Refraction_Vector& v = kernel.in.map.at(wx, wy);
    const test::Oracle_Vector& e = oracle.at(wx, wy);
    EXPECT_LE(worst, map_tolerance) << "worst at (" << wx << ", " << wy << "): " << v.dx << ", " << v.dy << ", "
                                    << v.w << ", expected " << e.dx << ", " << e.dy << ", " << e.w;
}

TYPED_TEST(KernelRefractionPreperation, MapMemoryFollowsTheInputEvenWhenEmpty) {
    test::Owned_Layer<TypeParam> in(7, 4);
    const auto kernel = this->prepared(in.layer());
    ASSERT_TRUE(kernel.in.map_storage);
    EXPECT_GE(kernel.in.map_storage->size(), 7 * 4 * 12);
    EXPECT_EQ(kernel.in.map.data, kernel.in.map_storage->data_device());
    const auto empty = this->prepared(Layer<TypeParam>{});
    EXPECT_TRUE(empty.in.map.empty());
    EXPECT_EQ(empty.workload(), 0);
}

}  // namespace
}  // namespace nb
