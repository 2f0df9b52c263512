// How an image continues beyond its edges; shared by the image kernels and the render pipeline.
#pragma once

#include <cstdint>

namespace nb {

enum class Outside : int32_t {
    border = 0,    // repeat the nearest edge pixel ("border color")
    mirrored = 1,  // mirror the image; position -1 reads column 0
    repeated = 2,  // tile the image
    color = 3,     // an outside colour
};

}  // namespace nb
