// The host memory one defocus run holds at its fullest, worked out from its settings before it runs.
#pragma once

#include <cstdint>

#include "kernel/blurmond_geometry.h"
#include "kernel/kernel_blurmond_in.h"

namespace nb {

// The iris the run will draw, as its margins see it.
template <class Layer_T>
Iris_Extent_Settings blurmond_extent_settings(const Kernel_Blurmond_In<Layer_T>& in) {
    Iris_Extent_Settings s;
    s.radius = in.radius;
    s.aspect = in.aspect;
    s.soften = in.soften;
    s.pixel_aspect = in.in.pixel_aspect;
    s.horizontal_factor = in.in.horizontal_factor;
    s.vertical_factor = in.in.vertical_factor;
    if (!in.iris.empty()) {
        s.alternative_width = in.iris.width;
        s.alternative_height = in.iris.height;
        s.alternative_horizontal_factor = in.iris.horizontal_factor;
        s.alternative_vertical_factor = in.iris.vertical_factor;
        s.alternative_pixel_aspect = in.iris.pixel_aspect;
    }
    s.soften = soften_in_effect(s, in.in.width, in.in.height, in.outside_horizontal, in.outside_vertical,
                                in.gamma_correction);
    return s;
}

struct Blurmond_Working_Set {
    Blurmond_Geometry geometry;
    Iris_Extent soften;  // the part of the margins the softening adds
    // Bytes of host blocks alive at once at the fullest moment: the drawn iris and its softening copy, the
    // transformed iris, the image buffer, the iris sums and the transforms' scratch rows (the iris's own
    // drawing tables, a few rows, are left out). In double: absurd settings overflow any integer.
    double peak_bytes = 0.0;
};

// Whatever the pixel depth: the buffers are float. workers: the host's threads, at least 1. A radius of
// 0 copies and needs nothing.
Blurmond_Working_Set blurmond_working_set(const Iris_Extent_Settings& iris, int64_t in_width, int64_t in_height,
                                          bool colour, bool weighted, int64_t workers);

template <class Layer_T>
Blurmond_Working_Set blurmond_working_set(const Kernel_Blurmond_In<Layer_T>& in, int64_t workers) {
    if (in.radius == 0.0f) return {};
    return blurmond_working_set(blurmond_extent_settings(in), in.in.width, in.in.height,
                                in.colored_iris && !in.iris.empty(), in.preservative_highlight > 0.0f, workers);
}

// Bytes of the host block behind a working image of width_bytes by height rows: rows padded to 64 bytes,
// and the handle's own header and alignment.
double host_block_bytes(double width_bytes, double height);

}  // namespace nb
