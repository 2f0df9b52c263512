// Bookkeeping of chosen failures and of the calls that reach them.
#include "host/fault_injection.h"

namespace nb::host {

void Fault_Injection::fail(const std::string& name, PF_Err error, int64_t call, int64_t count) {
    std::lock_guard<std::mutex> lock(mutex_);
    Fault& fault = faults_[name];
    fault.error = error;
    fault.armed_at = calls_[name];
    fault.first = call < 1 ? 1 : call;
    fault.last = count > 0 ? fault.first + count - 1 : 0;
}

void Fault_Injection::clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    faults_.clear();
}

PF_Err Fault_Injection::check(const std::string& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    const int64_t call = ++calls_[name];
    const auto found = faults_.find(name);
    if (found == faults_.end()) return PF_Err_NONE;
    const Fault& fault = found->second;
    const int64_t since = call - fault.armed_at;
    if (since < fault.first || (fault.last > 0 && since > fault.last)) return PF_Err_NONE;
    return fault.error;
}

int64_t Fault_Injection::calls(const std::string& name) const {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = calls_.find(name);
    return found == calls_.end() ? 0 : found->second;
}

}  // namespace nb::host
