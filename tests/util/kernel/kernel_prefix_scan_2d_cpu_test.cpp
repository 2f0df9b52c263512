// Summed-area tables of every variant against a direct cumulative sum; gray tables sum the whole-number
// thirds of R + G + B for 8 and 16 bits.
#include "util/kernel/kernel_prefix_scan_2d_cpu.h"

#include <gtest/gtest.h>

#include <cmath>

#include "base/exception.h"
#include "tests/support/owned_layer.h"
#include "tests/support/image_compare.h"
#include "tests/support/prefix_sum_oracle.h"
#include "tests/support/test_host.h"

namespace nb {
namespace {

template <class I, class O>
struct Variant {
    using In_P = I;
    using Out_P = O;
};

template <class V>
class KernelPrefixScan2d : public ::testing::Test {};

using Variants = ::testing::Types<
    Variant<Pixel_Argb_8, Pixel_Argb_32f>, Variant<Pixel_Argb_16, Pixel_Argb_32f>,
    Variant<Pixel_Argb_32f, Pixel_Argb_32f>, Variant<Pixel_Bgra_8, Pixel_Bgra_32f>,
    Variant<Pixel_Bgra_16, Pixel_Bgra_32f>, Variant<Pixel_Bgra_32f, Pixel_Bgra_32f>,
    Variant<Pixel_Argb_8, Pixel_Gray_32f>, Variant<Pixel_Argb_16, Pixel_Gray_32f>,
    Variant<Pixel_Argb_32f, Pixel_Gray_32f>, Variant<Pixel_Bgra_8, Pixel_Gray_32f>,
    Variant<Pixel_Bgra_16, Pixel_Gray_32f>, Variant<Pixel_Bgra_32f, Pixel_Gray_32f>>;
TYPED_TEST_SUITE(KernelPrefixScan2d, Variants);

TYPED_TEST(KernelPrefixScan2d, MatchesDirectCumulativeSum) {
    using V = TypeParam;
    // 9 columns over 3 threads splits the column pass into uneven shares.
    test::Owned_Layer<typename V::In_P> source(9, 6);
    source.fill_random(11, -0.5f, 2.0f);
    const test::Plane plane =
        V::Out_P::is_gray ? test::gray_plane(source.layer()) : test::raw_plane(source.layer());
    double vmax = 0.0;
    for (double v : plane.values) vmax = std::max(vmax, std::fabs(v));
    for (bool two_d : {false, true}) {
        test::Owned_Layer<typename V::Out_P> table(9, 6);
        test::Test_Host host(3);
        Kernel_Prefix_Scan_2d<Layer<typename V::In_P>, Layer<typename V::Out_P>> scan;
        scan.in.in = source.layer();
        scan.in.out = table.layer();
        scan.in.two_d = two_d;
        scan.run(host.context());
        const test::Plane expected = test::inclusive_prefix_sum(plane, two_d);
        // Row sums are rounded to float once, then summed down in double and rounded again: the
        // error is at most 2^-24 times the magnitude of all (height + 1) row sums, each <= width * vmax.
        const double tolerance = std::ldexp(1.0, -24) * double(plane.height + 1) * double(plane.width) * vmax;
        const test::Worst_Difference worst = test::worst_difference(test::raw_plane(table.layer()), expected);
        EXPECT_LE(worst.difference, tolerance) << (two_d ? "two-dimensional" : "rows only") << ": " << worst.describe();
    }
}

TEST(KernelPrefixScan2dCases, TableOfAnotherSizeIsRefused) {
    test::Owned_Layer<Pixel_Argb_8> source(2, 2);
    test::Owned_Layer<Pixel_Gray_32f> narrow(1, 2);
    test::Test_Host host(2);
    Kernel_Prefix_Scan_2d<Layer<Pixel_Argb_8>, Layer<Pixel_Gray_32f>> scan;
    scan.in.in = source.layer();
    scan.in.out = narrow.layer();
    EXPECT_THROW(scan.run(host.context()), Exception_Assert);
}

}  // namespace
}  // namespace nb
