// The one table from a run-time pixel format to the six typed pixel variants of the CPU pipeline.
#pragma once

#include <string_view>

#include "base/exception.h"
#include "util/pixel/pixel.h"
#include "util/pixel/pixel_format.h"

namespace nb {

// Handed to the caller's generic lambda: the pixel type, and the name the logs use for it.
template <class P>
struct Pixel_Variant {
    using pixel = P;
    std::string_view name;
};

// Calls f(Pixel_Variant<P>{name}) for the first row whose format equals format and returns what f
// returns (f must return the same type for every variant). Throws Exception_Assert
// (ASSERT_INCOMPLETE) for any other format. Dispatch here once per render, never per row or pixel.
template <class F>
decltype(auto) with_pixel_variant(const Pixel_Format& format, F&& f) {
    if (format == format_argb_8) return f(Pixel_Variant<Pixel_Argb_8>{"8 bit argb uc - cpu"});
    if (format == format_argb_16) return f(Pixel_Variant<Pixel_Argb_16>{"16 bit argb uc - cpu"});
    if (format == format_argb_32f) return f(Pixel_Variant<Pixel_Argb_32f>{"32 bit argb float - cpu"});
    if (format == format_bgra_8) return f(Pixel_Variant<Pixel_Bgra_8>{"8 bit bgra uc - cpu"});
    if (format == format_bgra_16) return f(Pixel_Variant<Pixel_Bgra_16>{"16 bit bgra us - cpu"});
    if (format == format_bgra_32f) return f(Pixel_Variant<Pixel_Bgra_32f>{"32 bit bgra float - cpu"});
    ASSERT_INCOMPLETE;
}

}  // namespace nb
