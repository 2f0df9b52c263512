// The kernel settings of each display mode that do not depend on the pixel type, read from the controls.
#pragma once

#include <array>
#include <cstdint>

#include "effect/blurmond_parameters.h"
#include "kernel/highlight_selection_settings.h"
#include "util/layer.h"
#include "util/outside.h"

namespace nb {

// The fields radius to soften that the defocus kernel and the iris drawing share, in their order.
struct Iris_Settings {
    float radius = 0.0f;  // full-resolution pixels
    float rounded = 0.0f;
    float border_thickness = 0.0f;
    float border_brightness = 0.0f;
    float aspect = 0.0f;
    float angle = 0.0f;  // radians, turning the kernels' way
    int32_t facets = 0;
    float soften = 0.0f;  // full-resolution pixels
};

// How an image continues beyond its edges.
struct Outside_Settings {
    Outside horizontal = Outside::border;
    Outside vertical = Outside::border;
    std::array<float, 4> color{};  // R, G, B, A from 0 to 1, for Outside::color
};

// Everything of the defocus kernel's record but its layers.
struct Blur_Settings {
    Iris_Settings iris;
    bool gamma_correction = false;
    bool colored_iris = false;
    float preservative_highlight = 0.0f;
    float additive_highlight = 0.0f;
    Outside_Settings outside;
    Highlight_Selection_Settings selection_curve;
};

// Everything of the background distortion's record but its layers and map.
struct Distortion_Settings {
    float strength = 0.0f;
    int32_t antialias = 0;
    Outside_Settings outside;
};

// The iris the controls shape, drawn with the given radius; its soften follows that radius and the frame.
Iris_Settings iris_settings(const Blurmond_Parameters& parameters, float radius, const Layer_Description& frame);

// The normal blur's defocus settings. With "extend", the image continues as transparent black so the blur
// can spread beyond the frame. Highlight boosts apply only while the selection is on (always under
// Premiere); the additive one fades out for radii below 2.
Blur_Settings blur_settings(const Blurmond_Parameters& parameters, const Layer_Description& frame,
                            const Highlight_Selection_Settings& selection);

// The background distortion after the blur: the chosen edge rules ("extend" does not apply to the
// background) and the strength, faded out for radii below 2.
Distortion_Settings distortion_settings(const Blurmond_Parameters& parameters);

}  // namespace nb
