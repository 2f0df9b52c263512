// Turns a host call's PF_Err into the plug-in's exceptions at the call site.
#pragma once

#include <source_location>
#include <string>
#include <string_view>

#include "base/after_effects/ae_sdk.h"
#include "base/exception.h"

namespace nb {

// PF_Interrupt_CANCEL becomes Exception_Abort; any other non-zero code an Exception_After_Effects that
// names the caller's file and line (the default argument is evaluated where check_pf is called).
inline void check_pf(PF_Err error, std::string_view message,
                     std::source_location where = std::source_location::current()) {
    if (error == PF_Err_NONE) [[likely]]
        return;
    if (error == PF_Interrupt_CANCEL) throw Exception_Abort();
    throw Exception_After_Effects(std::string(message), error, source_path(where.file_name()),
                                  static_cast<int64_t>(where.line()));
}

}  // namespace nb
