// Parameter record of the defocus kernel, shared by the kernel and its row conversions in and out.
#pragma once

#include <cstdint>

#include "kernel/highlight_selection_settings.h"
#include "util/layer.h"
#include "util/outside.h"

namespace nb {

// Filled by the render pipeline; copied by value into every row task. Layer_T is the frame's layer type.
template <class Layer_T>
struct Kernel_Blurmond_In {
    Layer_T in;         // source image
    Layer_T out;        // destination; parts beyond in grown by the margins come out transparent black
    Layer_T iris;       // alternative iris image; empty when none is chosen
    Layer_T selection;  // whose pixels decide where highlights are boosted
    // The iris settings, passed on to the iris drawing unchanged.
    float radius = 0.0f;  // full-resolution pixels; exactly 0 copies in to out
    float rounded = 0.0f;
    float border_thickness = 0.0f;
    float border_brightness = 0.0f;
    float aspect = 0.0f;
    float angle = 0.0f;  // radians
    int32_t facets = 0;
    float soften = 0.0f;  // full-resolution pixels
    bool gamma_correction = false;  // convolve in linear light (BT.709 curve)
    bool colored_iris = false;      // use the alternative iris's colours
    float preservative_highlight = 0.0f;  // boost that is divided out again by the convolved weight
    float additive_highlight = 0.0f;      // boost that adds energy
    Outside outside_horizontal = Outside::border;
    Outside outside_vertical = Outside::border;
    float outside_color[4] = {0.0f, 0.0f, 0.0f, 0.0f};  // R, G, B, A in 0..1 for every depth
    Highlight_Selection_Settings selection_curve;
};

}  // namespace nb
