// Zoom against the direct area average for every variant and edge rule, zooms below, at and above 1.
#include "util/kernel/kernel_zoom_cpu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "tests/support/area_average_oracle.h"
#include "tests/support/owned_layer.h"
#include "tests/support/image_compare.h"
#include "tests/support/test_host.h"
#include "util/kernel/kernel_prefix_scan_2d_cpu.h"

namespace nb {
namespace {

template <class I, class O>
struct Variant {
    using In_P = I;
    using Out_P = O;
    using Zoom = Kernel_Zoom<Layer<I>, Layer<O>>;
    using Table_P = typename Zoom::Table::pixel;
};

struct Zoom_Case {
    int rule_x, rule_y;
    double zoom_x, zoom_y;
    int64_t out_width, out_height;
    const char* what;
};

// Source is 5 x 4; zooms of 6 and more on 6- or 7-wide outputs reach several source widths out.
const Zoom_Case zoom_cases[] = {
    {0, 0, 1.0, 1.0, 5, 4, "zoom 1 between equal sizes, border"},
    {1, 1, 0.37, 0.6, 9, 7, "magnified, mirrored"},
    {2, 2, 9.5, 6.25, 7, 6, "shrunk, repeated, reaching 7 widths out"},
    {1, 1, 11.0, 8.0, 6, 5, "shrunk, mirrored, reaching 7 widths out"},
    {0, 0, 12.5, 7.0, 6, 5, "shrunk, border, reaching 8 widths out"},
    {3, 3, 2.2, 1.3, 7, 6, "zero outside"},
    {1, 2, 3.7, 0.8, 8, 5, "mirrored across, repeated down"},
    {2, 0, 0.0, 1.0, 6, 6, "zoom 0 across"},
    {3, 1, 1.5, 4.5, 5, 9, "zero across, mirrored down"},
};

template <class S>
constexpr double unit_of() {
    if constexpr (std::is_same_v<S, uint8_t>) return 1.0 / 255.0;
    else if constexpr (std::is_same_v<S, uint16_t>) return 1.0 / 32768.0;
    else return 1.0;
}

// What the destination holds for raw averages: float scales to white 1 and clamps only alpha;
// integer depths round half up and clamp.
template <class In_P, class Out_P>
test::Plane expected_output(test::Plane average) {
    using T = typename Out_P::component;
    for (int64_t y = 0; y < average.height; ++y)
        for (int64_t x = 0; x < average.width; ++x)
            for (int c = 0; c < average.channels; ++c) {
                double& v = average.at(x, y, c);
                if constexpr (std::is_same_v<T, float>) {
                    v *= unit_of<typename In_P::component>();
                    if (!Out_P::is_gray && c == Out_P::layout::a) v = std::clamp(v, 0.0, 1.0);
                } else {
                    v = std::trunc(std::clamp(v + 0.5, 0.0, double(Out_P::white)));
                }
            }
    return average;
}

// Table entries are sums of at most S samples no larger than vmax, rounded once to float, so each
// is off by at most 2^-24 S vmax. Per axis a window's table coefficients add up to at most
// 8 (zoom + 3) in magnitude: the block's width at both of its ends, the two edge samples, and whole
// periods or border runs counted once each. The divisor (1 + zoom) per axis scales the sum down.
// Float adds 1e-6 for its own rounding and for 0.003921569 standing in for 1/255. Integer
// destinations allow one code value: an average within that error of a half rounds either way.
template <class V>
double tolerance(const Zoom_Case& c, int64_t samples, double vmax) {
    if constexpr (!std::is_same_v<typename V::Out_P::component, float>) {
        return 1.0;
    } else {
        const double coefficients = 64.0 * (c.zoom_x + 3.0) * (c.zoom_y + 3.0);
        const double raw = std::ldexp(1.0, -24) * double(samples) * vmax * coefficients /
                           ((1.0 + c.zoom_x) * (1.0 + c.zoom_y));
        return raw * unit_of<typename V::In_P::component>() + 1e-6;
    }
}

template <class V>
void run_zoom(const Layer<typename V::In_P>& in, const Layer<typename V::Table_P>& table,
              const Layer<typename V::Out_P>& out, const Zoom_Case& c) {
    test::Test_Host host(3);
    typename V::Zoom zoom;
    zoom.in.in = in;
    zoom.in.out = out;
    zoom.in.sum_table = table;
    zoom.in.zoom_x = float(c.zoom_x);
    zoom.in.zoom_y = float(c.zoom_y);
    zoom.in.outside_horizontal = static_cast<Outside>(c.rule_x);
    zoom.in.outside_vertical = static_cast<Outside>(c.rule_y);
    zoom.run(host.context());
}

template <class V>
test::Plane source_plane(const Layer<typename V::In_P>& in) {
    if constexpr (V::Out_P::is_gray) return test::gray_plane(in);
    else return test::raw_plane(in);
}

// Largest magnitude among a source's samples, for the tolerance.
double largest(const test::Plane& p) {
    double m = 0.0;
    for (double v : p.values) m = std::max(m, std::fabs(v));
    return m;
}

// Zooms from in and/or table into a fresh output and compares with the area average of source.
template <class V>
void expect_matches_oracle(const test::Plane& source, const Layer<typename V::In_P>& in,
                           const Layer<typename V::Table_P>& table, const Zoom_Case& c, const char* how) {
    test::Owned_Layer<typename V::Out_P> out(c.out_width, c.out_height);
    run_zoom<V>(in, table, out.layer(), c);
    const test::Plane average =
        test::area_average(source, c.out_width, c.out_height, c.zoom_x, c.zoom_y, c.rule_x, c.rule_y);
    const test::Plane expected = expected_output<typename V::In_P, typename V::Out_P>(average);
    const test::Worst_Difference worst = test::worst_difference(test::raw_plane(out.layer()), expected);
    EXPECT_LE(worst.difference, tolerance<V>(c, source.width * source.height, largest(source)))
        << c.what << ", " << how << ", source " << source.width << " x " << source.height << ": " << worst.describe();
}

template <class V>
class KernelZoom : public ::testing::Test {};

using Variants = ::testing::Types<
    Variant<Pixel_Argb_8, Pixel_Argb_8>, Variant<Pixel_Argb_8, Pixel_Argb_32f>, Variant<Pixel_Argb_8, Pixel_Gray_32f>,
    Variant<Pixel_Argb_16, Pixel_Argb_16>, Variant<Pixel_Argb_16, Pixel_Argb_32f>,
    Variant<Pixel_Argb_16, Pixel_Gray_32f>, Variant<Pixel_Argb_32f, Pixel_Argb_32f>,
    Variant<Pixel_Argb_32f, Pixel_Gray_32f>, Variant<Pixel_Bgra_8, Pixel_Bgra_8>, Variant<Pixel_Bgra_8, Pixel_Bgra_32f>,
    Variant<Pixel_Bgra_8, Pixel_Gray_32f>, Variant<Pixel_Bgra_16, Pixel_Bgra_16>,
    Variant<Pixel_Bgra_16, Pixel_Bgra_32f>, Variant<Pixel_Bgra_16, Pixel_Gray_32f>,
    Variant<Pixel_Bgra_32f, Pixel_Bgra_32f>, Variant<Pixel_Bgra_32f, Pixel_Gray_32f>>;
TYPED_TEST_SUITE(KernelZoom, Variants);

// Float sources reach beyond 0..1 so alpha clamping and unclamped colour show. Lines of one and two
// samples are where the edge rules' periods are shortest.
const int64_t source_sizes[][2] = {{5, 4}, {1, 2}, {2, 1}};

// Without a prepared table the kernel builds one; with one, the corner samples come from the table
// too, with or without the source beside it.
TYPED_TEST(KernelZoom, MatchesDirectAreaAverage) {
    using V = TypeParam;
    for (const auto& size : source_sizes) {
        test::Owned_Layer<typename V::In_P> source(size[0], size[1]);
        source.fill_random(7, -0.5f, 2.0f);
        test::Owned_Layer<typename V::Table_P> table(size[0], size[1]);
        test::Test_Host host(2);
        Kernel_Prefix_Scan_2d<Layer<typename V::In_P>, Layer<typename V::Table_P>> scan;
        scan.in.in = source.layer();
        scan.in.out = table.layer();
        scan.run(host.context());
        const test::Plane plane = source_plane<V>(source.layer());
        for (const Zoom_Case& c : zoom_cases) {
            expect_matches_oracle<V>(plane, source.layer(), {}, c, "table built inside");
            expect_matches_oracle<V>(plane, source.layer(), table.layer(), c, "prepared table and source");
            expect_matches_oracle<V>(plane, {}, table.layer(), c, "prepared table alone");
        }
    }
}

}  // namespace
}  // namespace nb
