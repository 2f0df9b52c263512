// Suites, memory, threads and abort of the headless host.
#include "host/headless_host.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <thread>
#include <vector>

#include "host/ansi_callbacks.h"
#include "host/host_aegp_suites.h"
#include "host/host_parameter_suites.h"
#include "host/host_project_suites.h"
#include "host/render_suites.h"
#include "host/host_slots.h"
#include "host/host_system.h"

namespace nb::host {
namespace {

int64_t processor_threads() {
    const unsigned reported = std::thread::hardware_concurrency();
    return reported > 0 ? static_cast<int64_t>(reported) : 1;
}

SPBoolean is_equal(const char* a, const char* b) { return std::strcmp(a, b) == 0; }
SPErr allocate_block(size_t size, void** block) {
    *block = std::malloc(size > 0 ? size : 1);
    return *block != nullptr ? kSPNoError : kSPOutOfMemoryError;
}
SPErr free_block(void* block) {
    std::free(block);
    return kSPNoError;
}
SPErr reallocate_block(void* block, size_t size, void** new_block) {
    *new_block = std::realloc(block, size > 0 ? size : 1);
    return *new_block != nullptr ? kSPNoError : kSPOutOfMemoryError;
}
SPErr undefined() { return kSPUnimplementedError; }

int64_t default_memory_budget() {
    const int64_t physical = system::physical_memory();
    return physical > 0 ? physical / 2 : std::numeric_limits<int64_t>::max();
}

}  // namespace

Headless_Host::Headless_Host(int64_t worker_count, int64_t memory_budget)
    : slot_(claim_host_slot(this)),
      handles_(memory_budget > 0 ? memory_budget : default_memory_budget()),
      pool_(worker_count > 0 ? worker_count : processor_threads()) {
    const Slot_Functions& bound = host_slot_functions(slot_);
    basic_ = SPBasicSuite{bound.acquire_suite, bound.release_suite, is_equal, allocate_block,
                          free_block,          reallocate_block,    undefined};
    handle_suite_ = PF_HandleSuite1{bound.new_handle,  bound.lock_handle, bound.unlock_handle,
                                    bound.dispose_handle, bound.handle_size, bound.resize_handle};
    utils_.host_new_handle = bound.new_handle;
    utils_.host_lock_handle = bound.lock_handle;
    utils_.host_unlock_handle = bound.unlock_handle;
    utils_.host_dispose_handle = bound.dispose_handle;
    utils_.host_get_handle_size = bound.handle_size;
    utils_.host_resize_handle = bound.resize_handle;
    utils_.iterate_generic = bound.iterate_generic;
    utils_.ansi = ansi_callbacks();
    register_suite(kPFHandleSuite, kPFHandleSuiteVersion1, &handle_suite_);
    register_parameter_suites(*this);
    register_render_suites(*this);
    aegp_suites_ = std::make_unique<Host_Aegp_Suites>(*this, slot_);
    project_suites_ = std::make_unique<Host_Project_Suites>(*this, slot_);
}

Headless_Host::~Headless_Host() { release_host_slot(slot_); }

void Headless_Host::register_suite(const std::string& name, int32_t version, const void* table) {
    std::lock_guard<std::mutex> lock(suites_mutex_);
    suites_[{name, version}] = table;
}

void Headless_Host::withdraw_suite(const std::string& name, int32_t version) {
    std::lock_guard<std::mutex> lock(suites_mutex_);
    suites_.erase({name, version});
}

SPErr Headless_Host::acquire_suite(const char* name, int32_t version, const void** suite) {
    if (name == nullptr || suite == nullptr) return kSPBadParameterError;
    std::lock_guard<std::mutex> lock(suites_mutex_);
    const auto found = suites_.find({name, version});
    if (found == suites_.end()) {
        *suite = nullptr;
        return kSPSuiteNotFoundError;
    }
    *suite = found->second;
    ++acquired_[found->first];
    return kSPNoError;
}

SPErr Headless_Host::release_suite(const char* name, int32_t version) {
    if (name == nullptr) return kSPBadParameterError;
    std::lock_guard<std::mutex> lock(suites_mutex_);
    const auto found = acquired_.find({name, version});
    if (found == acquired_.end() || found->second == 0) return kSPSuiteAlreadyReleasedError;
    --found->second;
    return kSPNoError;
}

int64_t Headless_Host::outstanding_suites() const {
    std::lock_guard<std::mutex> lock(suites_mutex_);
    int64_t outstanding = 0;
    for (const auto& [suite, count] : acquired_) outstanding += count;
    return outstanding;
}

PF_Err Headless_Host::iterate_generic(A_long iterations, void* refcon, PF_Err (*fn)(void*, A_long, A_long, A_long)) {
    ++iterate_calls_;
    if (fn == nullptr || iterations < PF_Iterations_ONCE_PER_PROCESSOR) return PF_Err_BAD_CALLBACK_PARAM;
    if (pool_.inside_job()) return PF_Err_INVALID_CALLBACK;
    const int64_t count = iterations == PF_Iterations_ONCE_PER_PROCESSOR ? pool_.threads() : iterations;
    std::vector<PF_Err> results(static_cast<size_t>(count), PF_Err_NONE);
    pool_.run(count, [&](int64_t participant, int64_t i) {
        results[static_cast<size_t>(i)] =
            fn(refcon, static_cast<A_long>(participant), static_cast<A_long>(i), static_cast<A_long>(count));
    });
    for (PF_Err result : results) {
        if (result != PF_Err_NONE) return result;
    }
    return PF_Err_NONE;
}

void Headless_Host::arm_abort_at(int64_t call) { abort_at_.store(call > 0 ? call : 0); }

PF_Err Headless_Host::query_abort() {
    const int64_t call = ++abort_calls_;
    const int64_t at = abort_at_.load();
    const std::atomic<int>* flag = cancel_flag_.load();
    const bool cancelled = (at > 0 && call >= at) || (flag != nullptr && flag->load() != 0);
    if (abort_observer_) abort_observer_(call);
    return cancelled ? PF_Interrupt_CANCEL : PF_Err_NONE;
}

}  // namespace nb::host
