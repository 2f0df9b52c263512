// The numbers the kernels need, derived from the effect's parameter values and the frame.
#pragma once

#include <cstdint>

#include "util/layer.h"

namespace nb {

// Factor on the additive highlight and the background distortion: small discs cannot carry them, so
// they fade out linearly as the radius drops from 2 to 1 full-resolution pixels and vanish below 1.
float small_radius_fade(float radius);

// The iris rotation in radians for the kernels, which turn the other way than the control.
float iris_angle(double degrees);

// Widest iris softening, full-resolution pixels: 2^30, beyond any frame a host describes.
inline constexpr double largest_soften = 1073741824.0;

// Triangle-blur width applied to the drawn iris: "smooth" scaled by the radius relative to the frame's
// full-resolution width plus height, at most largest_soften. 0 when the frame has no full-resolution size.
float iris_soften(double smooth, float radius, const Layer_Description& frame);

// Radius that shows the iris large in a preview of width x height layer pixels at the given resolution
// factors: 100 on 640 x 480 full-resolution pixels, scaled with the frame, and kept so the iris fits
// (2 r below the full-resolution width and height). Never negative.
float iris_preview_radius(int64_t width, int64_t height, float horizontal_factor, float vertical_factor);

}  // namespace nb
