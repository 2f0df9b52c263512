// Cyclic shift of the drawn iris into transform position, linear light, the extra channel and the sums.
#include "kernel/kernel_shift_iris_cpu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "tests/support/image_compare.h"
#include "tests/support/owned_layer.h"
#include "tests/support/test_host.h"
#include "tests/support/transfer_oracle.h"

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

// The expected output channel ch for the source pixel s, in double: the extra channel is the mean of
// R, G and B before linear light, which leaves alpha alone.
template <class In, class Out>
double expected_channel(const In& s, int ch, bool gamma) {
    if constexpr (In::is_gray) {
        return gamma ? test::bt709_to_linear(s.v()) : s.v();
    } else {
        if (ch == 4) return (double(s.r()) + s.g() + s.b()) / 3.0;
        return gamma && ch != Out::layout::a ? test::bt709_to_linear(s.c[ch]) : s.c[ch];
    }
}

struct Case {
    int64_t in_width, in_height, in_x, in_y;
    int64_t out_width, out_height, out_x, out_y;
    int64_t shift_x, shift_y;
    bool gamma;
};

// A centred iris shifted by half its size; the same with linear light; shifts beyond the size and
// negative ones; origins that differ; an output larger than the source, which repeats it; and empty
// layers, which leave the output alone and sum to 0.
const Case cases[] = {
    {8, 6, 0, 0, 10, 6, 0, 0, 4, 3, false},  {8, 6, 0, 0, 10, 6, 0, 0, 4, 3, true}, {5, 7, 0, 0, 7, 7, 0, 0, 13, -9, false},
    {6, 4, -3, 2, 8, 4, 1, 5, 2, 1, true},   {3, 2, 0, 0, 12, 5, 0, 0, 1, 1, false}, {0, 4, 0, 0, 6, 4, 0, 0, 0, 0, false},
    {4, 4, 0, 0, 6, 0, 0, 0, 0, 0, false},
};

TYPED_TEST(KernelShiftIris, ReadsTheSourceCyclicallyAndSumsTheSignalColumns) {
    using In = typename TypeParam::in;
    using Out = typename TypeParam::out;
    test::Test_Host host(2);
    for (const Case& c : cases) {
        test::Owned_Layer<In> source(c.in_width, c.in_height, c.in_x, c.in_y);
        test::Owned_Layer<Out> out(c.out_width, c.out_height, c.out_x, c.out_y), untouched(c.out_width, c.out_height);
        source.fill_random(7);
        out.fill_random(3);
        untouched.fill_random(3);
        Kernel_Shift_Iris<Layer<In>, Layer<Out>> shift;
        shift.in = {source.layer(), out.layer(), c.shift_x, c.shift_y, c.gamma};
        std::fill(std::begin(shift.out.sums), std::end(shift.out.sums), 9.0f);
        shift.run(host.context());

        const bool empty = source.layer().empty() || out.layer().empty();
        double sums[Out::channels] = {};
        test::Worst_Difference worst;
        for (int64_t y = 0; y < c.out_height; ++y)
            for (int64_t x = 0; x < c.out_width; ++x) {
                const bool signal = x < c.out_width - 2;
                const int64_t w = std::max<int64_t>(c.in_width, 1), h = std::max<int64_t>(c.in_height, 1);
                const int64_t u = ((c.shift_x + c.out_x - c.in_x + x) % w + w) % w;
                const int64_t v = ((c.shift_y + c.out_y - c.in_y + y) % h + h) % h;
                for (int ch = 0; ch < Out::channels; ++ch) {
                    const double want = empty    ? untouched.at(x, y).c[ch]
                                        : signal ? expected_channel<In, Out>(source.at(u, v), ch, c.gamma)
                                                 : 0.0;
                    const double got = out.at(x, y).c[ch];
                    sums[ch] += signal && !empty ? want : 0.0;
                    // Float pow and division against double: a few roundings of the value.
                    const double excess = std::fabs(got - want) - 4.0 * std::numeric_limits<float>::epsilon() * want;
                    if (excess > worst.difference) worst = {excess, x, y, ch, got, want};
                }
            }
        EXPECT_EQ(worst.difference, 0.0) << "out " << c.out_width << "x" << c.out_height << " shift " << c.shift_x
                                         << "," << c.shift_y << ": " << worst.describe();
        for (int ch = 0; ch < Out::channels; ++ch)
            EXPECT_NEAR(shift.out.sums[ch], sums[ch], 1e-5 * sums[ch]) << "channel " << ch;
    }
}

}  // namespace
}  // namespace nb
