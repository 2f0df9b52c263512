// Tests of sequence file patterns and frame ranges: expansion, matching files on disk, errors.
#include "tools/frame_sequence.h"

#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"
#include "tools/tool_error.h"

namespace nb::tools {
namespace {

struct Expansion_Case {
    const char* pattern;
    int64_t frame;
    const char* expected;
};

class FramePatternExpansion : public testing::TestWithParam<Expansion_Case> {};

TEST_P(FramePatternExpansion, WritesTheFrameNumberInPlace) {
    const Expansion_Case& c = GetParam();
    EXPECT_EQ(Frame_Pattern(c.pattern).path_for(c.frame), c.expected) << c.pattern << " frame " << c.frame;
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, FramePatternExpansion,
    testing::Values(Expansion_Case{"shot.####.exr", 7, "shot.0007.exr"},
                    Expansion_Case{"shot.####.exr", 12345, "shot.12345.exr"},  // never cut to the width
                    Expansion_Case{"shot.####.exr", -3, "shot.-003.exr"},      // the sign takes a digit, as printf
                    Expansion_Case{"shot.#.exr", 0, "shot.0.exr"},
                    Expansion_Case{"shot.%04d.exr", 42, "shot.0042.exr"},
                    Expansion_Case{"shot.%d.exr", 42, "shot.42.exr"},
                    Expansion_Case{"shot.%d.exr", -42, "shot.-42.exr"},
                    Expansion_Case{"100%%_####.png", 5, "100%_0005.png"},
                    Expansion_Case{"50% grey.png", 5, "50% grey.png"},  // a lone '%' is text
                    Expansion_Case{"renders/a_b/f####", 9, "renders/a_b/f0009"},
                    Expansion_Case{"####.tif", 1, "0001.tif"},
                    Expansion_Case{"still.png", 99, "still.png"}));

TEST(FramePattern, TellsSequencesFromPlainNames) {
    EXPECT_TRUE(Frame_Pattern("a.###.png").is_sequence());
    EXPECT_EQ(Frame_Pattern("a.###.png").width(), 3);
    EXPECT_TRUE(Frame_Pattern("a.%d.png").is_sequence());
    EXPECT_EQ(Frame_Pattern("a.%d.png").width(), 0);
    EXPECT_FALSE(Frame_Pattern("a.png").is_sequence());
    EXPECT_FALSE(Frame_Pattern("100%%.png").is_sequence());
}

TEST(FramePattern, RefusesAmbiguousPatternsWithTheReason) {
    const struct {
        const char* pattern;
        const char* reason;
    } cases[] = {{"a.##.b.##.exr", "more than one"},
                 {"a.%04d.####.exr", "more than one"},
                 {"a.%4d.exr", "space-padded %4d"},
                 {"shot_####/img.exr", "must be in the file name"},
                 {"a.################.exr", "wider than 15"}};
    for (const auto& c : cases) {
        try {
            Frame_Pattern pattern(c.pattern);
            ADD_FAILURE() << c.pattern << " was accepted";
        } catch (const Tool_Error& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find(std::string("'") + c.pattern + "'"), std::string::npos) << message;
            EXPECT_NE(message.find(c.reason), std::string::npos) << message;
        }
    }
}

TEST(FramePattern, FindsExactlyTheFilesItWouldWrite) {
    test::Temp_Folder folder;
    for (const char* name : {"shot.0001.exr", "shot.0003.exr", "shot.10000.exr", "shot.-002.exr", "shot.01.exr",
                             "shot.0002.exr.bak", "shot.abcd.exr", "shot.0004.png", "other.0005.exr"})
        std::ofstream(folder / name) << "x";
    std::filesystem::create_directory(folder / "shot.0006.exr");  // a folder is no frame
    const Frame_Pattern pattern((folder / "shot.####.exr").string());
    EXPECT_EQ(pattern.existing_frames(), (std::vector<int64_t>{-2, 1, 3, 10000}));
    EXPECT_EQ(Frame_Pattern((folder / "shot.%d.exr").string()).existing_frames(), (std::vector<int64_t>{10000}));
    EXPECT_TRUE(Frame_Pattern((folder / "gone" / "x.####.exr").string()).existing_frames().empty());
}

struct Range_Case {
    const char* text;
    int64_t first, last;
};

class FrameRangeParse : public testing::TestWithParam<Range_Case> {};

TEST_P(FrameRangeParse, ReadsFirstAndLast) {
    const Range_Case& c = GetParam();
    const Frame_Range range = Frame_Range::parse(c.text);
    EXPECT_EQ(range, (Frame_Range{c.first, c.last})) << c.text;
    EXPECT_EQ(range.count(), c.last - c.first + 1) << c.text;
}

INSTANTIATE_TEST_SUITE_P(Ranges, FrameRangeParse,
                         testing::Values(Range_Case{"1-48", 1, 48}, Range_Case{"7", 7, 7}, Range_Case{"0", 0, 0},
                                         Range_Case{"5-5", 5, 5}, Range_Case{"-10--2", -10, -2},
                                         Range_Case{"-3-4", -3, 4}, Range_Case{"0010-0012", 10, 12},
                                         Range_Case{"999999999999999", 999999999999999, 999999999999999}));

TEST(FrameRange, MalformedTextIsRefusedWithTheText) {
    for (const char* text : {"", "-", "1-", "-1-", "a-b", "1..5", "1-2-3", "+4", " 1-2", "1 -2", "1:5", "--5",
                             "1000000000000000"}) {
        try {
            Frame_Range::parse(text);
            ADD_FAILURE() << "'" << text << "' was accepted";
        } catch (const Tool_Error& e) {
            EXPECT_NE(std::string(e.what()).find(std::string("'") + text + "'"), std::string::npos) << e.what();
        }
    }
}

TEST(FrameRange, BackwardsRangeSaysSo) {
    try {
        Frame_Range::parse("10-5");
        FAIL() << "10-5 was accepted";
    } catch (const Tool_Error& e) {
        EXPECT_STREQ(e.what(), "frame range '10-5' ends before it starts");
    }
}

}  // namespace
}  // namespace nb::tools
