#include "base/memory_size_text.h"

#include <iomanip>
#include <sstream>

namespace nb {

std::string memory_size_text(double bytes) {
    static const char* const units[] = {"bytes", "KiB", "MiB", "GiB", "TiB", "PiB", "EiB"};
    int unit = 0;
    for (; bytes >= 1024.0 && unit < 6; ++unit) bytes /= 1024.0;
    std::ostringstream text;
    text << std::fixed << std::setprecision(bytes < 10.0 && unit > 0 ? 1 : 0) << bytes << " " << units[unit];
    return text.str();
}

}  // namespace nb
