// Names of the host's numeric error codes, as their SDK identifiers, for log texts.
#pragma once

#include <cstdint>
#include <string>

namespace nb {

// "unknown error" for a code outside the table.
std::string pf_err_name(int32_t code);
// Also used for A_Err. Empty for a code outside the table.
std::string sp_err_name(int32_t code);
// Includes the three codes of the media abstraction layer. Empty for a code outside the table.
std::string pr_suite_error_name(int32_t code);

}  // namespace nb
