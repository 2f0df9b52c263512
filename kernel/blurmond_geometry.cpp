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

// The image repeats every period pixels along a line under a tiling or mirroring rule; 0: it does not.
int64_t period(Outside rule, int64_t length) {
    if (rule == Outside::repeated) return length;
    if (rule == Outside::mirrored) return 2 * length;
    return 0;
}

// Widths, in periods, beyond which the tent folded onto one period deviates from its mean by less than
// 5.6e-6 of it, measured over tents of every fraction up to 400 periods for periods of 2 to 1024 pixels
// (the ratio grows with the period towards 299). The bound is what 1e-4 of white on the output leaves
// after four shares: the two axes, the capped and the uncapped frame each on their own side of the
// mean, and the transfer curve's steepest slope, 4.5, when gamma correction is on.
constexpr double flat_periods = 300.0;

// The curve's linear part ends at 0.081, where it is v / 4.5.
constexpr double linear_light_end = 0.081;

}  // namespace

float soften_in_effect(const Iris_Extent_Settings& iris, int64_t in_width, int64_t in_height, Outside horizontal,
                       Outside vertical, bool gamma_correction) {
    const int64_t period_x = period(horizontal, in_width), period_y = period(vertical, in_height);
    const bool blades = !(iris.alternative_width > 0 && iris.alternative_height > 0);
    if (period_x <= 0 || period_y <= 0 || (gamma_correction && !blades) || !(iris.soften > 0.0f)) return iris.soften;
    const double hf = iris.horizontal_factor, vf = iris.vertical_factor;
    if (!(hf > 0.0 && vf > 0.0)) return iris.soften;
    double cap = flat_periods * std::max(static_cast<double>(period_x) / hf, static_cast<double>(period_y) / vf);
    if (gamma_correction) {
        // A tent of radius r peaks below 1 / r, so the softened blades, at most 1 over their extent,
        // stay below their pixel count / (rx ry): held under the linear part's end, the iris is only
        // scaled by linearising, as the fold needs.
        const Iris_Extent e = blade_extent(iris);
        const double pixels = static_cast<double>(2 * e.x + 1) * static_cast<double>(2 * e.y + 1);
        cap = std::max(cap, std::sqrt(pixels / (linear_light_end * hf * vf)));
    }
    return static_cast<float>(std::min(static_cast<double>(iris.soften), cap));
}

Iris_Extent iris_extent(const Iris_Extent_Settings& s) {
    Iris_Extent e = s.alternative_width > 0 && s.alternative_height > 0 ? alternative_extent(s) : blade_extent(s);
    e.x += soften_extent(s.soften, s.horizontal_factor);
    e.y += soften_extent(s.soften, s.vertical_factor);
    return e;
}

Blurmond_Geometry blurmond_geometry(int64_t in_width, int64_t in_height, const Iris_Extent_Settings& iris) {
    const Iris_Extent reach = iris_extent(iris);
    Blurmond_Geometry g;
    g.margin_x = reach.x;
    g.margin_y = reach.y;
    g.width = next_fft_row_length(std::max<int64_t>(0, in_width) + 2 * g.margin_x);
    g.height = next_fft_length(std::max<int64_t>(0, in_height) + 2 * g.margin_y);
    return g;
}

}  // namespace nb
