// The run-time pixel description: the checks of its constructor and equality across channel orders.
#include "util/pixel/pixel_format.h"

#include <gtest/gtest.h>

#include <string>

#include "base/exception.h"
#include "base/log.h"
#include "tests/support/log_sandbox.h"

namespace nb {
namespace {

// The newest log entry, where a failed assertion leaves its expression text.
std::string last_log_entry() {
    const auto entries = log_instance().remembered();
    return entries.empty() ? std::string() : entries.back();
}

// Each refusal names the check that failed; a single channel needs only its first position.
TEST(PixelFormat, InvalidDescriptionsFailWithTheirExpression) {
    const struct {
        int64_t values[8];  // colour, extra, channel size, full size, p0..p3
        const char* expression;
    } cases[] = {
        {{5, 0, 1, 5, 0, 1, 2, 3}, "color_channel_count <= 4"},
        {{4, 5, 1, 9, 0, 1, 2, 3}, "extra_channel_count <= 4"},
        {{4, 0, 1, 4, -1, 1, 2, 3}, "color_channel_count >= 1 && p0 >= 0"},
        {{3, 0, 1, 3, 0, 1, -1, -1}, "color_channel_count >= 3 ? p2 >= 0 : true"},
        {{4, 0, 1, 4, 1, 2, 3, -1}, "color_channel_count >= 4 ? p3 >= 0 : true"},
        {{4, 0, 4, 12, 1, 2, 3, 0}, "(color_channel_count + extra_channel_count) * channel_size <= full_size"},
    };
    test::Log_Sandbox sandbox;
    for (const auto& c : cases) {
        const auto& v = c.values;
        EXPECT_THROW(Pixel_Format(1, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]), Exception_Assert);
        EXPECT_NE(last_log_entry().find(std::string("(") + c.expression + ")"), std::string::npos)
            << "log entry: " << last_log_entry();
    }
    EXPECT_NO_THROW(Pixel_Format(1, 1, 0, 4, 4, 0, -1, -1, -1));
}

TEST(PixelFormat, FormatsDifferingOnlyInChannelOrderAreUnequal) {
    EXPECT_NE(format_argb_8, format_bgra_8);
    EXPECT_NE(format_argb_16, format_bgra_16);
    EXPECT_NE(format_argb_32f, format_bgra_32f);
    EXPECT_NE(Pixel_Format(1, 4, 0, 1, 4, 1, 2, 3, 0), Pixel_Format(1, 4, 0, 1, 4, 1, 2, 3, 3));
}

TEST(PixelFormat, TypedVariantsDescribeTheSixHostFormats) {
    EXPECT_EQ(pixel_format_of<Pixel_Argb_8>(), format_argb_8);
    EXPECT_EQ(pixel_format_of<Pixel_Argb_16>(), format_argb_16);
    EXPECT_EQ(pixel_format_of<Pixel_Argb_32f>(), format_argb_32f);
    EXPECT_EQ(pixel_format_of<Pixel_Bgra_8>(), format_bgra_8);
    EXPECT_EQ(pixel_format_of<Pixel_Bgra_16>(), format_bgra_16);
    EXPECT_EQ(pixel_format_of<Pixel_Bgra_32f>(), format_bgra_32f);
    EXPECT_EQ(format_bgra_16, Pixel_Format(1, 4, 0, 2, 8, 2, 1, 0, 3));
}

}  // namespace
}  // namespace nb
