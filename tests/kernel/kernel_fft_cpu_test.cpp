// Forward and reverse transforms against a direct DFT and their round-trip gain, on sizes from a single
// line to 256; the bin-by-bin product between them is checked through the defocus, whose table
// reaches every pair of buffer and iris types.
#include "kernel/kernel_fft_cpu.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/dft_oracle.h"
#include "tests/support/image_compare.h"
#include "tests/support/test_host.h"
#include "util/layer_buffer.h"

namespace nb {
namespace {

constexpr double float_epsilon = std::numeric_limits<float>::epsilon();

struct Size {
    int64_t n, m;
};

// Sizes from the degenerate (a single column or row) to 32 by 32, square and elongated, and long lines
// whose twiddle tables span every level up to 256.
const Size sizes[] = {{4, 4},  {8, 4},  {4, 32}, {32, 4}, {16, 8},  {8, 16},
                      {32, 32}, {2, 8}, {1, 4},  {16, 1}, {256, 2}, {2, 256}};

// Signal pixels get uniform values in [-1, 1); the padding columns beyond n get NaN, which must not leak.
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
class KernelFft : public testing::Test {};

using Pixels = testing::Types<Pixel_Gray_32f, Pixel_Argb_32f, Pixel_Bgra_32f, Pixel_Argb_32f_Extra, Pixel_Bgra_32f_Extra>;
TYPED_TEST_SUITE(KernelFft, Pixels);

// The forward transform leaves bins 0..n/2 of each row as (real, imaginary) pairs; the reverse one (colour
// buffers only) brings back the signal times n/2 * m.
TYPED_TEST(KernelFft, ForwardMatchesDirectDftAndRoundTripMultipliesByHalfWidthTimesHeight) {
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
        // Each of the log2(N*M) radix-2 levels and the real split adds a few float roundings.
        const double levels = std::log2(static_cast<double>(size.n * size.m)) + 2.0;
        for (int c = 0; c < P::channels; ++c) {
            const auto expected = test::direct_dft_2d(channels[c], size.n, size.m, +1);
            // Every bin is a sum of N*M terms bounded by sum|x|, which the roundings are relative to.
            double magnitude_sum = 0.0;
            for (double v : channels[c]) magnitude_sum += std::fabs(v);
            double worst = 0.0;
            std::string where;
            for (int64_t l = 0; l < size.m; ++l)
                for (int64_t k = 0; k <= size.n / 2; ++k) {
                    const std::complex<double> want = expected[l * size.n + k];
                    const std::complex<double> got(layer.at(2 * k, l).c[c], layer.at(2 * k + 1, l).c[c]);
                    if (std::abs(got - want) <= worst) continue;
                    worst = std::abs(got - want);
                    std::ostringstream s;
                    s << "bin (" << k << ", " << l << ") channel " << c << ": got " << got << ", want " << want;
                    where = s.str();
                }
            EXPECT_LE(worst, 4.0 * float_epsilon * levels * magnitude_sum) << size.n << " x " << size.m << ": " << where;
        }
        if constexpr (!P::is_gray) {
            Kernel_FFT_Reverse<Layer<P>> reverse;
            reverse.in.image.io.layer = layer;
            reverse.run(context);
            // Two transforms' worth of rounding on values of size up to N*M (inputs bounded by 1).
            const double gain = static_cast<double>(size.n) / 2.0 * static_cast<double>(size.m);
            test::Worst_Difference worst;
            for (int64_t y = 0; y < size.m; ++y)
                for (int64_t x = 0; x < size.n; ++x)
                    for (int c = 0; c < P::channels; ++c) {
                        const double want = gain * channels[c][y * size.n + x], got = layer.at(x, y).c[c];
                        const double d = std::isfinite(got) ? std::fabs(got - want) : INFINITY;
                        if (d > worst.difference) worst = {d, x, y, c, got, want};
                    }
            EXPECT_LE(worst.difference, 16.0 * float_epsilon * levels * gain)
                << "round trip " << size.n << " x " << size.m << ": " << worst.describe();
        }
    }
}

}  // namespace
}  // namespace nb
