// Plain forwards to the C library; sprintf is bounded to the size of the host's message buffers.
#include "host/ansi_callbacks.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace nb::host {
namespace {

int bounded_sprintf(A_char* buffer, const A_char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const int written = std::vsnprintf(buffer, PF_MAX_EFFECT_MSG_LEN + 1, format, arguments);
    va_end(arguments);
    return written;
}

}  // namespace

PF_ANSICallbacks ansi_callbacks() {
    PF_ANSICallbacks ansi{};
    ansi.atan = [](A_FpLong x) { return std::atan(x); };
    ansi.atan2 = [](A_FpLong y, A_FpLong x) { return std::atan2(y, x); };
    ansi.ceil = [](A_FpLong x) { return std::ceil(x); };
    ansi.cos = [](A_FpLong x) { return std::cos(x); };
    ansi.exp = [](A_FpLong x) { return std::exp(x); };
    ansi.fabs = [](A_FpLong x) { return std::fabs(x); };
    ansi.floor = [](A_FpLong x) { return std::floor(x); };
    ansi.fmod = [](A_FpLong x, A_FpLong y) { return std::fmod(x, y); };
    ansi.hypot = [](A_FpLong x, A_FpLong y) { return std::hypot(x, y); };
    ansi.log = [](A_FpLong x) { return std::log(x); };
    ansi.log10 = [](A_FpLong x) { return std::log10(x); };
    ansi.pow = [](A_FpLong x, A_FpLong y) { return std::pow(x, y); };
    ansi.sin = [](A_FpLong x) { return std::sin(x); };
    ansi.sqrt = [](A_FpLong x) { return std::sqrt(x); };
    ansi.tan = [](A_FpLong x) { return std::tan(x); };
    ansi.sprintf = bounded_sprintf;
    ansi.strcpy = [](A_char* destination, const A_char* source) { return std::strcpy(destination, source); };
    ansi.asin = [](A_FpLong x) { return std::asin(x); };
    ansi.acos = [](A_FpLong x) { return std::acos(x); };
    return ansi;
}

}  // namespace nb::host
