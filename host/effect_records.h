// What an applied effect told the host about itself, and the frame it is rendering.
#pragma once

#include <cstdint>
#include <vector>

#include "base/after_effects/ae_sdk.h"
#include "host/host_world.h"

namespace nb::host {

class Render_Frame;

// Written by the host's suites and callbacks on behalf of one effect instance; not thread-safe, as the
// plug-in negotiates on the thread of the command.
struct Effect_Records {
    std::vector<PrPixelFormat> supported_formats;  // in the order the plug-in named them
    int64_t format_clears = 0;                     // ClearSupportedPixelFormats calls
    bool frames_match_render_format = false;       // EffectWantsCheckedOutFramesToMatchRenderPixelFormat
    Render_Frame* frame = nullptr;                 // the frame of the command in progress, or none
};

}  // namespace nb::host
