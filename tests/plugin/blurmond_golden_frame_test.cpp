// One fixed float scene rendered through the binary, against the hash of the frame's bytes: the Linux
// and the Windows binary must give the same frame, bit for bit.
#include <gtest/gtest.h>

#include <cstdint>

#include "host/effect_session.h"
#include "kernel/fft_lanes_cpu.h"
#include "tests/support/blurmond_session_rig.h"

namespace nb {
namespace {

// Exact binary fractions only, so the scene does not depend on the test program's own maths library.
void fill_exact_scene(host::Host_World& world) {
    for (int64_t y = 0; y < world.height(); ++y)
        for (int64_t x = 0; x < world.width(); ++x) {
            const int64_t n = (x * 37 + y * 101 + x * y * 13) % 64;
            const bool light = (x * 5 + y * 3) % 29 == 0;
            world.set_rgba(x, y, {light ? 8.0 : n / 64.0, (63 - n) / 64.0, ((x + y) % 16) / 16.0,
                                  x % 7 == 0 ? 0.5 : 1.0});
        }
}

uint64_t fnv1a(const host::Host_World& world) {
    uint64_t hash = 14695981039346656037ull;
    const int64_t row_bytes = world.width() * world.format().pixel_bytes();
    for (int64_t y = 0; y < world.height(); ++y) {
        const std::byte* row = world.row(y);
        for (int64_t b = 0; b < row_bytes; ++b) hash = (hash ^ static_cast<uint8_t>(row[b])) * 1099511628211ull;
    }
    return hash;
}

TEST(BlurmondGoldenFrame, FloatSceneWithIrisAndHighlightsKeepsItsBytes) {
    const host::World_Format format{host::Pixel_Depth::bits_32, host::Channel_Order::argb, false};
    test::Blurmond_Session ready(host::app_id_after_effects, 2, false);
    ready.defocus_with_highlights(7.5);
    host::Effect_Session& session = ready.session;
    session.set_int(session.index_of("facets"), 6);
    session.set_angle(session.index_of("angle"), 20.0);
    session.set_float(session.index_of("rounded facets"), 0.25);
    session.set_float(session.index_of("relative border brightness"), 0.5);
    host::Host_World input(48, 32, format), output(48, 32, format);
    fill_exact_scene(input);
    ASSERT_EQ(session.render(host::Frame_Layers{&input, &output, {}}, host::Render_Path::smart), PF_Err_NONE);
    // The binary transforms with AVX2 and FMA where the processor has them, which round differently.
    const bool wide = fft_instructions_available(Fft_Instructions::avx2_fma);
    EXPECT_EQ(fnv1a(output), wide ? 0x063f790f9798317full : 0xfb7d462cc0d64d25ull);
}

}  // namespace
}  // namespace nb
