// Images in bytes, and their widening for the work that needs float.
#include "tools/image_rgba.h"

#include <algorithm>
#include <tuple>
#include <utility>

namespace nb::tools {

Image_Rgba Image_Rgba::bytes(int64_t w, int64_t h, uint8_t value) {
    Image_Rgba image;
    std::tie(image.width, image.height) = std::pair(w, h);
    image.rgba8 = host::system::large_vector(static_cast<size_t>(w > 0 && h > 0 ? w * h * 4 : 0), value);
    return image;
}

Image_Rgba widened(const Image_Rgba& image) {
    if (!image.in_bytes()) return image;
    Image_Rgba wide(image.width, image.height);
    std::tie(wide.x, wide.y, wide.frame_width, wide.frame_height, wide.pixel_aspect) =
        std::tie(image.x, image.y, image.frame_width, image.frame_height, image.pixel_aspect);
    std::ranges::transform(image.rgba8, wide.rgba.begin(), [](uint8_t v) { return static_cast<float>(v) / 255.0f; });
    return wide;
}

}  // namespace nb::tools
