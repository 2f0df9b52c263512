// Sequence file patterns and frame ranges: the number written in place, and the ranges refused; the
// command's tests see the patterns refused.
#include "tools/frame_sequence.h"

#include <string>

#include <gtest/gtest.h>

#include "tools/tool_error.h"

namespace nb::tools {
namespace {

TEST(FramePattern, WritesTheFrameNumberInPlace) {
    const struct {
        const char* pattern;
        int64_t frame;
        const char* expected;
    } cases[] = {{"shot.####.exr", 7, "shot.0007.exr"},
                 {"shot.####.exr", 12345, "shot.12345.exr"},  // never cut to the width
                 {"shot.####.exr", -3, "shot.-003.exr"},      // the sign takes a digit, as printf
                 {"shot.%04d.exr", 42, "shot.0042.exr"},
                 {"shot.%d.exr", -42, "shot.-42.exr"},
                 {"100%%_####.png", 5, "100%_0005.png"},
                 {"50% grey_%%.png", 5, "50% grey_%.png"},  // a lone '%' is text; no placeholder, one file
                 {"renders/a_b/f#", 9, "renders/a_b/f9"}};
    for (const auto& c : cases) EXPECT_EQ(Frame_Pattern(c.pattern).path_for(c.frame), c.expected) << c.pattern;
    EXPECT_TRUE(Frame_Pattern("a.%d.png").is_sequence());
    EXPECT_FALSE(Frame_Pattern("100%%.png").is_sequence());
}

TEST(FrameRange, ReadsFirstAndLastAndRefusesAnythingElse) {
    const struct {
        const char* text;
        int64_t first, last;
    } cases[] = {{"1-48", 1, 48}, {"7", 7, 7}, {"-10--2", -10, -2}, {"-3-4", -3, 4}, {"0010-0012", 10, 12},
                 {"999999999999999", 999999999999999, 999999999999999}};
    for (const auto& c : cases) {
        const Frame_Range range = Frame_Range::parse(c.text);
        EXPECT_EQ(range, (Frame_Range{c.first, c.last})) << c.text;
        EXPECT_EQ(range.count(), c.last - c.first + 1) << c.text;
    }
    for (const char* text : {"", "-", "1-", "-1-", "a-b", "1-2-3", "+4", " 1-2", "1 -2", "--5", "1000000000000000", "10-5"})
        EXPECT_THROW(Frame_Range::parse(text), Tool_Error) << text;
}

}  // namespace
}  // namespace nb::tools
