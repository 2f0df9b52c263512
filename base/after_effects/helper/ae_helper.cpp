// Host memory and the render context of one host command: allocation through the handle suite,
// thread count, generic iteration over the host's threads and the abort check.
#include "base/after_effects/helper/ae_helper.h"

#include <atomic>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <utility>

#include "base/after_effects/after_effects_memory.h"
#include "base/after_effects/helper/ae_check.h"
#include "base/after_effects/helper/ae_suite.h"
#include "base/error_names.h"
#include "base/exception.h"
#include "base/log.h"
#include "base/system_dependencies.h"

namespace nb {
namespace {

// The handle lives in the 8 bytes just below the block it backs.
constexpr int64_t handle_bytes = 8;

std::mutex& allocation_mutex() {
    static std::mutex mutex;
    return mutex;
}

// One write per page commits every page of the block.
void touch_pages(char* block, int64_t bytes) {
    static const int64_t step = page_size();
    for (int64_t offset = 0; offset < bytes; offset += step) block[offset] = 0;
}

}  // namespace

namespace ae {

void* allocate(int64_t size, const SPBasicSuite* basic, bool touch) {
    ASSERT(size >= 0);
    if (size > std::numeric_limits<int64_t>::max() - handle_bytes - alignment) throw std::bad_alloc();
    std::lock_guard<std::mutex> lock(allocation_mutex());
    Ae_Suite<PF_HandleSuite1> suite(basic, kPFHandleSuite, kPFHandleSuiteVersion1);
    PF_Handle handle = suite->host_new_handle(static_cast<A_HandleSize>(size + handle_bytes + alignment));
    if (handle == nullptr) throw std::bad_alloc();
    auto* locked = static_cast<char*>(suite->host_lock_handle(handle));
    if (locked == nullptr) {
        // The handle would otherwise be lost with the exception.
        suite->host_dispose_handle(handle);
        throw std::bad_alloc();
    }
    // First 64-byte boundary at least handle_bytes into the block; n + 72 bytes always reach past its end.
    const auto address = reinterpret_cast<std::uintptr_t>(locked) + handle_bytes + alignment - 1;
    char* block = reinterpret_cast<char*>(address - address % alignment);
    std::memcpy(block - handle_bytes, &handle, sizeof handle);
    if (touch) touch_pages(block, size);
    return block;
}

void reserve(int64_t bytes, const SPBasicSuite* basic) {
    ASSERT(bytes >= 0);
    std::lock_guard<std::mutex> lock(allocation_mutex());
    Ae_Suite<PF_HandleSuite1> suite(basic, kPFHandleSuite, kPFHandleSuiteVersion1);
    PF_Handle handle = suite->host_new_handle(static_cast<A_HandleSize>(bytes));
    if (handle == nullptr) throw std::bad_alloc();
    suite->host_dispose_handle(handle);
}

void free(void* pointer, const SPBasicSuite* basic) {
    std::lock_guard<std::mutex> lock(allocation_mutex());
    Ae_Suite<PF_HandleSuite1> suite(basic, kPFHandleSuite, kPFHandleSuiteVersion1);
    PF_Handle handle = nullptr;
    std::memcpy(&handle, static_cast<char*>(pointer) - handle_bytes, sizeof handle);
    suite->host_unlock_handle(handle);
    suite->host_dispose_handle(handle);
}

}  // namespace ae

namespace {

// Shared by every invocation of the worker callback during one iterate call.
struct Iteration_State {
    std::function<void(const Iteration&)> work;
    int64_t count = 0;
    std::atomic<int64_t> next_worker{1};
    std::atomic<int64_t> next_index{0};
};

void log_warning(const std::string& text) { log(warning_prefix + text + "\n", 2); }

[[noreturn]] void crash(const char* where) {
    log(std::string(error_prefix) + "Unknown Exception escaped in " + where +
            " of iterate generic. Writing Error Log. Crashing now.\n",
        3);
    log_instance().write_crash_log();
    throw;
}

// Runs items until none is left. Failures become the callback's result: only the main thread's
// invocation reports an abort, worker threads just stop.
PF_Err worker_callback(void* refcon, A_long thread_index, A_long, A_long iterations) {
    auto& state = *static_cast<Iteration_State*>(refcon);
    const bool main_thread = thread_index == 0;
    const int64_t worker = main_thread ? 0 : state.next_worker.fetch_add(1);
    try {
        for (int64_t index = state.next_index.fetch_add(1); index < state.count;
             index = state.next_index.fetch_add(1)) {
            state.work(Iteration{index, state.count, worker, iterations});
        }
        return PF_Err_NONE;
    } catch (const std::bad_alloc&) {
        if (!main_thread) log_warning("caught out of memory Exeception in sub thread");
        return PF_Err_OUT_OF_MEMORY;
    } catch (const Exception_Abort&) {
        return main_thread ? PF_Interrupt_CANCEL : PF_Err_NONE;
    } catch (const Exception_After_Effects& failure) {
        if (!main_thread) {
            log_warning("caught AE Exeception with code: " + std::to_string(failure.code) + "( " +
                        pf_err_name(failure.code) + ") in sub thread");
        }
        return failure.code;
    } catch (...) {
        crash(main_thread ? "main thread" : "sub thread");
    }
}

PF_Err count_thread(void* refcon, A_long, A_long, A_long) {
    static_cast<std::atomic<int64_t>*>(refcon)->fetch_add(1);
    return PF_Err_NONE;
}

bool has_iterate_generic(const PF_InData* in_data) {
    return in_data->utils != nullptr && in_data->utils->iterate_generic != nullptr;
}

// One invocation per host thread, counted. A host without generic iteration runs everything on the
// calling thread, so it counts as one thread.
int64_t host_thread_count(const PF_InData* in_data) {
    if (!has_iterate_generic(in_data)) return 1;
    std::atomic<int64_t> count{0};
    check_pf(in_data->utils->iterate_generic(PF_Iterations_ONCE_PER_PROCESSOR, &count, count_thread),
             pf_err_message);
    return count.load();
}

void iterate(const PF_InData* in_data, bool& abort_flag, int64_t count, std::function<void(const Iteration&)> f) {
    std::atomic_ref<bool>(abort_flag).store(false);
    Iteration_State state;
    state.work = std::move(f);
    state.count = count;
    if (!has_iterate_generic(in_data)) {
        check_pf(worker_callback(&state, 0, 0, 1), pf_err_message);
        return;
    }
    const int64_t threads = host_thread_count(in_data);
    check_pf(in_data->utils->iterate_generic(static_cast<A_long>(threads), &state, worker_callback),
             pf_err_message);
}

void check_abort(const PF_InData* in_data, std::thread::id main_thread, bool& abort_flag) {
    std::atomic_ref<bool> flag(abort_flag);
    if (std::this_thread::get_id() != main_thread) {
        if (flag.load()) throw Exception_Abort();
        return;
    }
    if (in_data->inter.abort != nullptr && in_data->inter.abort(in_data->effect_ref) != PF_Err_NONE) {
        flag.store(true);
        throw Exception_Abort();
    }
}

template <class Memory_Block, class Mapped, class... Sizes>
std::shared_ptr<Mapped> allocate_mapped(const SPBasicSuite* basic, bool touch, Sizes... sizes) {
    auto block = std::make_shared<Memory_Block>(basic, touch, sizes...);
    return std::make_shared<Mapped>(block, block);
}

}  // namespace

Render_Context render_context_ae_cpu(Timing_Table* timing, PF_InData* in_data, std::thread::id main_thread,
                                     bool& abort_flag) {
    const SPBasicSuite* basic = in_data->pica_basicP;
    // After Effects keeps freed handle memory for the next request of its size, so from the second frame
    // on the pages are mapped already and touching them again would pay for them twice. Other hosts
    // may hand out fresh pages every time; those are committed on this thread, before workers write them.
    const bool touch = !host_is_after_effects(in_data);
    Render_Context context;
    context.render_pipeline = [] { return NB_Render_Pipeline{0}; };
    context.map_memory = [](std::shared_ptr<Memory_Cpu> block) { return std::make_shared<Mapped_Memory>(block, block); };
    context.allocate_memory = [basic, touch](int64_t bytes) {
        return allocate_mapped<Memory_Cpu_AE_Lazy, Mapped_Memory>(basic, touch, bytes);
    };
    context.map_memory_2d = [](std::shared_ptr<Memory_2d_Cpu> block) {
        return std::make_shared<Mapped_Memory_2d>(block, block);
    };
    context.allocate_memory_2d = [basic, touch](int64_t width_bytes, int64_t height) {
        return allocate_mapped<Memory_2d_Cpu_AE_Lazy, Mapped_Memory_2d>(basic, touch, width_bytes, height);
    };
    context.reserve_memory = [basic](int64_t bytes) { ae::reserve(bytes, basic); };
    context.check_abort = [in_data, main_thread, &abort_flag] { check_abort(in_data, main_thread, abort_flag); };
    context.thread_count = [in_data](int64_t limit) {
        const int64_t count = host_thread_count(in_data);
        return limit > 0 ? std::min(count, limit) : count;
    };
    context.iterate = [in_data, &abort_flag](int64_t count, std::function<void(const Iteration&)> f) {
        iterate(in_data, abort_flag, count, std::move(f));
    };
    context.message = [timing](std::string text) { timing->message(text); };
    context.scope_timer = [timing](std::string label, int64_t bytes) { return timing->scope_timer(label, bytes); };
    context.scope_section = [](std::string) { return std::shared_ptr<Timing_Table::Scope_Section>(); };
    return context;
}

}  // namespace nb
