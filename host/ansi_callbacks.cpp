// The ANSI block offers what an effect calls: sprintf, bounded to the size of the host's message buffers.
#include "host/ansi_callbacks.h"

#include <cstdarg>
#include <cstdio>

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
    ansi.sprintf = bounded_sprintf;
    return ansi;
}

}  // namespace nb::host
