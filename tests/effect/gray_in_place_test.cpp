// The gray round trip of the iris preview, over every pixel variant, against the mean worked out per pixel.
#include "effect/gray_in_place.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <type_traits>

#include "tests/support/pipeline_rig.h"
#include "tests/support/test_host.h"

namespace nb {
namespace {

template <class P>
P pixel(double r, double g, double b, double a) {
    using T = typename P::component;
    P p{};
    p.r() = static_cast<T>(r);
    p.g() = static_cast<T>(g);
    p.b() = static_cast<T>(b);
    p.a() = static_cast<T>(a);
    return p;
}

// The mean of the colour on the layer's scale: integer layers divide the raw sum without remainder.
template <class P>
double expected_gray(const P& p) {
    if constexpr (std::is_same_v<typename P::component, float>)
        return (static_cast<double>(p.r()) + p.g() + p.b()) / 3.0;
    else
        return static_cast<double>((static_cast<int64_t>(p.r()) + p.g() + p.b()) / 3);
}

template <class P>
class GrayInPlace : public ::testing::Test {};

using Variants = ::testing::Types<Pixel_Argb_8, Pixel_Argb_16, Pixel_Argb_32f, Pixel_Bgra_8, Pixel_Bgra_16,
                                  Pixel_Bgra_32f>;
TYPED_TEST_SUITE(GrayInPlace, Variants);

// A pixel of 8 x 5 distinct colours and alphas, the alpha among them 0, on a layer whose origin is not
// the frame's, so that a copy lined up by origin would shift.
TYPED_TEST(GrayInPlace, EveryPixelBecomesItsMeanWithFullAlpha) {
    using P = TypeParam;
    const double white = P::white;
    test::Owned_Image<P> image(8, 5);
    image.x = 5;
    image.y = -3;
    for (int64_t y = 0; y < image.height(); ++y)
        for (int64_t x = 0; x < image.width(); ++x)
            image.at(x, y) = pixel<P>(white * (x + 1) / 9.0, white * (y + 1) / 6.0, white * ((x * 7 + y) % 10) / 10.0,
                                      white * (x % 3) / 2.0);
    const test::Owned_Image<P> before = image;

    test::Test_Host host(2);
    gray_in_place(host.context(), image.layer());

    // Float: the mean is computed in single precision and scaled by 1.0 twice: a few float epsilons.
    // Integers: the unit scale and back lands within 1e-4 of the integer mean, which rounds back exactly.
    const double tolerance = std::is_same_v<typename P::component, float> ? 4e-7 : 0.0;
    for (int64_t y = 0; y < image.height(); ++y)
        for (int64_t x = 0; x < image.width(); ++x) {
            const P& got = image.at(x, y);
            const double gray = expected_gray(before.at(x, y));
            EXPECT_NEAR(got.r(), gray, tolerance) << "pixel (" << x << ", " << y << ")";
            EXPECT_NEAR(got.g(), gray, tolerance) << "pixel (" << x << ", " << y << ")";
            EXPECT_NEAR(got.b(), gray, tolerance) << "pixel (" << x << ", " << y << ")";
            EXPECT_EQ(got.a(), static_cast<typename P::component>(white)) << "pixel (" << x << ", " << y << ")";
        }
}

TEST(GrayInPlace, FreesItsGrayImage) {
    test::Owned_Image<Pixel_Bgra_16> image(16, 16);
    test::Test_Host host(2);
    gray_in_place(host.context(), image.layer());
    EXPECT_EQ(host.live_handles(), 0);
    EXPECT_GE(host.peak_bytes(), 16 * 16 * 4);  // the gray float image existed during the call
}

}  // namespace
}  // namespace nb
