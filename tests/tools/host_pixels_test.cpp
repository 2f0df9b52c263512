// Tests of the copies between float RGBA images and the host's six interleaved pixel layouts.
#include "tools/host_pixels.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/image_rgba_compare.h"
#include "tools/tool_error.h"

namespace nb::tools {

// Beside the type, where GoogleTest looks for it, so failing cases print "argb_16" and not bytes.
void PrintTo(const Host_Pixel_Layout& layout, std::ostream* out) { *out << layout.name(); }

namespace {

constexpr float nan_value = std::numeric_limits<float>::quiet_NaN();

const Host_Pixel_Layout all_layouts[] = {{Channel_Order::argb, 8},  {Channel_Order::argb, 16},
                                         {Channel_Order::argb, 32}, {Channel_Order::bgra, 8},
                                         {Channel_Order::bgra, 16}, {Channel_Order::bgra, 32}};

// One channel value in, the integer a host pixel must hold, worked out by hand from
// truncate(clamp(v * white + 0.5)).
struct Quantise_Case {
    float value;
    uint8_t code_8;
    uint16_t code_16;
};

const Quantise_Case quantise_cases[] = {
    {1.0f, 255, 32768},            // white is 32768 at 16 bits, not 65535
    {0.5f, 128, 16384},            // 127.5 + 0.5 = 128; 16384 + 0.5 truncates to 16384
    {0.25f, 64, 8192},             // 63.75 + 0.5 = 64.25
    {1.0f / 510.0f, 1, 64},        // half an 8-bit step (a hair above in float) rounds up; 64.25 + 0.5 -> 64
    {0.0019f, 0, 62},              // 0.4845 + 0.5 < 1; 62.26 + 0.5 -> 62
    {1.5f, 255, 32768},            // above white clamps
    {-0.2f, 0, 0},                 // below black clamps
    {nan_value, 0, 0},             // NaN becomes black
};

class HostPixels : public testing::TestWithParam<Host_Pixel_Layout> {};

// Where a channel of pixel x sits in a row, in components.
int component_index(const Host_Pixel_Layout& layout, int64_t x, int channel) {
    static const int argb[] = {1, 2, 3, 0}, bgra[] = {2, 1, 0, 3};
    return static_cast<int>(x) * 4 + (layout.order == Channel_Order::argb ? argb : bgra)[channel];
}

template <class T>
T component(const std::vector<std::byte>& data, int64_t row_bytes, int64_t y, int index) {
    T v;
    std::memcpy(&v, data.data() + y * row_bytes + index * sizeof(T), sizeof(T));
    return v;
}

// Each quantise case is one pixel; channel c of pixel i holds case (i + c) so every case visits
// every channel position.
Image_Rgba quantise_image() {
    constexpr int n = std::size(quantise_cases);
    Image_Rgba image(n, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < n; ++x)
            for (int c = 0; c < 4; ++c) image.pixel(x, y)[c] = quantise_cases[(x + c + y) % n].value;
    return image;
}

// Checks one stored component against the hand-worked code of its case.
void expect_component(const Host_Pixel_Layout& layout, const std::vector<std::byte>& data, int64_t row_bytes,
                      int64_t x, int64_t y, int channel, const Quantise_Case& q) {
    const int at = component_index(layout, x, channel);
    const std::string where = layout.name() + " pixel " + std::to_string(x) + "," + std::to_string(y) + " channel " +
                              "RGBA"[channel] + " value " + std::to_string(q.value);
    if (layout.bits == 8) {
        EXPECT_EQ(component<uint8_t>(data, row_bytes, y, at), q.code_8) << where;
    } else if (layout.bits == 16) {
        EXPECT_EQ(component<uint16_t>(data, row_bytes, y, at), q.code_16) << where;
    } else {
        const float f = component<float>(data, row_bytes, y, at);
        EXPECT_TRUE(f == q.value || (std::isnan(f) && std::isnan(q.value))) << where << " got " << f;
    }
}

TEST_P(HostPixels, WritesEachChannelToItsPlaceWithHostRounding) {
    const Host_Pixel_Layout layout = GetParam();
    const Image_Rgba image = quantise_image();
    const int64_t row_bytes = image.width * layout.bytes_per_pixel() + 12;  // padded rows, as hosts use
    std::vector<std::byte> data(static_cast<size_t>(row_bytes * image.height), std::byte{0xAB});
    write_host_pixels(image, layout, data.data(), row_bytes);

    constexpr int n = std::size(quantise_cases);
    for (int64_t y = 0; y < image.height; ++y)
        for (int64_t x = 0; x < image.width; ++x)
            for (int c = 0; c < 4; ++c) expect_component(layout, data, row_bytes, x, y, c, quantise_cases[(x + c + y) % n]);
    for (int64_t y = 0; y < image.height; ++y)
        for (int64_t b = image.width * layout.bytes_per_pixel(); b < row_bytes; ++b)
            EXPECT_EQ(data[static_cast<size_t>(y * row_bytes + b)], std::byte{0xAB}) << "row padding changed in row " << y;
}

TEST_P(HostPixels, ReadingWhatWasWrittenGivesTheQuantisedImage) {
    const Host_Pixel_Layout layout = GetParam();
    Image_Rgba image(5, 3);
    for (size_t i = 0; i < image.rgba.size(); ++i) image.rgba[i] = static_cast<float>(i) / 64.0f;  // up to 0.92
    const int64_t row_bytes = image.width * layout.bytes_per_pixel() + 4;
    std::vector<std::byte> data(static_cast<size_t>(row_bytes * image.height));
    write_host_pixels(image, layout, data.data(), row_bytes);
    const Image_Rgba back = read_host_pixels(layout, data.data(), row_bytes, image.width, image.height);
    // Rounding to the nearest code moves a value at most half a code: 0.5 / white; float is exact.
    const double tolerance = layout.bits == 32 ? 0.0 : 0.5 / layout.white() + 1e-7;
    const auto worst = test::worst_rgba_difference(back, image);
    EXPECT_LE(worst.error, tolerance) << layout.name() << ": " << worst.describe();
}

INSTANTIATE_TEST_SUITE_P(Layouts, HostPixels, testing::ValuesIn(all_layouts),
                         [](const testing::TestParamInfo<Host_Pixel_Layout>& info) { return info.param.name(); });

TEST(HostPixelsRead, SixteenBitWhiteIs32768AndFloatIsNotClamped) {
    const uint16_t argb_16[] = {32768, 16384, 0, 65535};  // A, R, G, B
    const Image_Rgba sixteen = read_host_pixels({Channel_Order::argb, 16}, argb_16, sizeof(argb_16), 1, 1);
    EXPECT_EQ(sixteen.rgba, (std::vector<float>{0.5f, 0.0f, 65535.0f / 32768.0f, 1.0f}));

    const float bgra_32[] = {-1.0f, 7.5f, 0.25f, 0.5f};  // B, G, R, A
    const Image_Rgba floats = read_host_pixels({Channel_Order::bgra, 32}, bgra_32, sizeof(bgra_32), 1, 1);
    EXPECT_EQ(floats.rgba, (std::vector<float>{0.25f, 7.5f, -1.0f, 0.5f}));
}

TEST(HostPixelsRead, BadLayoutsAndShortRowsAreRefused) {
    std::vector<std::byte> data(64);
    EXPECT_THROW(read_host_pixels({Channel_Order::argb, 12}, data.data(), 16, 1, 1), Tool_Error);
    EXPECT_THROW(read_host_pixels({Channel_Order::argb, 16}, data.data(), 15, 2, 1), Tool_Error);
    EXPECT_THROW(read_host_pixels({Channel_Order::argb, 8}, data.data(), 16, -1, 1), Tool_Error);
    EXPECT_THROW(write_host_pixels(Image_Rgba(2, 1), {Channel_Order::bgra, 32}, data.data(), 31), Tool_Error);
}

}  // namespace
}  // namespace nb::tools
