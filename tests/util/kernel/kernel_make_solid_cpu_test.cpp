// Making layers opaque: straight alpha is composited over black, premultiplied keeps its colour.
#include "util/kernel/kernel_make_solid_cpu.h"

#include <gtest/gtest.h>

#include "tests/support/owned_layer.h"
#include "tests/support/test_host.h"

namespace nb {
namespace {

template <class P>
class KernelMakeSolid : public ::testing::Test {};
using Types = ::testing::Types<Pixel_Argb_8, Pixel_Argb_16, Pixel_Argb_32f, Pixel_Bgra_8, Pixel_Bgra_16, Pixel_Bgra_32f>;
TYPED_TEST_SUITE(KernelMakeSolid, Types);

template <class P>
void make_solid(const Layer<P>& image) {
    test::Test_Host host(2);
    Kernel_Make_Solid<Layer<P>> kernel;
    kernel.in.image = image;
    kernel.run(host.context());
}

TYPED_TEST(KernelMakeSolid, StraightColourIsMultipliedByAlphaPremultipliedIsKept) {
    using P = TypeParam;
    using T = typename P::component;
    // Red at white, green at 200/255 of white, alpha about a quarter of white: 8 bits give
    // trunc(255 * 63 / 255) = 63 and trunc(200 * 63 / 255) = 49; 16 bits 8192 and 25700 / 4 = 6425.
    const T white = static_cast<T>(P::white);
    const T green = std::is_same_v<T, float> ? T(200.0f / 255.0f) : std::is_same_v<T, uint8_t> ? T(200) : T(25700);
    const T quarter = std::is_same_v<T, uint8_t> ? T(63) : static_cast<T>(P::white / 4);
    for (bool premultiplied : {false, true}) {
        test::Owned_Layer<P> image(3, 2);
        P pixel{};
        pixel.r() = white, pixel.g() = green, pixel.b() = 0, pixel.a() = quarter;
        image.fill(pixel);
        image.layer().premultiplied = premultiplied;
        make_solid(image.layer());
        const P& p = image.at(2, 1);
        const double red = premultiplied ? double(white) : double(white) * double(quarter) / P::white;
        const double green_out = premultiplied ? double(green) : double(green) * double(quarter) / P::white;
        if constexpr (std::is_same_v<T, float>) {
            EXPECT_FLOAT_EQ(p.r(), float(red)) << premultiplied;
            EXPECT_FLOAT_EQ(p.g(), float(green_out)) << premultiplied;
        } else {
            EXPECT_EQ(p.r(), T(std::trunc(red))) << premultiplied;
            EXPECT_EQ(p.g(), T(std::trunc(green_out))) << premultiplied;
        }
        EXPECT_EQ(p.b(), T(0));
        EXPECT_EQ(p.a(), white);
    }
}

}  // namespace
}  // namespace nb
