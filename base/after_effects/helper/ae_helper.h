// Host-bound services: memory from the host's handle suite, the render context over the host's threads.
#pragma once

#include <cstdint>
#include <thread>

#include "base/after_effects/ae_sdk.h"
// The other helpers of the host binding, so that one include reaches them all.
#include "base/after_effects/helper/ae_host.h"
#include "base/after_effects/helper/ae_layer_checkout.h"
#include "util/render_context.h"
#include "util/timing.h"

namespace nb {
namespace ae {

// Every block handed out starts on this boundary.
inline constexpr int64_t alignment = 64;

// bytes of host memory, 64-byte aligned; with touch, every page already touched, so that the pages are
// committed on the allocating thread before workers write them. Thread-safe: one process-wide lock
// serialises allocation and release. Throws Exception_Assert for bytes < 0, std::bad_alloc when the
// host has no memory, Exception_Ae_Suite when the host offers no "PF Handle Suite" version 2.
void* allocate(int64_t bytes, const SPBasicSuite* basic, bool touch);
// A block of bytes asked of the host and disposed of at once, none of it touched. Throws what allocate
// throws.
void reserve(int64_t bytes, const SPBasicSuite* basic);
// Gives back a block from allocate. Throws Exception_Ae_Suite when the suite cannot be acquired.
void free(void* pointer, const SPBasicSuite* basic);

}  // namespace ae

// The services of one host command. main_thread is the thread that received the command, the only one
// that asks the host for an abort; abort_flag carries a seen abort to the worker threads. The timing
// table, in_data and the flag must outlive every copy of the context.
Render_Context render_context_ae_cpu(Timing_Table* timing, PF_InData* in_data, std::thread::id main_thread,
                                     bool& abort_flag);

}  // namespace nb
