// Layers from the host: the pixel format of a world, layer parameters checked out as untyped layers.
#pragma once

#include <memory>

#include "base/after_effects/ae_sdk.h"
#include "util/layer.h"
#include "util/pixel/pixel.h"
#include "util/pixel/pixel_format.h"

namespace nb {

// The format of world's pixels: Premiere's through "PF Pixel Format Suite" 1 (BGRA at 8, 16 and 32 bits
// float, ARGB at 8), every other host's through "PF World Suite" 2 (ARGB at 8, 16 and 32 bits float).
// Throws Exception_Assert (ASSERT_INCOMPLETE) for any other format, device worlds included,
// Exception_Abort when the host cancels, Exception_After_Effects for another error, Exception_Ae_Suite
// when the suite is refused.
Pixel_Format pixel_format_of_world(const PF_InData* in_data, PF_EffectWorld* world);

// The record of world as the render sees it: size, data and row bytes of the world, its origin, the
// call's downsample factors, the world's pixel aspect (1 when its ratio has no denominator), format.
Layer_Typeless layer_from_world(const PF_InData* in_data, const PF_EffectWorld& world, const Pixel_Format& format);

// The layer chosen in the layer parameter at host index at the call's current time, or null when the
// parameter holds none. The parameter stays checked out until the last holder of the result lets go;
// without a layer it is checked in before returning. Throws Exception_Assert for an effect API older
// than 12.5, Exception_Abort when the host cancels, Exception_After_Effects for another error, and what
// pixel_format_of_world throws (the parameter is checked in first).
std::shared_ptr<Layer_Typeless> checkout_layer(PF_InData* in_data, PF_ParamIndex index);

}  // namespace nb
