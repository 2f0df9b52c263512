// Chosen failures of host callbacks: a test names a callback and the error it should answer with.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>

namespace nb::host {

// Callbacks are named as the host interface names them ("checkout_param", "PF_UpdateParamUI",
// "AEGP_GetStreamNumKFs", "GetAppInfo", ...). Thread-safe.
class Host_Faults {
public:
    // The next `times` calls of the callback answer error instead of doing their work; a negative count
    // makes every call fail until the
    // callback is injected again; error 0 or times 0 removes its fault.
    void inject(const std::string& callback, int32_t error, int64_t times = -1);

    // Called by the callback itself on entry: counts the call and gives the error it must answer, or 0
    // when it should do its work.
    int32_t enter(const char* callback);
    int64_t calls(const std::string& callback) const;

private:
    struct Fault {
        int32_t error = 0;
        int64_t remaining = 0;  // negative: without end
    };

    mutable std::mutex mutex_;
    std::map<std::string, Fault, std::less<>> faults_;
    std::map<std::string, int64_t, std::less<>> calls_;
};

}  // namespace nb::host
