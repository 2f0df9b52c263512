// The host's movable memory blocks ("PF Handle Suite" and the matching utility callbacks), with the
// bookkeeping tests rely on: live handles, the high-water mark of bytes, chosen allocation failures.
// As a compositing host does, it holds its blocks within a memory budget and keeps freed blocks for the
// next request of the same size, so a sequence of frames reuses memory whose pages are already mapped.
#pragma once

#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "base/after_effects/ae_sdk.h"

namespace nb::host {

// Thread-safe. Handles not made here are ignored by every operation (and counted as foreign).
class Host_Handles {
public:
    // budget: the most bytes live handles and kept free blocks may hold together.
    explicit Host_Handles(int64_t budget = std::numeric_limits<int64_t>::max());
    ~Host_Handles();  // frees whatever is still alive or kept
    Host_Handles(const Host_Handles&) = delete;
    Host_Handles& operator=(const Host_Handles&) = delete;

    // A kept block of exactly size bytes when there is one. Otherwise kept blocks are freed, largest
    // first, until the new one fits the budget. Null when it cannot fit beside the live handles, when the
    // system has no memory, or when this allocation was chosen to fail.
    PF_Handle new_handle(A_HandleSize size);
    void* lock(PF_Handle handle);  // null when this lock was chosen to fail
    void unlock(PF_Handle handle);
    void dispose(PF_Handle handle);  // the block is kept for a later request of its size
    A_HandleSize size(PF_Handle handle);
    // PF_Err_OUT_OF_MEMORY when growing past the budget or the system's memory.
    PF_Err resize(A_HandleSize new_size, PF_Handle* handle);

    int64_t budget() const { return budget_; }

    int64_t live_handles() const;
    int64_t live_bytes() const;
    int64_t peak_bytes() const;       // most bytes alive at once since construction or reset_peak
    int64_t allocations() const;      // new_handle calls so far
    int64_t foreign_handles() const;  // operations on handles this host never made
    int64_t kept_bytes() const;       // freed blocks held for reuse
    int64_t reused() const;           // new_handle calls answered with a kept block
    void reset_peak();

    // The call-th new_handle / lock from now on (1-based) answers null; 0 disarms.
    void fail_allocation_at(int64_t call);
    void fail_lock_at(int64_t call);

private:
    struct Record;
    Record* find(PF_Handle handle);
    // Frees kept blocks, largest first, until bytes more fit the budget; false when they cannot.
    bool make_room(int64_t bytes);

    mutable std::mutex mutex_;
    const int64_t budget_;
    std::unordered_map<PF_Handle, std::unique_ptr<Record>> records_;
    std::multimap<A_HandleSize, void*> kept_;
    int64_t kept_bytes_ = 0;
    int64_t reused_ = 0;
    int64_t live_bytes_ = 0;
    int64_t peak_bytes_ = 0;
    int64_t allocations_ = 0;
    int64_t foreign_ = 0;
    int64_t fail_allocation_countdown_ = 0;
    int64_t fail_lock_countdown_ = 0;
};

}  // namespace nb::host
