// An RGBA image with straight alpha, in float or bytes: what the tools read from files and hand to the host.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/host_system.h"

namespace nb::tools {

// Four components per pixel in the order R, G, B, A, floats in rgba or bytes in rgba8; rows top to
// bottom without padding. Colour is not multiplied by alpha. Floats are not clamped: scene-referred
// files keep values above 1.0.
struct Image_Rgba {
    int64_t width = 0;
    int64_t height = 0;
    // Frame position of pixel (0, 0): non-zero when the pixels cover more (or less) than the frame,
    // as the output of a blur grown beyond the frame does.
    int64_t x = 0;
    int64_t y = 0;
    // Size of the frame the pixels belong to, with its top-left corner at (0, 0); zero means the
    // frame is the pixel rectangle itself.
    int64_t frame_width = 0;
    int64_t frame_height = 0;
    // Width of a pixel over its height on the display: 2 for anamorphic footage squeezed by 2.
    float pixel_aspect = 1.0f;
    std::vector<float> rgba;
    // Or the same four components as bytes (white 255), rgba then empty: the pixels of an 8-bit file
    // on their way to an 8-bit world and back to the file, which widening to float would only slow.
    std::vector<uint8_t> rgba8;

    Image_Rgba() = default;
    // A transparent black image of the given size.
    Image_Rgba(int64_t w, int64_t h)
        : width(w), height(h), rgba(host::system::large_vector(static_cast<size_t>(w > 0 && h > 0 ? w * h * 4 : 0), 0.0f)) {}

    // An image in bytes, every component `value`.
    static Image_Rgba bytes(int64_t w, int64_t h, uint8_t value);

    bool empty() const { return width < 1 || height < 1; }
    bool in_bytes() const { return !rgba8.empty(); }
    float* pixel(int64_t c, int64_t r) { return rgba.data() + (r * width + c) * 4; }
    const float* pixel(int64_t c, int64_t r) const { return rgba.data() + (r * width + c) * 4; }
    int64_t full_width() const { return frame_width > 0 ? frame_width : width; }
    int64_t full_height() const { return frame_height > 0 ? frame_height : height; }
};

// The image with its pixels in float: bytes divided by 255, floats as they are.
Image_Rgba widened(const Image_Rgba& image);

}  // namespace nb::tools
