// Margins and transform sizes of the defocus buffers, from the iris's real extent.
#pragma once

#include <cstdint>

#include "util/outside.h"

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

// Margins are the iris's extent on each axis (iris_extent is also how far the defocus reaches from an
// output pixel into the source), so that no tap of the cyclic convolution wraps round the buffer onto
// the opposite edge; an iris squeezed by its aspect, or an image longer one way, needs margins only as
// far as it reaches that way.
Blurmond_Geometry blurmond_geometry(int64_t in_width, int64_t in_height, const Iris_Extent_Settings& iris);

// The softening that draws, within 1e-4 of white, the frame soften draws: soften itself, or less where
// the image repeats both ways (tiled or mirrored rules, periods in_width or 2 in_width, and the same
// down) and the softening spreads the iris over hundreds of periods. The tent then folds onto one
// period as a constant, so the frame is the image's mean and more softening changes nothing but the
// memory it takes. With gamma correction the iris is linearised; only an iris of the blades (values up
// to 1) is known to stay on the curve's linear part there, so an alternative iris keeps its softening.
float soften_in_effect(const Iris_Extent_Settings& iris, int64_t in_width, int64_t in_height, Outside horizontal,
                       Outside vertical, bool gamma_correction);

}  // namespace nb
