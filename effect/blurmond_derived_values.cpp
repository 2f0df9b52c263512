// Arithmetic of the derived values; kept apart from the pipeline so the numbers can be checked alone.
#include "effect/blurmond_derived_values.h"

#include <algorithm>
#include <cmath>

namespace nb {

float small_radius_fade(float radius) {
    if (radius >= 2.0f) return 1.0f;
    if (radius >= 1.0f) return radius - 1.0f;
    return 0.0f;
}

float iris_angle(double degrees) {
    constexpr double pi = 3.141592653589793;
    return static_cast<float>(-degrees * pi / 180.0);
}

float iris_soften(double smooth, float radius, const Layer_Description& frame) {
    // No radius or no smoothing softens nothing, even when the other factor is out of float range.
    if (radius == 0.0f || smooth == 0.0) return 0.0f;
    const double full_width = static_cast<double>(frame.width) / frame.horizontal_factor;
    const double full_height = static_cast<double>(frame.height) / frame.vertical_factor;
    const double perimeter = full_width + full_height;
    // An empty frame (or a zero resolution factor) has no size to relate the softening to; dividing
    // would give an infinite or undefined width and, from there, an undefined request to the host.
    if (!(perimeter > 0.0) || !std::isfinite(perimeter)) return 0.0f;
    // The control reaches the largest double: the product is taken in double and held at a width far
    // beyond any frame, which the sizes built from it refuse as memory no host has, instead of a float
    // infinity that would draw no iris at all.
    const double soften = smooth * (4.0 * static_cast<double>(radius) / perimeter);
    if (!(soften > 0.0)) return 0.0f;
    return static_cast<float>(std::min(soften, largest_soften));
}

float iris_preview_radius(int64_t width, int64_t height, float horizontal_factor, float vertical_factor) {
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    const float full_width = w / horizontal_factor;
    const float full_height = h / vertical_factor;
    float r = (w / (horizontal_factor * 640.0f) + h / (vertical_factor * 480.0f)) * 50.0f;
    if (full_width < 2.0f * r) r = full_width * 0.5f - 1.0f;
    if (full_height < 2.0f * r) r = full_height * 0.5f - 1.0f;
    // Frames under two full-resolution pixels across would ask for a negative radius.
    return r > 0.0f ? r : 0.0f;
}

}  // namespace nb
