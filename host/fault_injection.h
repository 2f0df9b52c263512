// Chosen failures of host services: any callback or suite function can be made to answer an error.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>

#include "base/after_effects/ae_sdk.h"

namespace nb::host {

// Keyed by the callback's or suite function's SDK name ("checkout_layer_pixels", "PF_GetPixelFormat",
// "AddSupportedPixelFormat", ...). Thread-safe.
class Fault_Injection {
public:
    // From the call-th call on (1-based, counted from now) name answers error, for count calls
    // (0: for good).
    void fail(const std::string& name, PF_Err error, int64_t call = 1, int64_t count = 0);
    void clear();

    // Counts the call; the error chosen for it, or PF_Err_NONE.
    PF_Err check(const std::string& name);
    int64_t calls(const std::string& name) const;  // made so far, failed ones included

private:
    struct Fault {
        PF_Err error = PF_Err_NONE;
        int64_t first = 0;  // call number, counted from the arming
        int64_t last = 0;   // 0: no end
        int64_t armed_at = 0;
    };

    mutable std::mutex mutex_;
    std::map<std::string, Fault> faults_;
    std::map<std::string, int64_t> calls_;
};

}  // namespace nb::host
