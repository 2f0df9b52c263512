// Layer copies: offsets and outside colour, gain, and conversions between depths and gray.
#include "util/kernel/kernel_copy_cpu.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tests/support/owned_layer.h"
#include "tests/support/test_host.h"

namespace nb {
namespace {

template <class I, class O>
void copy(const Layer<I>& in, const Layer<O>& out, float scale, int64_t offset_x = 0, int64_t offset_y = 0,
          O outside_color = O{}) {
    test::Test_Host host(2);
    Kernel_Copy<Layer<I>, Layer<O>> kernel;
    kernel.in.in = in;
    kernel.in.out = out;
    kernel.in.scale = scale;
    kernel.in.offset_x = offset_x;
    kernel.in.offset_y = offset_y;
    kernel.in.outside_color = outside_color;
    kernel.run(host.context());
}

template <class P>
class KernelCopyColour : public ::testing::Test {};
using Colour_Types = ::testing::Types<Pixel_Argb_8, Pixel_Argb_16, Pixel_Argb_32f, Pixel_Bgra_8, Pixel_Bgra_16, Pixel_Bgra_32f>;
TYPED_TEST_SUITE(KernelCopyColour, Colour_Types);

TYPED_TEST(KernelCopyColour, OffsetsShiftTheSourceAndTheRestTakesTheOutsideColour) {
    using P = TypeParam;
    test::Owned_Layer<P> source(8, 3);
    source.fill_random(3);
    const P outside{{1, 2, 3, 4}};
    struct Shift {
        int64_t offset_x, offset_y, out_x, out_y;
    };
    // Output pixel (x, y) reads source (x + out_x + offset_x, y + out_y + offset_y); the source sits at 0, 0.
    for (const Shift s : {Shift{5, 0, 0, 0}, Shift{-2, 1, 0, 0}, Shift{0, 0, 3, -1}, Shift{4, -1, -6, 2}}) {
        test::Owned_Layer<P> out(8, 3);
        out.layer().x = s.out_x;
        out.layer().y = s.out_y;
        copy(source.layer(), out.layer(), 1.0f, s.offset_x, s.offset_y, outside);
        for (int64_t y = 0; y < 3; ++y)
            for (int64_t x = 0; x < 8; ++x) {
                const int64_t sx = x + s.out_x + s.offset_x, sy = y + s.out_y + s.offset_y;
                const P expected = source.layer().contains(sx, sy) ? source.at(sx, sy) : outside;
                for (int c = 0; c < 4; ++c)
                    ASSERT_EQ(out.at(x, y).c[c], expected.c[c])
                        << "offset " << s.offset_x << ", " << s.offset_y << " at " << x << ", " << y;
            }
    }
}

TYPED_TEST(KernelCopyColour, GainScalesEveryChannelAndIntegersClamp) {
    using P = TypeParam;
    using T = typename P::component;
    // Three quarters of white doubled: 1.5 white, which integer depths clamp to white.
    const T three_quarters = static_cast<T>(0.75f * P::white);
    test::Owned_Layer<P> source(2, 1);
    source.fill(P{{three_quarters, three_quarters, three_quarters, three_quarters}});
    test::Owned_Layer<P> out(2, 1);
    copy(source.layer(), out.layer(), 2.0f);
    const double expected = std::is_same_v<T, float> ? 1.5 : P::white;
    for (int c = 0; c < 4; ++c) EXPECT_EQ(double(out.at(1, 0).c[c]), expected) << "channel " << c;
}

TYPED_TEST(KernelCopyColour, GrayIsTheWholeNumberThirdOfRedGreenBlue) {
    using P = TypeParam;
    test::Owned_Layer<P> source(1, 1);
    P& p = source.at(0, 0);
    float expected;
    if constexpr (std::is_same_v<typename P::component, float>) {
        p.r() = 0.1f, p.g() = 0.2f, p.b() = 0.6f, p.a() = 0.0f;
        expected = (0.1f + 0.2f + 0.6f) / 3.0f;
    } else {
        p.r() = 1, p.g() = 2, p.b() = 4, p.a() = 200;  // 7 / 3 = 2 in whole numbers; alpha is dropped
        expected = 2.0f;
    }
    test::Owned_Layer<Pixel_Gray_32f> out(1, 1);
    copy(source.layer(), out.layer(), 1.0f);
    EXPECT_FLOAT_EQ(out.at(0, 0).v(), expected);
}

TYPED_TEST(KernelCopyColour, GrayFillsColourWithFullAlpha) {
    using P = TypeParam;
    using T = typename P::component;
    // Gray 0.5 at gain white: 127.5 + 0.5 rounds to 128 for 8 bits, 16384.5 truncates to 16384 for 16.
    test::Owned_Layer<Pixel_Gray_32f> gray(1, 1);
    gray.at(0, 0).v() = 0.5f;
    test::Owned_Layer<P> out(1, 1);
    copy(gray.layer(), out.layer(), P::white);
    const T expected = std::is_same_v<T, uint8_t> ? T(128) : std::is_same_v<T, uint16_t> ? T(16384) : T(0.5f);
    EXPECT_EQ(out.at(0, 0).r(), expected);
    EXPECT_EQ(out.at(0, 0).g(), expected);
    EXPECT_EQ(out.at(0, 0).b(), expected);
    EXPECT_EQ(out.at(0, 0).a(), static_cast<T>(P::white));
}

TYPED_TEST(KernelCopyColour, NonFiniteGrayReachesIntegersAsZeroOrWhite) {
    using P = TypeParam;
    using T = typename P::component;
    constexpr float inf = std::numeric_limits<float>::infinity();
    test::Owned_Layer<Pixel_Gray_32f> gray(3, 1);
    gray.at(0, 0).v() = std::nanf("");
    gray.at(1, 0).v() = inf;
    gray.at(2, 0).v() = -inf;
    test::Owned_Layer<P> out(3, 1);
    copy(gray.layer(), out.layer(), 1.0f);
    if constexpr (std::is_same_v<T, float>) {
        EXPECT_TRUE(std::isnan(out.at(0, 0).r()));
        EXPECT_EQ(out.at(1, 0).r(), inf);
        EXPECT_EQ(out.at(2, 0).r(), -inf);
    } else {
        EXPECT_EQ(out.at(0, 0).r(), T(0));
        EXPECT_EQ(out.at(1, 0).r(), static_cast<T>(P::white));
        EXPECT_EQ(out.at(2, 0).r(), T(0));
    }
}

TEST(KernelCopyCases, OutsideColourIsWrittenAsGivenWhateverTheGain) {
    // The colour is already a destination pixel; the gain of 255 converts gray source values only.
    test::Owned_Layer<Pixel_Gray_32f> gray(2, 1);
    gray.fill(Pixel_Gray_32f{{1.0f}});
    test::Owned_Layer<Pixel_Bgra_8> out(2, 1);
    copy(gray.layer(), out.layer(), 255.0f, 1, 0, Pixel_Bgra_8{{10, 20, 30, 40}});
    EXPECT_EQ(out.at(0, 0).r(), 255);
    const Pixel_Bgra_8& outside = out.at(1, 0);
    for (int c = 0; c < 4; ++c) EXPECT_EQ(outside.c[c], 10 * (c + 1)) << "channel " << c;
}

TEST(KernelCopyCases, EmptySourceLeavesTheOutputAlone) {
    test::Owned_Layer<Pixel_Argb_16> out(2, 2);
    out.fill(Pixel_Argb_16{{7, 7, 7, 7}});
    copy(Layer<Pixel_Argb_16>{}, out.layer(), 1.0f, 0, 0, Pixel_Argb_16{{1, 1, 1, 1}});
    EXPECT_EQ(out.at(1, 1).r(), 7);
}

}  // namespace
}  // namespace nb
