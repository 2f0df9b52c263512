// The failure path of suite acquisition, kept out of line so every holder logs the same place.
#include "base/after_effects/helper/ae_suite.h"

#include <string>

#include "base/exception.h"

namespace nb {

void throw_suite_not_acquired(const char* name, int32_t version, int32_t error) {
    const std::string message =
        "Can't AcquireSuite (" + std::string(name) + ", " + std::to_string(version) + ")";
    throw Exception_Ae_Suite(message, error, source_path(__FILE__), __LINE__);
}

}  // namespace nb
