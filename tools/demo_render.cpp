// Rendering and writing the built-in demo.
#include "tools/demo_render.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "tools/demo_scene.h"
#include "tools/image_downsample.h"
#include "tools/image_file.h"
#include "tools/render_job.h"

namespace nb::tools {
namespace {

// The scene is linear light, so the effect must not linearise it again. The highlight selection picks
// what is already near white and the additive boost lets those lights bloom into bright hexagons,
// while the rest of the street blurs with its energy kept.
const char* const demo_settings[] = {
    "radius=14",
    "iris_facets=6",
    "iris_rounded=0.25",
    "iris_angle=15",
    "iris_border_brightness=0.25",
    "gamma_correction=off",
    "preservative_highlight=1",
    "additive_highlight=2",
};

bool keeps_linear_light(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) { return std::tolower(c); });
    return extension == ".exr" || extension == ".hdr";
}

float encode(float v) {
    if (!(v > 0.0f)) return 0.0f;
    if (v >= 1.0f) return 1.0f;
    return v <= 0.0031308f ? 12.92f * v : 1.055f * std::pow(v, 1.0f / 2.4f) - 0.055f;
}

void write_for(const std::filesystem::path& path, const Image_Rgba& image) {
    if (keeps_linear_light(path)) return write_image_file(path, image, 32);
    write_image_file(path, encode_for_display(image), 8);
}

}  // namespace

std::filesystem::path demo_input_path(const std::filesystem::path& output) {
    return output.parent_path() / (output.stem().string() + "_input" + output.extension().string());
}

Image_Rgba encode_for_display(const Image_Rgba& linear) {
    Image_Rgba display = linear;
    for (size_t i = 0; i < display.rgba.size(); ++i)
        if (i % 4 != 3) display.rgba[i] = encode(display.rgba[i]);
    return display;
}

void render_demo(const Render_Options& options, std::ostream& out) {
    Render_Options demo = options;
    demo.settings.clear();
    for (const char* text : demo_settings) demo.settings.push_back({text, ""});
    demo.settings.insert(demo.settings.end(), options.settings.begin(), options.settings.end());
    Render_Job job(demo);
    const Image_Rgba scene = make_demo_scene();
    const Image_Rgba result = job.render(Image_Rgba(scene), options.depth == 0 ? 32 : options.depth);
    const std::filesystem::path output = options.output;
    write_for(output, result);
    write_for(demo_input_path(output), downsample_image(scene, options.downsample));
    out << "wrote " << output.string() << " and " << demo_input_path(output).string() << "\n";
    if (options.save_preset) job.save_preset(*options.save_preset);
    if (options.timing) out << job.timing_table();
}

}  // namespace nb::tools
