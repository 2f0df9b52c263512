// Cyclic shift of the drawn iris into transform position, linear light, the extra channel and the sums.
#include "kernel/kernel_shift_iris_cpu.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "tests/support/image_compare.h"
#include "tests/support/test_host.h"
#include "tests/support/transfer_oracle.h"
#include "util/layer_buffer.h"

namespace nb {
namespace {

template <class In, class Out>
struct Pair {
    using in = In;
    using out = Out;
};

template <class T>
class KernelShiftIris : public testing::Test {};

using Pairs = testing::Types<Pair<Pixel_Gray_32f, Pixel_Gray_32f>, Pair<Pixel_Argb_32f, Pixel_Argb_32f>,
                             Pair<Pixel_Bgra_32f, Pixel_Bgra_32f>, Pair<Pixel_Argb_32f, Pixel_Argb_32f_Extra>,
                             Pair<Pixel_Bgra_32f, Pixel_Bgra_32f_Extra>>;
TYPED_TEST_SUITE(KernelShiftIris, Pairs);

template <class P>
void fill(const Layer<P>& layer, uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> value(0.0f, 1.0f);
    for (int64_t y = 0; y < layer.height; ++y)
        for (int64_t x = 0; x < layer.width; ++x)
            for (int c = 0; c < P::channels; ++c) layer.at(x, y).c[c] = value(random);
}

// The expected output channel ch for the source pixel s, in double.
template <class In, class Out>
double expected_channel(const In& s, int ch, bool gamma) {
    if constexpr (In::is_gray) {
        return gamma ? test::bt709_to_linear(s.v()) : s.v();
    } else {
        if (ch == 4) return (double(s.r()) + s.g() + s.b()) / 3.0;
        const bool colour = ch != Out::layout::a;
        return gamma && colour ? test::bt709_to_linear(s.c[ch]) : s.c[ch];
    }
}

struct Case {
    int64_t in_width, in_height, in_x, in_y;
    int64_t out_width, out_height, out_x, out_y;
    int64_t shift_x, shift_y;
    bool gamma;
};

// A centred iris shifted by half its size; the same with linear light; shifts beyond the size and
// negative ones; origins that differ; an output larger than the source, which repeats it.
const Case cases[] = {
    {8, 6, 0, 0, 10, 6, 0, 0, 4, 3, false},   {8, 6, 0, 0, 10, 6, 0, 0, 4, 3, true},
    {5, 7, 0, 0, 7, 7, 0, 0, 13, -9, false},  {6, 4, -3, 2, 8, 4, 1, 5, 2, 1, true},
    {3, 2, 0, 0, 12, 5, 0, 0, 1, 1, false},
};

TYPED_TEST(KernelShiftIris, ReadsTheSourceCyclicallyAndSumsTheSignalColumns) {
    using In = typename TypeParam::in;
    using Out = typename TypeParam::out;
    test::Test_Host host(2);
    const Render_Context context = host.context();
    for (const Case& c : cases) {
        const Layer_Buffer in_buffer =
            allocate_layer_buffer<In>(context, c.in_width, c.in_height, true, c.in_x, c.in_y, 1, 1, 1);
        const Layer_Buffer out_buffer =
            allocate_layer_buffer<Out>(context, c.out_width, c.out_height, true, c.out_x, c.out_y, 1, 1, 1);
        Kernel_Shift_Iris<Layer<In>, Layer<Out>> shift;
        shift.in.in = in_buffer.layer<In>();
        shift.in.out = out_buffer.layer<Out>();
        shift.in.shift_x = c.shift_x;
        shift.in.shift_y = c.shift_y;
        shift.in.gamma = c.gamma;
        fill(shift.in.in, 7);
        shift.run(context);

        double sums[Out::channels] = {};
        test::Worst_Difference worst;
        for (int64_t y = 0; y < c.out_height; ++y)
            for (int64_t x = 0; x < c.out_width; ++x) {
                const bool signal = x < c.out_width - 2;
                const int64_t u = ((c.shift_x + c.out_x - c.in_x + x) % c.in_width + c.in_width) % c.in_width;
                const int64_t v = ((c.shift_y + c.out_y - c.in_y + y) % c.in_height + c.in_height) % c.in_height;
                for (int ch = 0; ch < Out::channels; ++ch) {
                    const double want = signal ? expected_channel<In, Out>(shift.in.in.at(u, v), ch, c.gamma) : 0.0;
                    const double got = shift.in.out.at(x, y).c[ch];
                    sums[ch] += signal ? want : 0.0;
                    // Float pow and division against double: a few roundings of the value.
                    const double excess = std::fabs(got - want) - 4.0 * std::numeric_limits<float>::epsilon() * want;
                    if (excess > worst.difference) worst = {excess, x, y, ch, got, want};
                }
            }
        EXPECT_EQ(worst.difference, 0.0) << "case out " << c.out_width << "x" << c.out_height << " shift "
                                         << c.shift_x << "," << c.shift_y << ": " << worst.describe();
        for (int ch = 0; ch < Out::channels; ++ch)
            EXPECT_NEAR(shift.out.sums[ch], sums[ch], 1e-5 * sums[ch]) << "channel " << ch;
    }
}

TYPED_TEST(KernelShiftIris, EmptyLayersLeaveEverythingAndSumZero) {
    using In = typename TypeParam::in;
    using Out = typename TypeParam::out;
    test::Test_Host host(1);
    const Render_Context context = host.context();
    const Layer_Buffer in_buffer = allocate_layer_buffer<In>(context, 4, 4, true, 0, 0, 1, 1, 1);
    const Layer_Buffer out_buffer = allocate_layer_buffer<Out>(context, 6, 4, true, 0, 0, 1, 1, 1);
    fill(in_buffer.layer<In>(), 1);
    fill(out_buffer.layer<Out>(), 2);
    Kernel_Shift_Iris<Layer<In>, Layer<Out>> shift;
    shift.in.in = in_buffer.layer<In>();
    shift.in.out = out_buffer.layer<Out>();
    shift.in.out.height = 0;
    std::fill(std::begin(shift.out.sums), std::end(shift.out.sums), 9.0f);
    shift.run(context);
    shift.in.in.data = nullptr;
    shift.in.out.height = 4;
    shift.run(context);
    const Layer<Out> out = out_buffer.layer<Out>();
    const float first = out.at(0, 0).c[0];
    fill(out, 2);
    EXPECT_EQ(out.at(0, 0).c[0], first) << "output touched";
    for (float s : shift.out.sums) EXPECT_EQ(s, 0.0f);
}

}  // namespace
}  // namespace nb
