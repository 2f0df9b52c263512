// A float RGBA image with straight alpha: what the tools read from files and hand to the host.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/host_system.h"

namespace nb::tools {

// Four floats per pixel in the order R, G, B, A; rows top to bottom without padding. Colour is not
// multiplied by alpha. Values are not clamped: scene-referred files keep values above 1.0.
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

    Image_Rgba() = default;
    // A transparent black image of the given size.
    Image_Rgba(int64_t w, int64_t h)
        : width(w), height(h), rgba(host::system::large_vector(static_cast<size_t>(w > 0 && h > 0 ? w * h * 4 : 0), 0.0f)) {}

    bool empty() const { return width < 1 || height < 1; }
    float* pixel(int64_t c, int64_t r) { return rgba.data() + (r * width + c) * 4; }
    const float* pixel(int64_t c, int64_t r) const { return rgba.data() + (r * width + c) * 4; }
    int64_t full_width() const { return frame_width > 0 ? frame_width : width; }
    int64_t full_height() const { return frame_height > 0 ? frame_height : height; }
};

}  // namespace nb::tools
