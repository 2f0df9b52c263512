// Layer copies (origins, gain, conversions between depths and gray) and making layers opaque.
#include "util/kernel/kernel_copy_cpu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "tests/support/owned_layer.h"
#include "tests/support/test_host.h"
#include "util/kernel/kernel_make_solid_cpu.h"

namespace nb {
namespace {

template <class I, class O>
void copy(const Layer<I>& in, const Layer<O>& out, float scale) {
    test::Test_Host host(2);
    Kernel_Copy<Layer<I>, Layer<O>> kernel;
    kernel.in = {in, out, scale};
    kernel.run(host.context());
}

template <class P>
class KernelCopy : public ::testing::Test {};
using Colour_Types = ::testing::Types<Pixel_Argb_8, Pixel_Argb_16, Pixel_Argb_32f, Pixel_Bgra_8, Pixel_Bgra_16, Pixel_Bgra_32f>;
TYPED_TEST_SUITE(KernelCopy, Colour_Types);

// Output pixel (x, y) reads the source (at 0, 0) at (x + out.x, y + out.y); the rest is zero. A gain of 2
// is exact in float; integer depths clamp what passes white. An empty source leaves the output alone.
TYPED_TEST(KernelCopy, OriginsShiftTheSourceGainScalesAndTheRestIsZero) {
    using P = TypeParam;
    test::Owned_Layer<P> source(8, 3);
    source.fill_random(3);
    for (const auto& [out_x, out_y] : {std::pair<int64_t, int64_t>{5, 0}, {-2, 1}, {3, -1}, {-6, 2}}) {
        test::Owned_Layer<P> out(8, 3, out_x, out_y);
        out.fill(P{{7, 7, 7, 7}});
        copy(Layer<P>{}, out.layer(), 2.0f);
        ASSERT_EQ(out.at(0, 0).c[0], 7) << "empty source";
        copy(source.layer(), out.layer(), 2.0f);
        for (int64_t y = 0; y < 3; ++y)
            for (int64_t x = 0; x < 8; ++x)
                for (int c = 0; c < 4; ++c) {
                    const int64_t sx = x + out_x, sy = y + out_y;
                    const double doubled = 2.0 * double(source.at(std::clamp<int64_t>(sx, 0, 7), std::clamp<int64_t>(sy, 0, 2)).c[c]);
                    const double gained = std::is_same_v<typename P::component, float> ? doubled : std::min(doubled, double(P::white));
                    ASSERT_EQ(double(out.at(x, y).c[c]), source.layer().contains(sx, sy) ? gained : 0.0)
                        << "origin " << out_x << ", " << out_y << " at " << x << ", " << y << " channel " << c;
                }
    }
}

// Colour to gray is the third of R + G + B, in whole numbers for 8 and 16 bits, alpha dropped. Gray to
// colour sets R = G = B with full alpha: gray 0.5 at gain white is 127.5 + 0.5, rounded to 128 for 8 bits,
// and 16384.5 truncated to 16384 for 16; NaN stores 0 and infinities clamp in integers.
TYPED_TEST(KernelCopy, GrayConversionsBothWays) {
    using P = TypeParam;
    using T = typename P::component;
    constexpr bool is_float = std::is_same_v<T, float>;
    test::Owned_Layer<P> colour(1, 1);
    P& p = colour.at(0, 0);
    p.r() = T(is_float ? 0.1 : 1), p.g() = T(is_float ? 0.2 : 2), p.b() = T(is_float ? 0.6 : 4), p.a() = T(is_float ? 0 : 200);
    test::Owned_Layer<Pixel_Gray_32f> gray(1, 1);
    copy(colour.layer(), gray.layer(), 1.0f);
    EXPECT_FLOAT_EQ(gray.at(0, 0).v(), is_float ? (0.1f + 0.2f + 0.6f) / 3.0f : 2.0f);

    constexpr float inf = std::numeric_limits<float>::infinity();
    const float values[] = {0.5f, std::nanf(""), inf, -inf};
    const T white = T(P::white);
    const T expected[] = {std::is_same_v<T, uint8_t> ? T(128) : std::is_same_v<T, uint16_t> ? T(16384) : T(0.5f),
                          T(0), is_float ? T(inf) : white, is_float ? T(-inf) : T(0)};
    test::Owned_Layer<Pixel_Gray_32f> grays(4, 1);
    grays.fill([&](int64_t x, int64_t) { return Pixel_Gray_32f{{values[x]}}; });
    test::Owned_Layer<P> out(4, 1);
    copy(grays.layer(), out.layer(), is_float ? 1.0f : float(P::white));
    for (int64_t x = 0; x < 4; ++x) {
        const P& q = out.at(x, 0);
        if (is_float && x == 1) EXPECT_TRUE(std::isnan(q.r()) && std::isnan(q.g()) && std::isnan(q.b()));
        else EXPECT_TRUE(q.r() == expected[x] && q.g() == expected[x] && q.b() == expected[x]) << "gray " << values[x];
        EXPECT_EQ(q.a(), white) << "gray " << values[x];
    }
}

// Straight colour is composited over black: times alpha, truncated for integer depths (the product
// taken in double, so white times alpha is alpha); premultiplied colour is kept.
TYPED_TEST(KernelCopy, MakeSolidMultipliesStraightColourByAlpha) {
    using P = TypeParam;
    for (const bool premultiplied : {false, true}) {
        test::Owned_Layer<P> image(3, 2);
        image.fill_random(9);
        image.layer().premultiplied = premultiplied;
        const test::Plane before = test::raw_plane(image.layer());
        test::Test_Host host(2);
        Kernel_Make_Solid<Layer<P>> kernel;
        kernel.in.image = image.layer();
        kernel.run(host.context());
        for (int64_t y = 0; y < 2; ++y)
            for (int64_t x = 0; x < 3; ++x)
                for (const int c : {P::layout::r, P::layout::g, P::layout::b, P::layout::a}) {
                    const double v = before.at(x, y, c), product = v * before.at(x, y, P::layout::a) / P::white;
                    const double want = c == P::layout::a ? P::white
                                        : premultiplied   ? v
                                        : std::is_same_v<typename P::component, float> ? product : std::trunc(product);
                    EXPECT_NEAR(image.at(x, y).c[c], want, 1e-6) << premultiplied << " at " << x << ", " << y;
                }
    }
}

}  // namespace
}  // namespace nb
