#include "util/pixel/pixel_format.h"

#include "base/exception.h"

namespace nb {

Pixel_Format::Pixel_Format(uint32_t version, int64_t color_channel_count, int64_t extra_channel_count,
                           int64_t channel_size, int64_t full_size, int64_t p0, int64_t p1, int64_t p2, int64_t p3)
    : version(version), color_channel_count(color_channel_count), extra_channel_count(extra_channel_count),
      channel_size(channel_size), full_size(full_size), p0(p0), p1(p1), p2(p2), p3(p3) {
    ASSERT(color_channel_count <= 4);
    ASSERT(extra_channel_count <= 4);
    ASSERT(color_channel_count >= 1 && p0 >= 0);
    ASSERT(color_channel_count >= 2 ? p1 >= 0 : true);
    ASSERT(color_channel_count >= 3 ? p2 >= 0 : true);
    ASSERT(color_channel_count >= 4 ? p3 >= 0 : true);
    ASSERT((color_channel_count + extra_channel_count) * channel_size <= full_size);
}

const Pixel_Format format_argb_8(1, 4, 0, 1, 4, 1, 2, 3, 0);
const Pixel_Format format_argb_16(1, 4, 0, 2, 8, 1, 2, 3, 0);
const Pixel_Format format_argb_32f(1, 4, 0, 4, 16, 1, 2, 3, 0);
const Pixel_Format format_bgra_8(1, 4, 0, 1, 4, 2, 1, 0, 3);
const Pixel_Format format_bgra_16(1, 4, 0, 2, 8, 2, 1, 0, 3);
const Pixel_Format format_bgra_32f(1, 4, 0, 4, 16, 2, 1, 0, 3);

}  // namespace nb
