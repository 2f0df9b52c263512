// Handles are master pointers: PF_Handle points at a record's pointer to its bytes.
#include "host/host_handles.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace nb::host {

struct Host_Handles::Record {
    void* master = nullptr;  // first member: the PF_Handle points here
    A_HandleSize size = 0;
    int64_t locks = 0;
};

namespace {

// Counts a countdown to zero; true on the call that reaches it.
bool fires(int64_t& countdown) { return countdown > 0 && --countdown == 0; }

}  // namespace

Host_Handles::Host_Handles(int64_t budget) : budget_(std::max<int64_t>(budget, 0)) {}

Host_Handles::~Host_Handles() {
    for (auto& [handle, record] : records_) std::free(record->master);
    for (auto& [size, bytes] : kept_) std::free(bytes);
}

// The largest kept blocks go first: the fewest blocks give the room, and the many blocks of an ordinary
// frame stay for the next one.
bool Host_Handles::make_room(int64_t bytes) {
    if (bytes > budget_ - live_bytes_) return false;
    while (bytes > budget_ - live_bytes_ - kept_bytes_) {
        const auto largest = std::prev(kept_.end());
        kept_bytes_ -= static_cast<int64_t>(largest->first);
        std::free(largest->second);
        kept_.erase(largest);
    }
    return true;
}

Host_Handles::Record* Host_Handles::find(PF_Handle handle) {
    const auto found = records_.find(handle);
    if (found != records_.end()) return found->second.get();
    ++foreign_;
    return nullptr;
}

PF_Handle Host_Handles::new_handle(A_HandleSize size) {
    std::lock_guard<std::mutex> lock(mutex_);
    ++allocations_;
    if (fires(fail_allocation_countdown_)) return nullptr;
    void* bytes = nullptr;
    if (const auto kept = kept_.find(size); kept != kept_.end()) {
        bytes = kept->second;
        kept_bytes_ -= static_cast<int64_t>(size);
        kept_.erase(kept);
        ++reused_;
    } else {
        if (size > static_cast<A_HandleSize>(std::numeric_limits<int64_t>::max())) return nullptr;
        if (!make_room(static_cast<int64_t>(size))) return nullptr;
        bytes = std::malloc(std::max<A_HandleSize>(size, 1));
        if (bytes == nullptr) return nullptr;
    }
    auto record = std::make_unique<Record>();
    record->master = bytes;
    record->size = size;
    PF_Handle handle = &record->master;
    records_.emplace(handle, std::move(record));
    live_bytes_ += static_cast<int64_t>(size);
    peak_bytes_ = std::max(peak_bytes_, live_bytes_);
    return handle;
}

void* Host_Handles::lock(PF_Handle handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    Record* record = find(handle);
    if (record == nullptr || fires(fail_lock_countdown_)) return nullptr;
    ++record->locks;
    return record->master;
}

void Host_Handles::unlock(PF_Handle handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    Record* record = find(handle);
    if (record != nullptr && record->locks > 0) --record->locks;
}

void Host_Handles::dispose(PF_Handle handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    Record* record = find(handle);
    if (record == nullptr) return;
    live_bytes_ -= static_cast<int64_t>(record->size);
    kept_.emplace(record->size, record->master);
    kept_bytes_ += static_cast<int64_t>(record->size);
    records_.erase(handle);
}

A_HandleSize Host_Handles::size(PF_Handle handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    const Record* record = find(handle);
    return record == nullptr ? 0 : record->size;
}

// The master pointer stays where it is, so the handle value never changes here.
PF_Err Host_Handles::resize(A_HandleSize new_size, PF_Handle* handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    Record* record = handle == nullptr ? nullptr : find(*handle);
    if (record == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
    if (record->locks > 0) return PF_Err_BAD_CALLBACK_PARAM;
    const int64_t growth = static_cast<int64_t>(new_size) - static_cast<int64_t>(record->size);
    if (growth > 0 && !make_room(growth)) return PF_Err_OUT_OF_MEMORY;
    void* bytes = std::realloc(record->master, std::max<A_HandleSize>(new_size, 1));
    if (bytes == nullptr) return PF_Err_OUT_OF_MEMORY;
    record->master = bytes;
    live_bytes_ += static_cast<int64_t>(new_size) - static_cast<int64_t>(record->size);
    record->size = new_size;
    peak_bytes_ = std::max(peak_bytes_, live_bytes_);
    return PF_Err_NONE;
}

int64_t Host_Handles::live_handles() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int64_t>(records_.size());
}

int64_t Host_Handles::live_bytes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return live_bytes_;
}

int64_t Host_Handles::peak_bytes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return peak_bytes_;
}

int64_t Host_Handles::allocations() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return allocations_;
}

int64_t Host_Handles::kept_bytes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return kept_bytes_;
}

int64_t Host_Handles::reused() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return reused_;
}

int64_t Host_Handles::foreign_handles() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return foreign_;
}

void Host_Handles::reset_peak() {
    std::lock_guard<std::mutex> lock(mutex_);
    peak_bytes_ = live_bytes_;
}

void Host_Handles::fail_allocation_at(int64_t call) {
    std::lock_guard<std::mutex> lock(mutex_);
    fail_allocation_countdown_ = std::max<int64_t>(call, 0);
}

void Host_Handles::fail_lock_at(int64_t call) {
    std::lock_guard<std::mutex> lock(mutex_);
    fail_lock_countdown_ = std::max<int64_t>(call, 0);
}

}  // namespace nb::host
