// The one exception type of the command-line tools: a single line the user can act on.
#pragma once

#include <stdexcept>
#include <string>

namespace nb::tools {

// Thrown for bad input (files, patterns, ranges, names); what() is one line without a trailing newline.
struct Tool_Error : std::runtime_error {
    explicit Tool_Error(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace nb::tools
