// Binds the host's context-free C callbacks to one Headless_Host: each live host owns a slot, and each
// slot has its own set of functions that forward to the host in it.
#pragma once

#include <array>
#include <cstdint>
#include <utility>

#include "base/after_effects/ae_sdk.h"

namespace nb::host {

class Headless_Host;

struct Slot_Functions {
    SPErr (*acquire_suite)(const char* name, int32_t version, const void** suite);
    SPErr (*release_suite)(const char* name, int32_t version);
    PF_Handle (*new_handle)(A_HandleSize size);
    void* (*lock_handle)(PF_Handle handle);
    void (*unlock_handle)(PF_Handle handle);
    void (*dispose_handle)(PF_Handle handle);
    A_HandleSize (*handle_size)(PF_Handle handle);
    PF_Err (*resize_handle)(A_HandleSize new_size, PF_Handle* handle);
    PF_Err (*iterate_generic)(A_long iterations, void* refcon,
                              PF_Err (*fn)(void* refcon, A_long thread_index, A_long i, A_long iterations));
};

// Hosts alive at the same time in one process; more throws std::runtime_error.
inline constexpr int host_slot_count = 16;

template <template <int> class Bound, int... Slots>
constexpr auto slot_tables_of(std::integer_sequence<int, Slots...>) {
    return std::array{Bound<Slots>::tables...};
}

// One Bound<slot>::tables per slot, stamped out at compile time: a suite's C functions cannot carry
// their host, so each slot has its own copy that reaches the host in that slot.
template <template <int> class Bound>
constexpr auto slot_tables_of() {
    return slot_tables_of<Bound>(std::make_integer_sequence<int, host_slot_count>{});
}

// Returns the claimed slot's functions; the slot stays taken until released.
int claim_host_slot(Headless_Host* host);
void release_host_slot(int slot);
const Slot_Functions& host_slot_functions(int slot);
// The host in a claimed slot, for suites whose functions carry no reference to it.
Headless_Host* host_in_slot(int slot);

}  // namespace nb::host
