// A procedural night street in scene-referred light: the image a lens-defocus effect is made for.
#pragma once

#include <cstdint>

#include "tools/image_rgba.h"

namespace nb::tools {

struct Demo_Scene_Settings {
    int64_t width = 1280;
    int64_t height = 720;
    uint64_t seed = 1;
};

// Opaque float image: a dim sky over a skyline with lit window grids, a moon, stars, street lamps,
// car lights, traffic lights and neon signs, many of them far above 1.0 so they bloom when blurred.
// Geometry is laid out in units of the height, so one seed gives the same scene at every size of
// the same aspect. The same settings always give the same pixels. Throws Tool_Error for a size
// below one pixel.
Image_Rgba make_demo_scene(const Demo_Scene_Settings& settings);

}  // namespace nb::tools
