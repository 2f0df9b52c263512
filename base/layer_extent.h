// What the plug-in learns about each layer before any pixels are fetched: its extent and scale.
#pragma once

#include <map>
#include <string>

#include "base/rect.h"

namespace nb {

struct Layer_Extent {
    Rect rect;                  // the most the layer can cover, current resolution
    float downsample_x = 1.0f;  // layer pixels per full-resolution pixel
    float downsample_y = 1.0f;
    float pixel_aspect = 1.0f;
};

// Keyed by layer name: the input layer's name or a layer parameter's key.
using Layer_Extents = std::map<std::string, Layer_Extent>;

}  // namespace nb
