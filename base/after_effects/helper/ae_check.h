// Turns a host call's status code into the plug-in's exceptions at the call site.
#pragma once

#include <source_location>
#include <string>
#include <string_view>

#include "base/after_effects/ae_sdk.h"
#include "base/exception.h"

namespace nb {

// The messages the log shows for a failed PF callback, AEGP suite call or Premiere suite call.
inline constexpr const char* pf_err_message = "After Effects api Error (PF_Err)";
inline constexpr const char* a_err_message = "After Effects Suite Error (A_Err)";
inline constexpr const char* pr_err_message = "Premiere Api Error (prSuiteError)";

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

// AEGP suites answer A_Err, which the plug-in reports like a PF_Err under its own message.
inline void check_a_err(A_Err error, std::source_location where = std::source_location::current()) {
    check_pf(error, a_err_message, where);
}

// A Premiere suite's prSuiteError becomes Exception_Premiere.
inline void check_pr(prSuiteError error, std::source_location where = std::source_location::current()) {
    if (error == suiteError_NoError) [[likely]]
        return;
    throw Exception_Premiere(pr_err_message, error, source_path(where.file_name()),
                             static_cast<int64_t>(where.line()));
}

}  // namespace nb
