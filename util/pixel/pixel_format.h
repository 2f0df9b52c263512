// Run-time description of an interleaved pixel, used to match host buffers to a typed variant.
#pragma once

#include <cstdint>

#include "util/pixel/pixel.h"

namespace nb {

struct Pixel_Format {
    // Checks the record; throws Exception_Assert when it cannot describe an interleaved pixel.
    Pixel_Format(uint32_t version, int64_t color_channel_count, int64_t extra_channel_count, int64_t channel_size,
                 int64_t full_size, int64_t p0, int64_t p1, int64_t p2, int64_t p3);
    Pixel_Format() = default;

    uint32_t version = 1;
    int64_t color_channel_count = 0;
    int64_t extra_channel_count = 0;
    int64_t channel_size = 0;
    int64_t full_size = 0;
    int64_t p0 = -1, p1 = -1, p2 = -1, p3 = -1;  // component index of red, green, blue, alpha

    bool operator==(const Pixel_Format&) const = default;
};

extern const Pixel_Format format_argb_8;
extern const Pixel_Format format_argb_16;
extern const Pixel_Format format_argb_32f;
extern const Pixel_Format format_bgra_8;
extern const Pixel_Format format_bgra_16;
extern const Pixel_Format format_bgra_32f;

// The record of a colour pixel type.
template <class P>
Pixel_Format pixel_format_of() {
    using L = typename P::layout;
    return Pixel_Format(1, 4, P::extra_channels, sizeof(typename P::component), sizeof(P), L::r, L::g, L::b, L::a);
}

}  // namespace nb
