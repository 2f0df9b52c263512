// The bundle of host-bound services every kernel receives for one command.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "util/memory.h"
#include "util/memory_2d.h"
#include "util/thread_iteration.h"
#include "util/timing.h"

namespace nb {

using NB_Render_Pipeline = int32_t;  // 0: the CPU pipeline

// Cheap to copy and to call from any thread; must not outlive the command it was built for.
struct Render_Context {
    std::function<NB_Render_Pipeline()> render_pipeline;
    std::function<std::shared_ptr<Mapped_Memory>(std::shared_ptr<Memory_Cpu>)> map_memory;
    std::function<std::shared_ptr<Mapped_Memory>(int64_t bytes)> allocate_memory;
    std::function<std::shared_ptr<Mapped_Memory_2d>(std::shared_ptr<Memory_2d_Cpu>)> map_memory_2d;
    std::function<std::shared_ptr<Mapped_Memory_2d>(int64_t width_bytes, int64_t height)> allocate_memory_2d;
    // Asks the host for bytes of memory in one block and gives it straight back, untouched, so that a
    // run learns before its first pixel whether the host can hold its working set. Throws std::bad_alloc
    // when the host refuses.
    std::function<void(int64_t bytes)> reserve_memory;
    // Throws Exception_Abort when the user cancelled; only the main thread asks the host.
    std::function<void()> check_abort;
    // Host threads, at most limit when limit > 0.
    std::function<int64_t(int64_t limit)> thread_count;
    // Runs f for indices 0 .. count-1 over the host's threads; returns when all are done.
    std::function<void(int64_t count, std::function<void(const Iteration&)> f)> iterate;
    std::function<void(std::string)> message;
    std::function<std::shared_ptr<Timing_Table::Scope_Timer>(std::string label, int64_t bytes)> scope_timer;
    std::function<std::shared_ptr<Timing_Table::Scope_Section>(std::string)> scope_section;
};

}  // namespace nb
