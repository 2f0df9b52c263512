// The host's movable memory blocks ("PF Handle Suite" and the matching utility callbacks), with the
// bookkeeping tests rely on: live handles, the high-water mark of bytes, chosen allocation failures.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "base/after_effects/ae_sdk.h"

namespace nb::host {

// Thread-safe. Handles not made here are ignored by every operation (and counted as foreign).
class Host_Handles {
public:
    Host_Handles();
    ~Host_Handles();  // frees whatever is still alive
    Host_Handles(const Host_Handles&) = delete;
    Host_Handles& operator=(const Host_Handles&) = delete;

    // Null when out of memory or when this allocation was chosen to fail.
    PF_Handle new_handle(A_HandleSize size);
    void* lock(PF_Handle handle);  // null when this lock was chosen to fail
    void unlock(PF_Handle handle);
    void dispose(PF_Handle handle);
    A_HandleSize size(PF_Handle handle);
    PF_Err resize(A_HandleSize new_size, PF_Handle* handle);

    int64_t live_handles() const;
    int64_t live_bytes() const;
    int64_t peak_bytes() const;       // most bytes alive at once since construction or reset_peak
    int64_t allocations() const;      // new_handle calls so far
    int64_t foreign_handles() const;  // operations on handles this host never made
    void reset_peak();

    // The call-th new_handle / lock from now on (1-based) answers null; 0 disarms.
    void fail_allocation_at(int64_t call);
    void fail_lock_at(int64_t call);

private:
    struct Record;
    Record* find(PF_Handle handle);

    mutable std::mutex mutex_;
    std::unordered_map<PF_Handle, std::unique_ptr<Record>> records_;
    int64_t live_bytes_ = 0;
    int64_t peak_bytes_ = 0;
    int64_t allocations_ = 0;
    int64_t foreign_ = 0;
    int64_t fail_allocation_countdown_ = 0;
    int64_t fail_lock_countdown_ = 0;
};

}  // namespace nb::host
