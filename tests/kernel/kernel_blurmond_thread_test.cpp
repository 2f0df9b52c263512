// The defocused frame is bit-identical however many worker threads render it.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "kernel/kernel_blurmond_cpu.h"
#include "tests/support/test_host.h"
#include "util/layer_buffer.h"

namespace nb {
namespace {

using P = Pixel_Argb_32f;

std::vector<float> rendered(int64_t threads, float boost) {
    test::Test_Host host(threads);
    const Render_Context context = host.context();
    const int64_t w = 45, h = 31;
    const Layer_Buffer in = allocate_layer_buffer<P>(context, w, h, false, 3, -2, 1.0f, 1.0f, 1.0f);
    const Layer_Buffer out = allocate_layer_buffer<P>(context, w, h, false, 3, -2, 1.0f, 1.0f, 1.0f);
    std::mt19937 random(23);
    std::uniform_real_distribution<float> value(0.0f, 4.0f);
    const Layer<P> source = in.layer<P>();
    for (int64_t y = 0; y < h; ++y)
        for (int64_t x = 0; x < w; ++x)
            for (int c = 0; c < 4; ++c) source.at(x, y).c[c] = c == P::layout::a ? value(random) / 4.0f : value(random);
    Kernel_Blurmond<Layer<P>> k;
    k.in.in = source;
    k.in.out = out.layer<P>();
    k.in.selection = source;
    k.in.radius = 7.5f;
    k.in.facets = 7;
    k.in.aspect = 0.3f;
    k.in.soften = 1.0f;
    k.in.gamma_correction = true;
    k.in.preservative_highlight = boost;
    k.in.additive_highlight = boost / 3.0f;
    k.in.outside_horizontal = Outside::mirrored;
    k.in.selection_curve.selection_enabled = true;
    k.in.selection_curve.lightness_soften = 1.0;
    k.run(context);
    std::vector<float> result;
    for (int64_t y = 0; y < h; ++y)
        for (int64_t x = 0; x < w; ++x)
            for (int c = 0; c < 4; ++c) result.push_back(k.in.out.at(x, y).c[c]);
    return result;
}

TEST(KernelBlurmondThreads, FrameIsBitIdenticalForOneTwoAndEightThreads) {
    // Without a boost the margin rows are copies of converted rows; with one, every row is converted.
    for (const float boost : {0.0f, 1.5f}) {
        const std::vector<float> reference = rendered(1, boost);
        for (const int64_t threads : {2, 8})
            for (int repeat = 0; repeat < 3; ++repeat) {
                const std::vector<float> result = rendered(threads, boost);
                for (size_t i = 0; i < result.size(); ++i)
                    ASSERT_EQ(std::memcmp(&result[i], &reference[i], sizeof(float)), 0)
                        << threads << " threads, boost " << boost << ", value " << i << ": "
                        << result[i] << " against " << reference[i];
            }
    }
}

}  // namespace
}  // namespace nb
