// Forward and reverse transform kernels against a direct DFT, their round-trip gain and size checks.
#include "kernel/kernel_fft_cpu.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "base/exception.h"
#include "tests/support/log_sandbox.h"
#include "tests/support/dft_oracle.h"
#include "tests/support/image_compare.h"
#include "tests/support/test_host.h"
#include "util/layer_buffer.h"

namespace nb {
namespace {

struct Size {
    int64_t n, m;
};

// Sizes from the degenerate (a single column or row) to 32 by 32, square and elongated, and long lines
// whose twiddle tables span every level up to 256.
const Size sizes[] = {{4, 4},  {8, 4},  {4, 32}, {32, 4}, {16, 8},  {8, 16},
                      {32, 32}, {2, 8}, {1, 4},  {16, 1}, {256, 2}, {2, 256}};

// Signal pixels get uniform values in [-1, 1); the padding pixels get NaN, which must not leak.
template <class P>
std::vector<std::vector<double>> fill_random(const Layer<P>& layer, int64_t n, uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    std::vector<std::vector<double>> channels(P::channels, std::vector<double>(layer.height * n));
    for (int64_t y = 0; y < layer.height; ++y)
        for (int64_t x = 0; x < layer.width; ++x)
            for (int c = 0; c < P::channels; ++c) {
                const float v = x < n ? value(random) : std::numeric_limits<float>::quiet_NaN();
                layer.at(x, y).c[c] = v;
                if (x < n) channels[c][y * n + x] = v;
            }
    return channels;
}

template <class P>
class KernelFftForward : public testing::Test {};

using Forward_Pixels =
    testing::Types<Pixel_Gray_32f, Pixel_Argb_32f, Pixel_Bgra_32f, Pixel_Argb_32f_Extra, Pixel_Bgra_32f_Extra>;
TYPED_TEST_SUITE(KernelFftForward, Forward_Pixels);

TYPED_TEST(KernelFftForward, MatchesDirectDftForEveryChannel) {
    using P = TypeParam;
    test::Test_Host host(2);
    const Render_Context context = host.context();
    for (const Size size : sizes) {
        const Layer_Buffer buffer = allocate_layer_buffer<P>(context, size.n + 2, size.m, true, 0, 0, 1, 1, 1);
        const Layer<P> layer = buffer.layer<P>();
        const auto channels = fill_random(layer, size.n, static_cast<uint32_t>(size.n * 100 + size.m));
        Kernel_FFT_Forward<Layer<P>> fft;
        fft.in.image.io.layer = layer;
        fft.run(context);
        for (int c = 0; c < P::channels; ++c) {
            const auto expected = test::direct_dft_2d(channels[c], size.n, size.m, +1);
            double magnitude_sum = 0.0;
            for (double v : channels[c]) magnitude_sum += std::fabs(v);
            // Every bin is a sum of N*M terms bounded by sum|x|; each of the log2(N*M) radix-2 levels
            // and the real split adds a few float roundings relative to that bound.
            const double levels = std::log2(static_cast<double>(size.n * size.m)) + 2.0;
            const double tolerance = 4.0 * std::numeric_limits<float>::epsilon() * levels * magnitude_sum;
            double worst = 0.0;
            std::string where;
            for (int64_t l = 0; l < size.m; ++l)
                for (int64_t k = 0; k <= size.n / 2; ++k) {
                    const std::complex<double> want = expected[l * size.n + k];
                    const std::complex<double> got(layer.at(2 * k, l).c[c], layer.at(2 * k + 1, l).c[c]);
                    const double error = std::abs(got - want);
                    if (!(error <= worst)) {
                        worst = error;
                        std::ostringstream s;
                        s << "bin (" << k << ", " << l << ") channel " << c << ": got " << got << ", want " << want;
                        where = s.str();
                    }
                }
            EXPECT_LE(worst, tolerance) << "N " << size.n << " M " << size.m << ", worst " << where;
        }
    }
}

template <class P>
class KernelFftReverse : public testing::Test {};

using Reverse_Pixels = testing::Types<Pixel_Argb_32f, Pixel_Bgra_32f, Pixel_Argb_32f_Extra, Pixel_Bgra_32f_Extra>;
TYPED_TEST_SUITE(KernelFftReverse, Reverse_Pixels);

TYPED_TEST(KernelFftReverse, RoundTripMultipliesByHalfWidthTimesHeight) {
    using P = TypeParam;
    test::Test_Host host(2);
    const Render_Context context = host.context();
    for (const Size size : sizes) {
        const Layer_Buffer buffer = allocate_layer_buffer<P>(context, size.n + 2, size.m, true, 0, 0, 1, 1, 1);
        const Layer<P> layer = buffer.layer<P>();
        const auto channels = fill_random(layer, size.n, static_cast<uint32_t>(size.n + size.m));
        Kernel_FFT_Forward<Layer<P>> forward;
        forward.in.image.io.layer = layer;
        forward.run(context);
        Kernel_FFT_Reverse<Layer<P>> reverse;
        reverse.in.image.io.layer = layer;
        reverse.run(context);
        const double gain = static_cast<double>(size.n) / 2.0 * static_cast<double>(size.m);
        // Two transforms' worth of rounding on values of size up to N*M (inputs bounded by 1).
        const double levels = std::log2(static_cast<double>(size.n * size.m)) + 2.0;
        const double tolerance = 8.0 * std::numeric_limits<float>::epsilon() * levels * gain * 2.0;
        test::Worst_Difference worst;
        for (int64_t y = 0; y < size.m; ++y)
            for (int64_t x = 0; x < size.n; ++x)
                for (int c = 0; c < P::channels; ++c) {
                    const double want = gain * channels[c][y * size.n + x];
                    const double got = layer.at(x, y).c[c];
                    const double d = std::isfinite(got) ? std::fabs(got - want) : INFINITY;
                    if (d > worst.difference) worst = {d, x, y, c, got, want};
                }
        EXPECT_LE(worst.difference, tolerance) << "N " << size.n << " M " << size.m << ": " << worst.describe();
    }
}

TEST(KernelFftChecks, WidthMinusTwoAndHeightMustBePowersOfTwo) {
    const test::Log_Sandbox log;
    test::Test_Host host(1);
    const Render_Context context = host.context();
    const struct {
        int64_t width, height;
        bool valid;
    } cases[] = {{6, 4, true}, {5, 4, false}, {6, 3, false}, {2, 4, false}};
    for (const auto& c : cases) {
        const Layer_Buffer buffer = allocate_layer_buffer<Pixel_Argb_32f>(context, c.width, c.height, true, 0, 0, 1, 1, 1);
        const Layer<Pixel_Argb_32f> layer = buffer.layer<Pixel_Argb_32f>();
        for (int64_t y = 0; y < c.height; ++y)
            for (int64_t x = 0; x < c.width; ++x) layer.at(x, y) = {};
        Kernel_FFT_Forward<Layer<Pixel_Argb_32f>> forward;
        Kernel_FFT_Reverse<Layer<Pixel_Argb_32f>> reverse;
        forward.in.image.io.layer = reverse.in.image.io.layer = layer;
        if (c.valid) {
            EXPECT_NO_THROW(forward.run(context)) << c.width << " x " << c.height;
            EXPECT_NO_THROW(reverse.run(context)) << c.width << " x " << c.height;
        } else {
            EXPECT_THROW(forward.run(context), Exception_Assert) << c.width << " x " << c.height;
            EXPECT_THROW(reverse.run(context), Exception_Assert) << c.width << " x " << c.height;
        }
    }
}

}  // namespace
}  // namespace nb
