// The suites a plug-in renders through: "PF World Suite" 2, "PF Pixel Format Suite" 1, "PF Utility Suite" 4
// and "PF GPU Device Suite" 1, answered from the host's worlds and the effect's records.
#pragma once

namespace nb::host {

class Headless_Host;

// Offers the four suites on host. Functions that get an effect reference record what the plug-in says
// in that effect's Effect_Records; the pixel-format queries answer from the world's format. What the
// plug-in calls consults the host's faults under its SDK name ("PF_GetPixelFormat" of the world suite,
// "GetPixelFormat" of Premiere's, "AddSupportedPixelFormat", "GetGPUWorldData", ...). The emulated
// device has one device whose memory is host memory.
void register_render_suites(Headless_Host& host);

}  // namespace nb::host
