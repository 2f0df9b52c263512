// One function set per slot, stamped out at compile time; each reads its host from the slot table.
#include "host/host_slots.h"

#include <array>
#include <atomic>
#include <stdexcept>
#include <utility>

#include "host/headless_host.h"

namespace nb::host {
namespace {

std::array<std::atomic<Headless_Host*>, host_slot_count> slots{};

template <int Slot>
struct Bound {
    static Headless_Host& host() { return *slots[Slot].load(std::memory_order_acquire); }
    static SPErr acquire(const char* name, int32_t version, const void** suite) {
        return host().acquire_suite(name, version, suite);
    }
    static SPErr release(const char* name, int32_t version) { return host().release_suite(name, version); }
    static PF_Handle new_handle(A_HandleSize size) { return host().handles().new_handle(size); }
    static void* lock(PF_Handle handle) { return host().handles().lock(handle); }
    static void unlock(PF_Handle handle) { host().handles().unlock(handle); }
    static void dispose(PF_Handle handle) { host().handles().dispose(handle); }
    static A_HandleSize size(PF_Handle handle) { return host().handles().size(handle); }
    static PF_Err resize(A_HandleSize new_size, PF_Handle* handle) { return host().handles().resize(new_size, handle); }
    static PF_Err iterate(A_long iterations, void* refcon, PF_Err (*fn)(void*, A_long, A_long, A_long)) {
        return host().iterate_generic(iterations, refcon, fn);
    }
    static constexpr Slot_Functions tables{acquire, release, new_handle, lock, unlock, dispose, size, resize, iterate};
};

constexpr auto tables = slot_tables_of<Bound>();

}  // namespace

int claim_host_slot(Headless_Host* host) {
    for (int slot = 0; slot < host_slot_count; ++slot) {
        Headless_Host* expected = nullptr;
        if (slots[slot].compare_exchange_strong(expected, host)) return slot;
    }
    throw std::runtime_error("too many headless hosts alive at once");
}

void release_host_slot(int slot) { slots[slot].store(nullptr, std::memory_order_release); }

const Slot_Functions& host_slot_functions(int slot) { return tables[slot]; }

Headless_Host* host_in_slot(int slot) { return slots[slot].load(std::memory_order_acquire); }

}  // namespace nb::host
