// Margins and transform sizes of the defocus buffers, from the iris's real extent.
#pragma once

#include <cstdint>

namespace nb {

// How the iris will be drawn: into a layer with these factors and pixel aspect, from the blades or,
// when alternative_width > 0, by scaling the alternative image.
struct Iris_Extent_Settings {
    float radius = 0.0f;
    float aspect = 0.0f;
    float soften = 0.0f;
    float pixel_aspect = 1.0f;
    float horizontal_factor = 1.0f;
    float vertical_factor = 1.0f;
    int64_t alternative_width = 0;
    int64_t alternative_height = 0;
    float alternative_horizontal_factor = 1.0f;
    float alternative_vertical_factor = 1.0f;
    float alternative_pixel_aspect = 1.0f;
};

// Pixels left or right (x) and above or below (y) of the iris centre that can be non-zero.
struct Iris_Extent {
    int64_t x = 0;
    int64_t y = 0;
};

Iris_Extent iris_extent(const Iris_Extent_Settings& settings);

struct Blurmond_Geometry {
    int64_t margin_x = 0;  // columns added left and right of the source
    int64_t margin_y = 0;
    int64_t width = 1;  // pw: the smallest transform row length (fft_image.h) >= source width + 2 margins
    int64_t height = 1;
};

// How far the defocus reaches from an output pixel into the source, in pixels of the output's resolution:
// ceil(factor * (radius + soften)), grown to the iris's extent where that is larger (aspect,
// anti-aliased edge, softening, pixel aspect). The defocus buffers' margins, and what a render must
// fetch of the source around its output so that a part of the frame comes out as in the whole frame.
Iris_Extent blurmond_reach(float out_horizontal_factor, float out_vertical_factor, const Iris_Extent_Settings& iris);

// Margins are the reach, so that no tap of the cyclic convolution wraps round the buffer onto the
// opposite edge.
Blurmond_Geometry blurmond_geometry(int64_t in_width, int64_t in_height, float out_horizontal_factor,
                                    float out_vertical_factor, const Iris_Extent_Settings& iris);

}  // namespace nb
