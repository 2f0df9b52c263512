// Working memory through the binary: asked of the host's budget before the first pixel, refused with
// the control that drives it, and recycled from frame to frame.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/blurmond_session_rig.h"

namespace nb {
namespace {

// iris_width x iris_height: the alternative iris, 0 for none; driver: what the refusal names, null when
// the frame renders.
struct Budget_Case {
    const char *label, *driver;
    int64_t width, height;
    double radius, smooth, aspect;
    int64_t iris_width, iris_height, budget_mib;
};

// Buffers are float, four a pixel (the highlights are off), beside a gray iris.
const Budget_Case budget_cases[] = {
    // smooth 1e5 softens the radius-20 iris by 4 * 1e5 * 20 / (480 + 270) = 10667 pixels: 32768² buffers.
    {"soft iris", "\"smooth\"", 480, 270, 20, 1e5, 0, 0, 0, 4096},
    // 1 + 2 * 1000 columns and 100000 + 2000 rows take 2048 x 131072: 5 GiB.
    {"tall frame", "\"radius\"", 1, 100000, 999, 0, 0, 0, 0, 2048},
    // The short side spans 101 pixels, so the 2000 x 1 image is 202000 pixels wide: 5 GiB; the square
    // image stays within 52 pixels (1024 x 512, 10 MiB).
    {"long iris image", "\"alternative iris\"", 480, 270, 50, 0, 0, 2000, 1, 32},
    {"square iris image", nullptr, 480, 270, 50, 0, 0, 64, 64, 32},
    // Aspect 0.75 leaves 0.25 * 101 = 25 rows up and down: 250 rows take 256 (5.1 MiB), where margins
    // of the radius would take 512 (10.3 MiB).
    {"squeezed iris", nullptr, 480, 200, 100, 0, 0.75, 0, 0, 9},
    {"large frame", "the frame size", 2000, 2000, 2, 0, 0, 0, 0, 64},
};

const host::World_Format f = test::blurmond_variants[0].format();

TEST(BlurmondMemory, WorkingSetFitsTheBudgetOrIsRefusedBeforeThePixelsNamingItsCause) {
    for (const Budget_Case& c : budget_cases) {
        test::Blurmond_Session s(test::blurmond_variants[0], 2, false, c.budget_mib << 20);
        for (const auto& [name, value] : {std::pair{"radius", c.radius}, {"smooth", c.smooth}, {"x-y aspect", c.aspect}})
            s.session.set_float(s.index_of(name), value);
        host::Host_World input(c.width, c.height, f), output(c.width, c.height, f), blank(c.width, c.height, f),
            iris(std::max<int64_t>(c.iris_width, 1), std::max<int64_t>(c.iris_height, 1), f);
        for (auto [world, v] : {std::pair{&input, 1.0}, {&iris, 1.0}, {&output, 0.4}, {&blank, 0.4}}) test::fill_constant(*world, {v, v, v, 1.0});
        host::Frame_Layers frame{&input, &output, {}};
        if (c.iris_width > 0) frame.extra[s.index_of("alternative iris")] = &iris;

        EXPECT_EQ(s.render(frame), c.driver ? PF_Err_OUT_OF_MEMORY : PF_Err_NONE) << c.label;
        const std::string message = s.session.error_message();
        EXPECT_TRUE(!c.driver || message.find(c.driver) != std::string::npos) << c.label << ": " << message;
        EXPECT_TRUE(!c.driver || test::byte_difference(output, blank).empty()) << c.label << ": refused after writing pixels";
    }
}

// The second frame takes every block from those the first gave back. 1% below what a frame holds at
// once it is refused before it starts, and 2% above it a sequence renders, kept blocks making room:
// what the effect asks for up front is the frame's working set.
TEST(BlurmondMemory, FramesReuseTheBlocksOfTheFrameBeforeWithinTheBudget) {
    host::Host_World input(96, 64, f), first(96, 64, f), again(96, 64, f);
    test::fill_test_frame(input, 3);
    for (int64_t peak = 0; int64_t share : {0, -1, 2}) {
        test::Blurmond_Session s(test::blurmond_variants[0], 2, false, peak + peak * share / 100);
        s.defocus_with_highlights(9.0);
        s.session.set_checkbox(s.index_of("enable"), true);  // the weighted buffers
        const host::Host_Handles& books = s.session.host().handles();
        for (int frame = 0; frame < 3; ++frame) {
            const int64_t allocations = books.allocations(), reused = books.reused();
            host::Host_World& output = frame == 0 && share == 0 ? first : again;
            ASSERT_EQ(s.render({&input, &output, {}}), share < 0 ? PF_Err_OUT_OF_MEMORY : PF_Err_NONE) << share << "%";
            EXPECT_TRUE(share >= 0 || !s.session.error_message().empty()) << "refused only by a kernel";
            if (share < 0) break;
            EXPECT_TRUE(frame == 0 || share > 0 || books.reused() - reused == books.allocations() - allocations);
            EXPECT_EQ(test::byte_difference(output, first), "") << share << "% frame " << frame;
            EXPECT_LE(books.live_bytes() + books.kept_bytes(), books.budget());
        }
        if (share == 0) peak = books.peak_bytes();
    }
}

}  // namespace
}  // namespace nb
