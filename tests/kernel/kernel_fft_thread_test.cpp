// Transforms give bit-identical results however many workers share the rows and columns and their scratch.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "kernel/kernel_fft_cpu.h"
#include "tests/support/test_host.h"
#include "util/layer_buffer.h"

namespace nb {
namespace {

template <class P>
std::vector<float> transformed(int64_t threads, bool round_trip) {
    test::Test_Host host(threads);
    const Render_Context context = host.context();
    const int64_t n = 64, m = 32;
    const Layer_Buffer buffer = allocate_layer_buffer<P>(context, n + 2, m, true, 0, 0, 1, 1, 1);
    const Layer<P> layer = buffer.layer<P>();
    std::mt19937 random(5);
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    for (int64_t y = 0; y < m; ++y)
        for (int64_t x = 0; x < n + 2; ++x)
            for (int c = 0; c < P::channels; ++c) layer.at(x, y).c[c] = value(random);
    Kernel_FFT_Forward<Layer<P>> forward;
    forward.in.image.io.layer = layer;
    forward.run(context);
    if constexpr (!P::is_gray) {
        if (round_trip) {
            Kernel_FFT_Reverse<Layer<P>> reverse;
            reverse.in.image.io.layer = layer;
            reverse.run(context);
        }
    }
    std::vector<float> result;
    for (int64_t y = 0; y < m; ++y)
        for (int64_t x = 0; x < n + 2; ++x)
            for (int c = 0; c < P::channels; ++c) result.push_back(layer.at(x, y).c[c]);
    return result;
}

template <class P>
void expect_thread_independent(bool round_trip) {
    const std::vector<float> reference = transformed<P>(1, round_trip);
    for (const int64_t threads : {2, 8}) {
        const std::vector<float> result = transformed<P>(threads, round_trip);
        ASSERT_EQ(result.size(), reference.size());
        for (size_t i = 0; i < result.size(); ++i)
            ASSERT_EQ(std::memcmp(&result[i], &reference[i], sizeof(float)), 0)
                << threads << " threads, value " << i << ": " << result[i] << " against " << reference[i];
    }
}

TEST(KernelFftThreads, ForwardAndRoundTripAreBitIdenticalForOneTwoAndEightThreads) {
    expect_thread_independent<Pixel_Gray_32f>(false);
    expect_thread_independent<Pixel_Argb_32f>(true);
    expect_thread_independent<Pixel_Bgra_32f_Extra>(true);
}

}  // namespace
}  // namespace nb
