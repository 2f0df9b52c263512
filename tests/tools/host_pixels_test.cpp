// Copies between float RGBA images and the host's six interleaved pixel layouts, against codes worked out
// by hand from truncate(clamp(v * white + 0.5)); reading back is seen through the command's renders.
#include "tools/host_pixels.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace nb::tools {
namespace {

struct Quantise_Case {
    float value;
    uint8_t code_8;
    uint16_t code_16;
};

const Quantise_Case quantise_cases[] = {
    {1.0f, 255, 32768},      // white is 32768 at 16 bits, not 65535
    {0.5f, 128, 16384},      // 127.5 + 0.5 = 128; 16384 + 0.5 truncates to 16384
    {0.25f, 64, 8192},       // 63.75 + 0.5 = 64.25
    {1.0f / 510.0f, 1, 64},  // half an 8-bit step (a hair above in float) rounds up; 64.25 + 0.5 -> 64
    {0.0019f, 0, 62},        // 0.4845 + 0.5 < 1; 62.26 + 0.5 -> 62
    {1.5f, 255, 32768},      // above white clamps
    {-0.2f, 0, 0},           // below black clamps
    {std::numeric_limits<float>::quiet_NaN(), 0, 0},
};
constexpr int case_count = std::size(quantise_cases);

class HostPixels : public testing::TestWithParam<Host_Pixel_Layout> {};

// Channel c of pixel x holds case (x + c) % n, so every case visits every channel position; rows are padded.
TEST_P(HostPixels, EachChannelGoesToItsPlaceWithHostRounding) {
    const Host_Pixel_Layout layout = GetParam();
    Image_Rgba image(case_count, 1);
    for (int x = 0; x < case_count; ++x)
        for (int c = 0; c < 4; ++c) image.pixel(x, 0)[c] = quantise_cases[(x + c) % case_count].value;
    const int64_t row_bytes = image.width * layout.bytes_per_pixel() + 12;
    std::vector<std::byte> data(static_cast<size_t>(row_bytes), std::byte{0xAB});
    write_host_pixels(image, layout, data.data(), row_bytes);
    const int places[2][4] = {{1, 2, 3, 0}, {2, 1, 0, 3}};  // R, G, B, A in ARGB and BGRA
    const int channel_bytes = layout.bits / 8;
    for (int x = 0; x < case_count; ++x)
        for (int c = 0; c < 4; ++c) {
            const Quantise_Case& q = quantise_cases[(x + c) % case_count];
            const std::byte* at = data.data() + (x * 4 + places[layout.order == Channel_Order::bgra][c]) * channel_bytes;
            uint16_t code = 0;
            float f = 0;
            std::memcpy(layout.bits == 32 ? static_cast<void*>(&f) : &code, at, static_cast<size_t>(channel_bytes));
            const std::string where = std::to_string(layout.bits) + " bits pixel " + std::to_string(x) + " channel " +
                                      "RGBA"[c] + " value " + std::to_string(q.value);
            if (layout.bits == 32) EXPECT_TRUE(f == q.value || (std::isnan(f) && std::isnan(q.value))) << where << " got " << f;
            else EXPECT_EQ(code, layout.bits == 8 ? q.code_8 : q.code_16) << where;
        }
    for (int64_t b = image.width * layout.bytes_per_pixel(); b < row_bytes; ++b)
        EXPECT_EQ(data[static_cast<size_t>(b)], std::byte{0xAB}) << "row padding changed";
}

INSTANTIATE_TEST_SUITE_P(Layouts, HostPixels,
                         testing::Values(Host_Pixel_Layout{Channel_Order::argb, 8}, Host_Pixel_Layout{Channel_Order::argb, 16},
                                         Host_Pixel_Layout{Channel_Order::argb, 32}, Host_Pixel_Layout{Channel_Order::bgra, 8},
                                         Host_Pixel_Layout{Channel_Order::bgra, 16}, Host_Pixel_Layout{Channel_Order::bgra, 32}));

}  // namespace
}  // namespace nb::tools
