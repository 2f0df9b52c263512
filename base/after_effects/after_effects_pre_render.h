// Smart pre-render: tells the host which part of each layer a frame needs and how far the output reaches.
#pragma once

#include "base/after_effects/ae_sdk.h"
#include "base/plugin.h"

namespace nb {

// Checkout ids: a probe of the layer with host index i uses i + probe_id_offset, its real checkout i.
inline constexpr A_long probe_id_offset = 10000;

// Probes every layer for its extent, requests the input grown as far as the plug-in says it reaches and
// every extra layer whole, and writes the output's possible and actual extent into extra->output. The
// result is the output request clamped into the possible extent (empty when they do not meet).
// Throws Exception_Abort when a checkout is cancelled, Exception_After_Effects for any other host error,
// and what the plug-in's extent queries throw.
void smart_pre_render(PF_InData* in_data, PF_PreRenderExtra* extra, const Plugin& plugin,
                      const Plugin::Context& context);

}  // namespace nb
