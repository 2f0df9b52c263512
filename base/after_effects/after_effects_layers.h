// How the host's layer records become the plug-in's: frame description, rectangles, extents, layer records
// and the extra layers a render fetches besides its input.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/after_effects/ae_sdk.h"
#include "base/layer_extent.h"
#include "base/plugin.h"
#include "base/rect.h"
#include "util/layer.h"
#include "util/pixel/pixel_format.h"

namespace nb {

// The host's rectangle (left, top, right, bottom) in the plug-in's field order, and back. Edges beyond the
// host's 32-bit range are clamped into it.
Rect rect_from_host(const PF_LRect& r);
PF_LRect rect_to_host(const Rect& r);

// A layer parameter whose pixels a render fetches besides the input layer.
struct Extra_Layer {
    std::string key;     // the parameter's key: the layer's name in the plug-in
    int32_t host_index;  // its index among the host's parameters
};

// The plug-in's layer parameters in declaration order, up to the first that stands for the input layer
// (host index 0: a layer parameter with identifier 0).
std::vector<Extra_Layer> extra_layers(const Plugin& plugin);

// The parameter whose first host control has the given index; null when none has.
const Parameter* parameter_at_host_index(const Plugin& plugin, int32_t index);

// The frame of the current command: size at the current resolution, origin, resolution factors.
Layer_Description frame_description(const PF_InData* in_data);

// What the host said about a layer when asked how far it reaches.
Layer_Extent layer_extent_of(const PF_InData* in_data, const PF_CheckoutResult& result);

// Extra layers are not placed where the host put them but centred on the frame: integer division
// truncating toward zero, as the host's layer controls centre a layer of another size.
void centre_on_frame(Layer_Typeless& layer, int64_t frame_width, int64_t frame_height);

// Makes every pixel of the world transparent black (all components zero in every format).
void clear_world(const PF_EffectWorld& world, int64_t pixel_bytes);

}  // namespace nb
