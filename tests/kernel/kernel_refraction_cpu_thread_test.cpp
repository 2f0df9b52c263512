// Background distortion over several host threads: rows rewritten in place while all threads read the map.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

#include "kernel/kernel_refraction_cpu.h"
#include "kernel/kernel_refraction_preperation_cpu.h"
#include "tests/support/owned_layer.h"
#include "tests/support/test_host.h"

namespace nb {
namespace {

using P = Pixel_Bgra_32f;

// A soft disc over a striped background; displaced samples cross many rows of the map.
void distort(test::Owned_Layer<P>& out, const test::Owned_Layer<P>& background, int64_t threads) {
    out.fill([](int64_t x, int64_t y) {
        P p{};
        p.r() = 0.01f * x;
        p.a() = std::fmin(1.0f, std::fmax(0.0f, 2.0f - std::hypot(x - 32.0f, y - 24.0f) / 10.0f));
        return p;
    });
    test::Test_Host host(threads);
    Kernel_Refraction_Preperation<Layer<P>> preparation;
    preparation.in.in = out.layer();
    preparation.run(host.context());
    Kernel_Refraction<Layer<P>> refraction;
    refraction.in = {out.layer(), background.layer(), preparation.in.map, 200.0f, 2, Outside::mirrored,
                     Outside::repeated, {}};
    refraction.run(host.context());
}

TEST(KernelRefractionThreads, ManyThreadsGiveTheSingleThreadResult) {
    test::Owned_Layer<P> background(50, 40, 3, -2), single(64, 48), many(64, 48);
    background.fill([](int64_t x, int64_t y) {
        P p{};
        p.g() = (x / 3 + y / 5) % 2 ? 1.0f : 0.25f;
        p.a() = 1.0f;
        return p;
    });
    distort(single, background, 1);
    distort(many, background, 4);
    for (int64_t y = 0; y < 48; ++y)
        for (int64_t x = 0; x < 64; ++x)
            ASSERT_EQ(0, std::memcmp(&single.at(x, y), &many.at(x, y), sizeof(P))) << "pixel (" << x << ", " << y << ")";
}

}  // namespace
}  // namespace nb
