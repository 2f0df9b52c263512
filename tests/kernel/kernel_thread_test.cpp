// Every multi-threaded kernel gives bit-identical pixels (and sums) however many host threads share its rows,
// columns and scratch, and in whichever order they finish: the defocus runs all but the distortion's,
// and its iris sums change in the last bits when added in another order.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

#include "kernel/kernel_blurmond_cpu.h"
#include "kernel/kernel_refraction_cpu.h"
#include "kernel/kernel_refraction_preperation_cpu.h"
#include "tests/support/owned_layer.h"
#include "tests/support/test_host.h"

namespace nb {
namespace {

using Values = std::vector<float>;

template <class P>
void append(Values& values, const Layer<P>& layer) {
    for (int64_t y = 0; y < layer.height; ++y)
        for (int64_t x = 0; x < layer.width; ++x)
            for (int c = 0; c < P::channels; ++c) values.push_back(static_cast<float>(layer.at(x, y).c[c]));
}

// Sizes are uneven throughout, so row shares and column blocks end in partial pieces. The defocus runs
// the transforms of its buffer (with the weight's extra channel when boosted) and of the iris: drawn
// as blades, or a colour image zoomed through its summed-area table, then softened in place by the
// tent blur. Lights far above the rest are clamped out of the transform and added back row by row with
// each thread's own sums.
Values defocus(const Render_Context& context) {
    using P = Pixel_Argb_32f;
    test::Owned_Layer<P> in(45, 31, 3, -2), out(45, 31, 3, -2), image(23, 17);
    in.fill_random(23, 0.0f, 4.0f);
    for (int64_t y = 0; y < 31; y += 3) in.at(20, y) = P{{1.0f, 3e6f, 2e6f, 1e6f}};
    image.fill_random(11);
    Values values;
    // Four channels, and five with the boost's weight: the row passes convert rows in blocks of each.
    for (const float boost : {0.0f, 1.5f}) {
        Kernel_Blurmond<Layer<P>> k;
        k.in.in = k.in.selection = in.layer();
        k.in.out = out.layer();
        k.in.radius = 7.5f;
        k.in.facets = 7;
        k.in.aspect = 0.3f;
        k.in.soften = 1.0f;
        k.in.gamma_correction = true;
        k.in.colored_iris = boost > 0.0f;
        if (boost > 0.0f) k.in.iris = image.layer();
        k.in.preservative_highlight = boost;
        k.in.additive_highlight = boost / 3.0f;
        k.in.outside_horizontal = Outside::mirrored;
        k.in.selection_curve.selection_enabled = true;
        k.in.selection_curve.lightness_soften = 1.0;
        k.run(context);
        append(values, out.layer());
    }
    return values;
}

// A soft disc over a striped background; displaced samples cross many rows of the map.
Values refraction(const Render_Context& context) {
    using P = Pixel_Bgra_32f;
    test::Owned_Layer<P> background(50, 40, 3, -2), out(64, 48);
    background.fill([](int64_t x, int64_t y) { return P{{0.0f, (x / 3 + y / 5) % 2 ? 1.0f : 0.25f, 0.0f, 1.0f}}; });
    out.fill([](int64_t x, int64_t y) {
        P p{};
        p.r() = 0.01f * x;
        p.a() = std::fmin(1.0f, std::fmax(0.0f, 2.0f - std::hypot(x - 32.0f, y - 24.0f) / 10.0f));
        return p;
    });
    Kernel_Refraction_Preperation<Layer<P>> preparation;
    preparation.in.in = out.layer();
    preparation.run(context);
    Kernel_Refraction<Layer<P>> k;
    k.in = {out.layer(), background.layer(), preparation.in.map, 200.0f, 2, Outside::mirrored, Outside::repeated, {}};
    k.run(context);
    Values values;
    append(values, out.layer());
    return values;
}

struct Threaded_Case {
    const char* name;
    std::function<Values(const Render_Context&)> run;
};

const Threaded_Case threaded_cases[] = {
    {"defocus", defocus}, {"refraction", refraction}
};

Values rendered(const Threaded_Case& c, int64_t threads) {
    test::Test_Host host(threads);  // outlives the kernels, which hold host memory
    return c.run(host.context());
}

TEST(KernelThreads, ResultsAreBitIdenticalForOneTwoFourAndEightThreads) {
    for (const Threaded_Case& c : threaded_cases) {
        const Values reference = rendered(c, 1);
        for (const int64_t threads : {2, 4, 8}) {
            const Values result = rendered(c, threads);
            ASSERT_EQ(result.size(), reference.size()) << c.name;
            for (size_t i = 0; i < result.size(); ++i)
                ASSERT_EQ(std::memcmp(&result[i], &reference[i], sizeof(float)), 0)
                    << c.name << ", " << threads << " threads, value " << i << ": " << result[i] << " against "
                    << reference[i];
        }
    }
}

}  // namespace
}  // namespace nb
