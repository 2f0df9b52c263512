// The defocus's working memory asked of the host before the first pixel, with a message a user can act on.
#pragma once

#include <cstdint>

#include "effect/blurmond_parameters.h"
#include "kernel/blurmond_working_set.h"
#include "util/render_context.h"

namespace nb {

// Asks the host for bytes at once. When it refuses, throws Exception_Out_Of_Memory saying how much
// the settings need and which of them drives it: the frame size when the frame itself is most of the
// buffers, else the softening, the alternative iris or the radius, whichever makes the margins.
void reserve_blur_memory(const Render_Context& context, const Blurmond_Parameters& parameters,
                         const Blurmond_Working_Set& set, int64_t frame_width, int64_t frame_height,
                         bool alternative_iris, double bytes);

}  // namespace nb
