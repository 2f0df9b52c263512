// How far the drawn iris reaches from its centre, and the margins and buffer sizes that follow.
#include "kernel/blurmond_geometry.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "kernel/fft_image.h"
#include "kernel/iris_scale.h"

namespace nb {

namespace {

// Beyond any frame a host can describe; a larger reach (an absurd softening) is held here so the pixel
// counts stay defined and the sizes built from them fail as allocations instead.
constexpr double most_pixels = 1073741824.0;  // 2^30

// Whole pixels for a finite, non-negative reach; anything else reaches nowhere.
int64_t whole_pixels(double reach) {
    if (!(reach > 0.0) || !std::isfinite(reach)) return 0;
    return static_cast<int64_t>(std::ceil(std::min(reach, most_pixels)));
}

// Largest whole number of pixels strictly below a finite, non-negative reach.
int64_t pixels_below(double reach) {
    if (!(reach > 0.0) || !std::isfinite(reach)) return 0;
    return static_cast<int64_t>(std::ceil(std::min(reach, most_pixels))) - 1;
}

// A pixel of the blade iris has coverage only when its centre lies strictly inside the shape, which
// lies within the iris's ellipse.
Iris_Extent blade_extent(const Iris_Extent_Settings& s) {
    const std::optional<Iris_Ellipse> e =
        iris_ellipse(s.radius, s.aspect, s.pixel_aspect, s.horizontal_factor, s.vertical_factor);
    if (!e) return {};
    return {pixels_below(e->rx), pixels_below(e->rx * e->q)};
}

// An output pixel d from the centre averages the image window (d -+ 0.5) zoom + size / 2, which also
// weighs the column after the window's end; so the image reaches pixels with
// |d| < (size / 2 + 1) / zoom + 0.5 on either side.
Iris_Extent alternative_extent(const Iris_Extent_Settings& s) {
    const Iris_Image_Zoom zoom =
        iris_image_zoom(s.alternative_width, s.alternative_height, s.alternative_horizontal_factor,
                        s.alternative_vertical_factor, s.alternative_pixel_aspect, s.radius, s.pixel_aspect);
    if (!zoom.drawable()) return {};
    return {pixels_below((s.alternative_width * 0.5 + 1.0) / zoom.x + 0.5),
            pixels_below((s.alternative_height * 0.5 + 1.0) / zoom.y + 0.5)};
}

// A tent of radius n + f reaches n + 1 pixels, the last with weight f / 2: ceil(radius) in all.
int64_t soften_extent(float soften, float factor) { return whole_pixels(static_cast<double>(soften) * factor); }

}  // namespace

Iris_Extent iris_extent(const Iris_Extent_Settings& s) {
    Iris_Extent e = s.alternative_width > 0 && s.alternative_height > 0 ? alternative_extent(s) : blade_extent(s);
    e.x += soften_extent(s.soften, s.horizontal_factor);
    e.y += soften_extent(s.soften, s.vertical_factor);
    return e;
}

Iris_Extent blurmond_reach(float out_horizontal_factor, float out_vertical_factor, const Iris_Extent_Settings& iris) {
    // In float, as the reach has always been computed, so sizes do not change where it suffices.
    const float reach = iris.radius + iris.soften;
    const Iris_Extent extent = iris_extent(iris);
    return {std::max(whole_pixels(std::ceil(out_horizontal_factor * reach)), extent.x),
            std::max(whole_pixels(std::ceil(out_vertical_factor * reach)), extent.y)};
}

Blurmond_Geometry blurmond_geometry(int64_t in_width, int64_t in_height, float out_horizontal_factor,
                                    float out_vertical_factor, const Iris_Extent_Settings& iris) {
    const Iris_Extent reach = blurmond_reach(out_horizontal_factor, out_vertical_factor, iris);
    Blurmond_Geometry g;
    g.margin_x = reach.x;
    g.margin_y = reach.y;
    g.width = next_fft_row_length(std::max<int64_t>(0, in_width) + 2 * g.margin_x);
    g.height = next_fft_length(std::max<int64_t>(0, in_height) + 2 * g.margin_y);
    return g;
}

}  // namespace nb
