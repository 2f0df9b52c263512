// Layer copies (offsets and outside colour, gain, conversions between depths and gray) and making
// layers opaque.
#include "util/kernel/kernel_copy_cpu.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tests/support/owned_layer.h"
#include "tests/support/test_host.h"
#include "util/kernel/kernel_make_solid_cpu.h"

namespace nb {
namespace {

template <class I, class O>
void copy(const Layer<I>& in, const Layer<O>& out, float scale, int64_t offset_x = 0, int64_t offset_y = 0,
          O outside_color = O{}) {
    test::Test_Host host(2);
    Kernel_Copy<Layer<I>, Layer<O>> kernel;
    kernel.in = {in, out, scale, offset_x, offset_y, Outside::color, outside_color};
    kernel.run(host.context());
}

template <class P>
class KernelCopy : public ::testing::Test {};
using Colour_Types = ::testing::Types<Pixel_Argb_8, Pixel_Argb_16, Pixel_Argb_32f, Pixel_Bgra_8, Pixel_Bgra_16, Pixel_Bgra_32f>;
TYPED_TEST_SUITE(KernelCopy, Colour_Types);

// Output pixel (x, y) reads source (x + out_x + offset_x, y + out_y + offset_y); the source sits at 0, 0.
// A gain of 2 is exact in float; integer depths clamp what passes white.
TYPED_TEST(KernelCopy, OffsetsShiftTheSourceGainScalesAndTheRestTakesTheOutsideColour) {
    using P = TypeParam;
    test::Owned_Layer<P> source(8, 3);
    source.fill_random(3);
    const P outside{{1, 2, 3, 4}};
    const struct {
        int64_t offset_x, offset_y, out_x, out_y;
    } shifts[] = {{5, 0, 0, 0}, {-2, 1, 0, 0}, {0, 0, 3, -1}, {4, -1, -6, 2}};
    for (const auto& s : shifts) {
        test::Owned_Layer<P> out(8, 3, s.out_x, s.out_y);
        copy(source.layer(), out.layer(), 2.0f, s.offset_x, s.offset_y, outside);
        for (int64_t y = 0; y < 3; ++y)
            for (int64_t x = 0; x < 8; ++x) {
                const int64_t sx = x + s.out_x + s.offset_x, sy = y + s.out_y + s.offset_y;
                for (int c = 0; c < 4; ++c) {
                    const double doubled = 2.0 * double(source.at(std::clamp<int64_t>(sx, 0, 7), std::clamp<int64_t>(sy, 0, 2)).c[c]);
                    const double gained = std::is_same_v<typename P::component, float> ? doubled : std::min(doubled, double(P::white));
                    const double expected = source.layer().contains(sx, sy) ? gained : double(outside.c[c]);
                    ASSERT_EQ(double(out.at(x, y).c[c]), expected)
                        << "offset " << s.offset_x << ", " << s.offset_y << " at " << x << ", " << y << " channel " << c;
                }
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

// The outside colour is already a destination pixel; the gain of 255 converts gray source values only.
// Without a source there is nothing to copy and the output keeps what it had.
TEST(KernelCopyCases, OutsideColourIsWrittenAsGivenAndAnEmptySourceChangesNothing) {
    test::Owned_Layer<Pixel_Gray_32f> gray(2, 1);
    gray.fill(Pixel_Gray_32f{{1.0f}});
    test::Owned_Layer<Pixel_Bgra_8> out(2, 1);
    copy(gray.layer(), out.layer(), 255.0f, 1, 0, Pixel_Bgra_8{{10, 20, 30, 40}});
    EXPECT_EQ(out.at(0, 0).r(), 255);
    for (int c = 0; c < 4; ++c) EXPECT_EQ(out.at(1, 0).c[c], 10 * (c + 1)) << "channel " << c;
    copy(Layer<Pixel_Gray_32f>{}, out.layer(), 1.0f, 0, 0, Pixel_Bgra_8{{1, 1, 1, 1}});
    EXPECT_EQ(out.at(1, 0).c[0], 10);
}

}  // namespace
}  // namespace nb
