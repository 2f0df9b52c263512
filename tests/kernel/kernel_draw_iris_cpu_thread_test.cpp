// Iris drawing on several host threads: rows written concurrently give what one thread gives.
#include "kernel/kernel_draw_iris_cpu.h"

#include <gtest/gtest.h>

#include "tests/support/image_compare.h"
#include "tests/support/owned_layer.h"
#include "tests/support/test_host.h"

namespace nb {
namespace {

// Drawing rows share the read-only geometry; the soften pass blurs the same layer in place.
template <class Out, class Iris>
void draw(test::Owned_Layer<Out>& out, const Layer<Iris>& alternative, int64_t threads) {
    Kernel_Draw_Iris<Layer<Out>, Layer<Iris>> kernel;
    kernel.in.out = out.layer();
    kernel.in.iris = alternative;
    kernel.in.radius = 40.0f;
    kernel.in.rounded = 0.4f;
    kernel.in.border_thickness = 0.2f;
    kernel.in.border_brightness = 0.6f;
    kernel.in.aspect = 0.2f;
    kernel.in.angle = 0.5f;
    kernel.in.facets = 7;
    kernel.in.soften = 2.5f;
    test::Test_Host host(threads);
    kernel.run(host.context());
}

TEST(KernelDrawIrisThreads, ParallelRowsEqualOneThread) {
    test::Owned_Layer<Pixel_Argb_8> image(50, 30);
    image.fill_random(11);
    for (const Layer<Pixel_Argb_8>& alternative : {Layer<Pixel_Argb_8>{}, image.layer()}) {
        test::Owned_Layer<Pixel_Gray_32f> one(120, 100), many(120, 100);
        draw(one, alternative, 1);
        draw(many, alternative, 4);
        const test::Worst_Difference worst = test::worst_difference(many.layer(), one.layer());
        EXPECT_EQ(worst.difference, 0.0) << (alternative.empty() ? "blades: " : "image: ") << worst.describe();
    }
}

}  // namespace
}  // namespace nb
