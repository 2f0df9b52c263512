// The iris sums do not depend on how many worker threads share the rows, or in which order they finish.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "kernel/kernel_shift_iris_cpu.h"
#include "tests/support/test_host.h"
#include "util/layer_buffer.h"

namespace nb {
namespace {

using In = Pixel_Argb_32f;
using Out = Pixel_Argb_32f_Extra;

// Values over many orders of magnitude, so that summing the rows in another order changes the
// float result.
std::array<float, Out::channels> shifted_sums(int64_t threads, const std::vector<float>& values) {
    test::Test_Host host(threads);
    const Render_Context context = host.context();
    const int64_t w = 62, h = 96;
    const Layer_Buffer in_buffer = allocate_layer_buffer<In>(context, w, h, true, 0, 0, 1, 1, 1);
    const Layer_Buffer out_buffer = allocate_layer_buffer<Out>(context, w + 2, h, true, 0, 0, 1, 1, 1);
    const Layer<In> in = in_buffer.layer<In>();
    size_t i = 0;
    for (int64_t y = 0; y < h; ++y)
        for (int64_t x = 0; x < w; ++x)
            for (int c = 0; c < 4; ++c) in.at(x, y).c[c] = values[i++];
    Kernel_Shift_Iris<Layer<In>, Layer<Out>> shift;
    shift.in.in = in;
    shift.in.out = out_buffer.layer<Out>();
    shift.in.shift_x = w / 2;
    shift.in.shift_y = h / 2;
    shift.in.gamma = true;
    shift.run(context);
    std::array<float, Out::channels> sums;
    std::copy(std::begin(shift.out.sums), std::end(shift.out.sums), sums.begin());
    return sums;
}

TEST(KernelShiftIrisThreads, SumsAreBitIdenticalForOneTwoAndEightThreads) {
    std::mt19937 random(11);
    std::uniform_real_distribution<float> exponent(-12.0f, 6.0f);
    std::vector<float> values(62 * 96 * 4);
    for (float& v : values) v = std::exp2(exponent(random));
    const auto reference = shifted_sums(1, values);
    for (const int64_t threads : {2, 8})
        for (int repeat = 0; repeat < 8; ++repeat) {
            const auto sums = shifted_sums(threads, values);
            for (int c = 0; c < Out::channels; ++c)
                ASSERT_EQ(std::memcmp(&sums[c], &reference[c], sizeof(float)), 0)
                    << threads << " threads, run " << repeat << ", channel " << c << ": " << sums[c] << " against "
                    << reference[c];
        }
}

}  // namespace
}  // namespace nb
