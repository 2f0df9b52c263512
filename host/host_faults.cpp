// Bookkeeping of injected callback failures and of calls per callback.
#include "host/host_faults.h"

namespace nb::host {

void Host_Faults::inject(const std::string& callback, int32_t error, int64_t times) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (times == 0 || error == 0) {
        faults_.erase(callback);
        return;
    }
    faults_[callback] = Fault{error, times < 0 ? -1 : times};
}

int32_t Host_Faults::enter(const char* callback) {
    std::lock_guard<std::mutex> lock(mutex_);
    ++calls_[callback];
    const auto found = faults_.find(std::string_view(callback));
    if (found == faults_.end()) return 0;
    Fault& fault = found->second;
    const int32_t error = fault.error;
    if (fault.remaining > 0 && --fault.remaining == 0) faults_.erase(found);
    return error;
}

int64_t Host_Faults::calls(const std::string& callback) const {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = calls_.find(callback);
    return found == calls_.end() ? 0 : found->second;
}

}  // namespace nb::host
