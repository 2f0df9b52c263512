// Copies between straight-alpha RGBA images and the host's interleaved pixel buffers.
#pragma once

#include <cstdint>

#include "tools/image_rgba.h"

namespace nb::tools {

enum class Channel_Order { argb, bgra };

// One of the host's six pixel layouts: ARGB or BGRA at 8 bits (white 255), 16 bits (white 32768)
// or 32-bit float (white 1.0).
struct Host_Pixel_Layout {
    Channel_Order order = Channel_Order::argb;
    int bits = 8;  // 8, 16 or 32

    int64_t bytes_per_pixel() const { return 4 * bits / 8; }
    float white() const { return bits == 8 ? 255.0f : bits == 16 ? 32768.0f : 1.0f; }
    bool operator==(const Host_Pixel_Layout&) const = default;
};

// Writes the image into width x height host pixels whose rows start row_bytes apart; bytes between
// rows are left alone. Integers are truncate(clamp(v * white + 0.5)) with NaN as 0; float is copied
// unclamped. An image in bytes goes to 8-bit pixels as it is, and elsewhere as its bytes / 255 would.
// Throws Tool_Error for a bad layout or rows shorter than the image.
void write_host_pixels(const Image_Rgba& image, const Host_Pixel_Layout& layout, void* data, int64_t row_bytes);

// Reads host pixels into an image at origin (0, 0): integers divided by white, float as is; with
// `keep_bytes`, 8-bit pixels into an image in bytes as they are.
// Throws Tool_Error for a bad layout, size or row length.
Image_Rgba read_host_pixels(const Host_Pixel_Layout& layout, const void* data, int64_t row_bytes, int64_t width,
                            int64_t height, bool keep_bytes = false);

}  // namespace nb::tools
