// The effect's timing tables of a sequence added up, kernel by kernel, with the mean per frame.
#pragma once

#include <cstdint>
#include <string>

namespace nb::tools {

// Reads every timing table in the effect's log text (as the effect prints them: a header naming
// "duration (s)", one row a kernel, a rule and a total) and adds the rows that share their label and
// their place among the rows of that label, in the order they first appear. Prints one table of the
// sums: each kernel's seconds, share, mean per frame over `frames`, gigabytes moved and bandwidth,
// then the total and the mean frame. Empty when the log holds no table or `frames` is below 1.
std::string summed_timing_table(const std::string& log, int64_t frames);

}  // namespace nb::tools
