// Tent blur against direct tap sums: fractional radii, resolution factors, in place.
#include "util/kernel/kernel_triangle_blur_cpu.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>

#include "tests/support/owned_layer.h"
#include "tests/support/image_compare.h"
#include "tests/support/tent_oracle.h"
#include "tests/support/test_host.h"

namespace nb {
namespace {

struct Blur_Case {
    float radius_x, radius_y;
    float horizontal_factor, vertical_factor;
};

// Image is 6 x 5: the last cases reach past both of its sides many times over. Negative and NaN radii
// blur nothing (a radius of 0 still rounds its running sums).
const Blur_Case blur_cases[] = {
    {0.0f, 0.0f, 1.0f, 1.0f},    {1.0f, 0.5f, 1.0f, 1.0f},    {2.3f, 1.7f, 1.0f, 1.0f},
    {0.4f, 3.5f, 0.5f, 1.0f},    {1.6f, 2.6f, 1.0f, 0.5f},    {7.6f, 9.2f, 1.0f, 1.0f},
    {12.75f, 6.3f, 1.0f, 1.0f},  {9.9f, 21.25f, 1.0f, 1.0f},  {-2.0f, -0.5f, 1.0f, 1.0f},
    {std::nanf(""), std::nanf(""), 1.0f, 1.0f},
};

std::string describe(const Blur_Case& c) {
    return "radius " + std::to_string(c.radius_x) + " x " + std::to_string(c.radius_y) + ", factors " +
           std::to_string(c.horizontal_factor) + " / " + std::to_string(c.vertical_factor);
}

template <class P>
void blur(const Layer<P>& in, Layer<P> out, const Blur_Case& c) {
    test::Test_Host host(3);
    out.horizontal_factor = c.horizontal_factor;
    out.vertical_factor = c.vertical_factor;
    Kernel_Triangle_Blur<Layer<P>> kernel;
    kernel.in = {in, out, c.radius_x, c.radius_y};
    kernel.run(host.context());
}

template <class P>
constexpr bool is_float() {
    return std::is_same_v<typename P::component, float>;
}

// Integer layers allow one code value: a pass result within float error of a half may round
// either way, and a one-code change between the passes moves a normalised average by at most one.
// Float: per pass the start sums round once and each step adds three roundings of sums no larger
// than the weight sum times the largest value, which the result divides by: 8 (length + 2) 2^-24
// times the largest value bounds each pass.
template <class P>
double tolerance(const test::Plane& source) {
    if constexpr (!is_float<P>()) {
        return 1.0;
    } else {
        double vmax = 0.0;
        for (double v : source.values) vmax = std::max(vmax, std::fabs(v));
        return 8.0 * double(source.width + source.height + 4) * std::ldexp(vmax, -24);
    }
}

template <class P>
test::Plane oracle(const test::Plane& source, const Blur_Case& c) {
    const double round_to = is_float<P>() ? 0.0 : P::white;
    return test::tent_blur(source, double(c.radius_x * c.horizontal_factor), double(c.radius_y * c.vertical_factor),
                           round_to);
}

template <class P>
class KernelTriangleBlur : public ::testing::Test {};
using Types = ::testing::Types<Pixel_Gray_32f, Pixel_Argb_8, Pixel_Argb_16, Pixel_Argb_32f, Pixel_Bgra_8, Pixel_Bgra_16,
                               Pixel_Bgra_32f>;
TYPED_TEST_SUITE(KernelTriangleBlur, Types);

// Into another layer and in place; lines of one and two samples are where the
// edge rules' periods are shortest.
TYPED_TEST(KernelTriangleBlur, MatchesDirectTapSums) {
    using P = TypeParam;
    for (const auto& [width, height] : {std::pair<int64_t, int64_t>{6, 5}, {1, 2}, {2, 1}}) {
        test::Owned_Layer<P> source(width, height);
        source.fill_random(5, -0.5f, 2.0f);
        source.layer().premultiplied = true;
        const test::Plane plane = test::raw_plane(source.layer());
        for (const Blur_Case& c : blur_cases) {
            test::Owned_Layer<P> out(width, height), in_place(width, height);
            out.layer().premultiplied = in_place.layer().premultiplied = true;
            in_place.fill([&](int64_t x, int64_t y) { return source.at(x, y); });
            blur<P>(source.layer(), out.layer(), c);
            blur<P>(in_place.layer(), in_place.layer(), c);
            const test::Plane expected = oracle<P>(plane, c);
            for (const auto* result : {&out, &in_place}) {
                const test::Worst_Difference worst =
                    test::worst_difference(test::raw_plane(result->layer()), expected);
                EXPECT_LE(worst.difference, tolerance<P>(plane)) << describe(c) << (result == &out ? "" : ", in place")
                                                                 << ", " << width << " x " << height << ": "
                                                                 << worst.describe();
            }
        }
    }
}

}  // namespace
}  // namespace nb
