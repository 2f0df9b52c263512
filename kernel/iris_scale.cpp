// The iris's size on a layer, in double precision from the float settings.
#include "kernel/iris_scale.h"

#include <algorithm>
#include <cmath>

namespace nb {

std::optional<Iris_Ellipse> iris_ellipse(float radius, float aspect, float pixel_aspect, float horizontal_factor,
                                         float vertical_factor) {
    if (!(radius >= 0.0f)) return std::nullopt;
    const double r = radius;
    const double a = aspect;
    const double rx = (a + 1.0) * (r + 1.0) / pixel_aspect * horizontal_factor;
    const double ry = vertical_factor * (1.0 - a) * (r + 1.0);
    if (!(rx >= 0.0) || !std::isfinite(rx) || !std::isfinite(ry)) return std::nullopt;
    const double ratio = rx != 0.0 ? ry / rx : ry;
    return Iris_Ellipse{rx, std::max(0.05, ratio)};
}

bool Iris_Image_Zoom::drawable() const {
    const auto usable = [](double zoom) { return zoom > 0.0 && std::isfinite(static_cast<float>(zoom)); };
    return usable(x) && usable(y);
}

Iris_Image_Zoom iris_image_zoom(int64_t width, int64_t height, float horizontal_factor, float vertical_factor,
                                float pixel_aspect, float radius, float out_pixel_aspect) {
    const double shorter = std::min(width / static_cast<double>(horizontal_factor),
                                    height / static_cast<double>(vertical_factor));
    const double y = shorter / (2.0 * radius + 1.0);
    return {y * out_pixel_aspect / pixel_aspect, y};
}

}  // namespace nb
