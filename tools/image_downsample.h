// Reduces an image to 1/n of its size the way a host prepares reduced-resolution previews.
#pragma once

#include <cstdint>

#include "tools/image_rgba.h"

namespace nb::tools {

// Each output pixel averages an n x n block (the blocks of the last row and column may be cut short,
// so the size is rounded up). Colour is averaged weighted by alpha, so transparent pixels lend no
// colour to an edge; a block without any alpha keeps its plain average. The frame position and size
// are divided by n as well (rounding down and up). n = 1 returns the image unchanged. Throws Tool_Error
// for n < 1.
Image_Rgba downsample_image(const Image_Rgba& image, int64_t n);

}  // namespace nb::tools
