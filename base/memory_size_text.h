// Byte counts as people read them in messages about memory.
#pragma once

#include <string>

namespace nb {

// "512 MiB", "9.5 GiB": binary units, one decimal below ten.
std::string memory_size_text(double bytes);

}  // namespace nb
