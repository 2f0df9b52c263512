// Bin-by-bin complex multiplication of transformed buffers, with same-type and gray factors.
#include "kernel/kernel_fft_multiply_cpu.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "base/exception.h"
#include "tests/support/log_sandbox.h"
#include "tests/support/image_compare.h"
#include "tests/support/test_host.h"
#include "util/layer_buffer.h"

namespace nb {
namespace {

template <class Io, class Factor>
struct Pair {
    using io = Io;
    using factor = Factor;
};

template <class T>
class KernelFftMultiply : public testing::Test {};

using Pairs = testing::Types<Pair<Pixel_Argb_32f, Pixel_Argb_32f>, Pair<Pixel_Argb_32f, Pixel_Gray_32f>,
                             Pair<Pixel_Bgra_32f, Pixel_Bgra_32f>, Pair<Pixel_Bgra_32f, Pixel_Gray_32f>,
                             Pair<Pixel_Argb_32f_Extra, Pixel_Argb_32f_Extra>,
                             Pair<Pixel_Argb_32f_Extra, Pixel_Gray_32f>,
                             Pair<Pixel_Bgra_32f_Extra, Pixel_Bgra_32f_Extra>,
                             Pair<Pixel_Bgra_32f_Extra, Pixel_Gray_32f>>;
TYPED_TEST_SUITE(KernelFftMultiply, Pairs);

template <class P>
void fill(const Layer<P>& layer, uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> value(-4.0f, 4.0f);
    for (int64_t y = 0; y < layer.height; ++y)
        for (int64_t x = 0; x < layer.width; ++x)
            for (int c = 0; c < P::channels; ++c) layer.at(x, y).c[c] = value(random);
}

template <class P>
Layer_Buffer copy_of(const Render_Context& context, const Layer<P>& layer) {
    Layer_Buffer buffer = allocate_layer_buffer<P>(context, layer.width, layer.height, true, 0, 0, 1, 1, 1);
    const Layer<P> copy = buffer.layer<P>();
    for (int64_t y = 0; y < layer.height; ++y)
        for (int64_t x = 0; x < layer.width; ++x) copy.at(x, y) = layer.at(x, y);
    return buffer;
}

template <class Io, class Factor>
void multiply(const Render_Context& context, const Layer<Io>& io, const Layer<Factor>& factor) {
    Kernel_FFT_Multiply<Layer<Io>, Layer<Factor>> kernel;
    kernel.in.image.io.layer = io;
    kernel.in.image.factor.layer = factor;
    kernel.run(context);
}

TYPED_TEST(KernelFftMultiply, MultipliesEveryBinAsComplexNumbers) {
    using Io = typename TypeParam::io;
    using Factor = typename TypeParam::factor;
    test::Test_Host host(2);
    const Render_Context context = host.context();
    const int64_t width = 18, height = 8;
    const Layer_Buffer io_buffer = allocate_layer_buffer<Io>(context, width, height, true, 0, 0, 1, 1, 1);
    const Layer_Buffer factor_buffer = allocate_layer_buffer<Factor>(context, width, height, true, 0, 0, 1, 1, 1);
    const Layer<Io> io = io_buffer.layer<Io>();
    const Layer<Factor> factor = factor_buffer.layer<Factor>();
    fill(io, 1);
    fill(factor, 2);
    const Layer_Buffer before_buffer = copy_of(context, io);
    const Layer<Io> before = before_buffer.layer<Io>();
    multiply(context, io, factor);

    test::Worst_Difference worst;
    for (int64_t y = 0; y < height; ++y)
        for (int64_t k = 0; k < width / 2; ++k)
            for (int c = 0; c < Io::channels; ++c) {
                const int f = Factor::channels == 1 ? 0 : c;
                const double a = before.at(2 * k, y).c[c], b = before.at(2 * k + 1, y).c[c];
                const double fc = factor.at(2 * k, y).c[f], fd = factor.at(2 * k + 1, y).c[f];
                const double want[2] = {a * fc - b * fd, a * fd + b * fc};
                // Two float products and one sum: at most 2 roundings relative to |a c| + |b d|.
                const double size = std::fabs(a * fc) + std::fabs(b * fd) + std::fabs(a * fd) + std::fabs(b * fc);
                const double tolerance = 2.0 * std::numeric_limits<float>::epsilon() * size;
                for (int part = 0; part < 2; ++part) {
                    const double got = io.at(2 * k + part, y).c[c];
                    const double excess = std::fabs(got - want[part]) - tolerance;
                    if (excess > worst.difference) worst = {excess, 2 * k + part, y, c, got, want[part]};
                }
            }
    EXPECT_EQ(worst.difference, 0.0) << "beyond tolerance: " << worst.describe();
}

TEST(KernelFftMultiplyChecks, SizesMustBePowersOfTwoAndEqual) {
    const test::Log_Sandbox log;
    test::Test_Host host(1);
    const Render_Context context = host.context();
    struct Case {
        int64_t io_width, io_height, factor_width, factor_height;
        bool valid;
    };
    const Case cases[] = {{6, 4, 6, 4, true}, {5, 4, 5, 4, false}, {6, 3, 6, 3, false}, {6, 4, 10, 4, false},
                          {6, 4, 6, 8, false}};
    for (const Case& c : cases) {
        const Layer_Buffer io =
            allocate_layer_buffer<Pixel_Argb_32f>(context, c.io_width, c.io_height, true, 0, 0, 1, 1, 1);
        const Layer_Buffer factor =
            allocate_layer_buffer<Pixel_Gray_32f>(context, c.factor_width, c.factor_height, true, 0, 0, 1, 1, 1);
        fill(io.layer<Pixel_Argb_32f>(), 4);
        fill(factor.layer<Pixel_Gray_32f>(), 5);
        const auto run = [&] { multiply(context, io.layer<Pixel_Argb_32f>(), factor.layer<Pixel_Gray_32f>()); };
        if (c.valid) EXPECT_NO_THROW(run());
        else EXPECT_THROW(run(), Exception_Assert);
    }
}

}  // namespace
}  // namespace nb
