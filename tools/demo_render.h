// The built-in demo: the procedural night scene, defocused through the effect, written with its input.
#pragma once

#include <filesystem>
#include <ostream>

#include "tools/image_rgba.h"
#include "tools/render_options.h"

namespace nb::tools {

// Renders the demo scene with a hexagonal, slightly rounded iris and boosted highlights, then writes the
// result to options.output and the scene beside it ("demo.png" gets "demo_input.png"). Settings given
// with --set override the demo's own. Integer formats get the scene's linear light encoded for display;
// EXR keeps it linear. Prints the files written on `out`. Throws Tool_Error.
void render_demo(const Render_Options& options, std::ostream& out);

// The path of the demo's input beside its result.
std::filesystem::path demo_input_path(const std::filesystem::path& output);

// Linear light to display code values (the sRGB curve; alpha unchanged, values clamped to 0..1).
Image_Rgba encode_for_display(const Image_Rgba& linear);

}  // namespace nb::tools
