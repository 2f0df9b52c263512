// Block averaging of straight-alpha images for reduced-resolution renders.
#include "tools/image_downsample.h"

#include <algorithm>
#include <array>

#include "tools/tool_error.h"

namespace nb::tools {
namespace {

int64_t floor_div(int64_t a, int64_t n) { return a >= 0 ? a / n : -((-a + n - 1) / n); }
int64_t ceil_div(int64_t a, int64_t n) { return -floor_div(-a, n); }

// Sums of the block with its top-left corner at (x0, y0): premultiplied colour, plain colour, alpha.
void average_block(const Image_Rgba& image, int64_t x0, int64_t y0, int64_t n, float* out) {
    std::array<double, 3> weighted{}, plain{};
    double alpha = 0;
    int64_t count = 0;
    for (int64_t y = y0; y < std::min(y0 + n, image.height); ++y)
        for (int64_t x = x0; x < std::min(x0 + n, image.width); ++x) {
            const float* p = image.pixel(x, y);
            for (int k = 0; k < 3; ++k) {
                weighted[k] += static_cast<double>(p[k]) * p[3];
                plain[k] += p[k];
            }
            alpha += p[3];
            ++count;
        }
    for (int k = 0; k < 3; ++k)
        out[k] = static_cast<float>(alpha != 0 ? weighted[k] / alpha : plain[k] / static_cast<double>(count));
    out[3] = static_cast<float>(alpha / static_cast<double>(count));
}

}  // namespace

Image_Rgba downsample_image(const Image_Rgba& image, int64_t n) {
    if (n < 1) throw Tool_Error("downsample factor " + std::to_string(n) + " is below 1");
    if (n == 1 || image.empty()) return image;
    if (image.in_bytes()) return downsample_image(widened(image), n);
    Image_Rgba result(ceil_div(image.width, n), ceil_div(image.height, n));
    for (int64_t y = 0; y < result.height; ++y)
        for (int64_t x = 0; x < result.width; ++x) average_block(image, x * n, y * n, n, result.pixel(x, y));
    result.x = floor_div(image.x, n);
    result.y = floor_div(image.y, n);
    result.frame_width = ceil_div(image.frame_width, n);
    result.frame_height = ceil_div(image.frame_height, n);
    result.pixel_aspect = image.pixel_aspect;
    return result;
}

}  // namespace nb::tools
