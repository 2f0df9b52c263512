// A procedural night street in scene-referred light: the image a lens-defocus effect is made for.
#pragma once

#include "tools/image_rgba.h"

namespace nb::tools {

// Opaque float image of 1280 x 720 pixels: a dim sky over a skyline with lit window grids, a moon,
// stars, street lamps, car lights, traffic lights and neon signs, many of them far above 1.0 so they
// bloom when blurred. Always the same pixels.
Image_Rgba make_demo_scene();

}  // namespace nb::tools
