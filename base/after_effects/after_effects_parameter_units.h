// Conversions between the parameter model's units and the host records' forms.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "base/after_effects/ae_sdk.h"
#include "base/exception.h"

namespace nb {

// The 32-bit float nearest value, as IEEE rounding gives it: beyond the largest float (from its
// midpoint with 2^128 on) the result is an infinity of the same sign. A plain cast would leave such
// values undefined, and the host expects unbounded ranges (±DBL_MAX) to arrive as ±infinity.
inline float to_host_float(double value) {
    constexpr double overflow = 0x1.ffffffp+127;
    if (value >= overflow) return std::numeric_limits<float>::infinity();
    if (value <= -overflow) return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

// value in 16.16 fixed point, truncated toward zero. Throws Exception_Assert when it does not fit.
inline PF_Fixed to_fixed(double value) {
    const double scaled = value * 65536.0;
    ASSERT(scaled > -2147483649.0 && scaled < 2147483648.0, "value " << value << " exceeds 16.16 fixed point");
    return static_cast<PF_Fixed>(scaled);
}

// A colour component from 0 to 1 as a host byte: scaled in the component's own precision and
// truncated. Components outside 0..1 (and NaN) are held to the ends instead of wrapping around.
template <class Component>
A_u_char to_color_byte(Component component) {
    const Component scaled = component * Component(255);
    if (!(scaled > Component(0))) return 0;
    if (scaled >= Component(255)) return 255;
    return static_cast<A_u_char>(scaled);
}

// The first PF_MAX_EFFECT_PARAM_NAME_LEN characters of name and a terminating zero.
inline void copy_param_name(A_char (&target)[PF_MAX_EFFECT_PARAM_NAME_LEN + 1], const std::string& name) {
    const std::size_t length = std::min<std::size_t>(name.size(), PF_MAX_EFFECT_PARAM_NAME_LEN);
    std::memcpy(target, name.data(), length);
    target[length] = '\0';
}

}  // namespace nb
