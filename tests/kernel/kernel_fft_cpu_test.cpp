// Forward and reverse transforms against a direct DFT and their round-trip gain, and the bin-by-bin
// complex product of transformed buffers.
#include "kernel/kernel_fft_cpu.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "kernel/kernel_fft_multiply_cpu.h"
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

// Signal pixels get uniform values in [lo, hi); the padding columns beyond n get NaN, which must not leak.
template <class P>
std::vector<std::vector<double>> fill_random(const Layer<P>& layer, int64_t n, uint32_t seed, float lo = -1.0f,
                                             float hi = 1.0f) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> value(lo, hi);
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

template <class Io, class Factor>
struct Pair {
    using io = Io;
    using factor = Factor;
};

template <class T>
class KernelFftMultiply : public testing::Test {};

using Pairs = testing::Types<Pair<Pixel_Argb_32f, Pixel_Argb_32f>, Pair<Pixel_Argb_32f, Pixel_Gray_32f>,
                             Pair<Pixel_Bgra_32f, Pixel_Bgra_32f>, Pair<Pixel_Bgra_32f, Pixel_Gray_32f>,
                             Pair<Pixel_Argb_32f_Extra, Pixel_Argb_32f_Extra>, Pair<Pixel_Argb_32f_Extra, Pixel_Gray_32f>,
                             Pair<Pixel_Bgra_32f_Extra, Pixel_Bgra_32f_Extra>, Pair<Pixel_Bgra_32f_Extra, Pixel_Gray_32f>>;
TYPED_TEST_SUITE(KernelFftMultiply, Pairs);

// A gray factor multiplies every channel of the buffer.
TYPED_TEST(KernelFftMultiply, MultipliesEveryBinAsComplexNumbers) {
    using Io = typename TypeParam::io;
    using Factor = typename TypeParam::factor;
    test::Test_Host host(2);
    const Render_Context context = host.context();
    const Layer_Buffer io_buffer = allocate_layer_buffer<Io>(context, 18, 8, true, 0, 0, 1, 1, 1);
    const Layer_Buffer factor_buffer = allocate_layer_buffer<Factor>(context, 18, 8, true, 0, 0, 1, 1, 1);
    Kernel_FFT_Multiply<Layer<Io>, Layer<Factor>> kernel;
    kernel.in.image.io.layer = io_buffer.layer<Io>();
    kernel.in.image.factor.layer = factor_buffer.layer<Factor>();
    const auto before = fill_random(kernel.in.image.io.layer, 18, 1, -4.0f, 4.0f);
    const auto factor = fill_random(kernel.in.image.factor.layer, 18, 2, -4.0f, 4.0f);
    kernel.run(context);
    test::Worst_Difference worst;
    for (int64_t y = 0; y < 8; ++y)
        for (int64_t k = 0; k < 9; ++k)
            for (int c = 0; c < Io::channels; ++c) {
                const auto& f = factor[Factor::channels == 1 ? 0 : c];
                const std::complex<double> a(before[c][y * 18 + 2 * k], before[c][y * 18 + 2 * k + 1]);
                const std::complex<double> b(f[y * 18 + 2 * k], f[y * 18 + 2 * k + 1]);
                const std::complex<double> want = a * b;
                // Two float products and one sum: at most 2 roundings relative to the products' magnitudes,
                // whose sum is at most 2 |a| |b|.
                const double tolerance = 4.0 * float_epsilon * std::abs(a) * std::abs(b);
                for (int part = 0; part < 2; ++part) {
                    const double got = kernel.in.image.io.layer.at(2 * k + part, y).c[c];
                    const double excess = std::fabs(got - (part ? want.imag() : want.real())) - tolerance;
                    if (excess > worst.difference) worst = {excess, 2 * k + part, y, c, got, part ? want.imag() : want.real()};
                }
            }
    EXPECT_EQ(worst.difference, 0.0) << "beyond tolerance: " << worst.describe();
}

}  // namespace
}  // namespace nb
