// A host without a user interface: hands out suites by name and version, host memory, a persistent
// worker pool for iterate_generic and an abort query that tests can arm.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include "base/after_effects/ae_sdk.h"
#include "host/host_faults.h"
#include "host/host_handles.h"
#include "host/worker_pool.h"

namespace nb::host {

class Host_Aegp_Suites;
class Host_Project_Suites;

// Application ids a host reports in PF_InData.appl_id.
inline constexpr A_long app_id_after_effects = 0x46585443;  // 'FXTC'
inline constexpr A_long app_id_premiere = 0x50724D72;       // 'PrMr'

// Everything a plug-in may call is thread-safe. The host must outlive every record it handed out.
class Headless_Host {
public:
    // worker_count: host threads of iterate_generic, the calling thread included; 0 means one per processor.
    // memory_budget: bytes the handle suite may hold at once; 0 means half the machine's physical memory,
    // as a host leaves the rest to the system and to other applications.
    explicit Headless_Host(int64_t worker_count = 0, int64_t memory_budget = 0);
    ~Headless_Host();
    Headless_Host(const Headless_Host&) = delete;
    Headless_Host& operator=(const Headless_Host&) = delete;

    const SPBasicSuite* basic_suite() const { return &basic_; }
    PF_UtilCallbacks* utils() { return &utils_; }
    Host_Handles& handles() { return handles_; }
    int64_t worker_count() const { return pool_.threads(); }
    int slot() const { return slot_; }

    // Callback failures chosen by tests; every suite function and interaction callback consults it.
    Host_Faults& faults() { return faults_; }
    // The AEGP and application-level suites, with the state tests set and inspect.
    Host_Aegp_Suites& aegp_suites() { return *aegp_suites_; }
    Host_Project_Suites& project_suites() { return *project_suites_; }

    // Offers a suite; a null table makes AcquireSuite succeed with no table (a faulty host).
    void register_suite(const std::string& name, int32_t version, const void* table);
    void withdraw_suite(const std::string& name, int32_t version);
    SPErr acquire_suite(const char* name, int32_t version, const void** suite);
    SPErr release_suite(const char* name, int32_t version);
    int64_t outstanding_suites() const;  // acquisitions not yet released

    // iterations -1 runs fn once on every host thread. Calls from inside a running job are refused
    // with PF_Err_INVALID_CALLBACK. Returns the first error in iteration order.
    PF_Err iterate_generic(A_long iterations, void* refcon, PF_Err (*fn)(void*, A_long, A_long, A_long));
    int64_t iterate_generic_calls() const { return iterate_calls_.load(); }

    // The abort query answers PF_Interrupt_CANCEL from its call-th call on (1-based); 0 never.
    void arm_abort_at(int64_t call);
    // The abort query also answers PF_Interrupt_CANCEL while *flag is non-zero: a flag a signal handler
    // may set, so the user cancels a render as in an interactive host. The flag must outlive the host.
    void cancel_when(const std::atomic<int>* flag) { cancel_flag_.store(flag); }
    PF_Err query_abort();
    int64_t abort_calls() const { return abort_calls_.load(); }
    // Called after every abort query, on the querying thread (the effect's main thread), with the number
    // of queries so far: the effect's only sign of how far a render has come. Must not throw; set it while
    // nothing renders.
    void observe_abort_queries(std::function<void(int64_t calls)> observer) { abort_observer_ = std::move(observer); }

private:
    int slot_;
    SPBasicSuite basic_{};
    PF_HandleSuite1 handle_suite_{};
    PF_UtilCallbacks utils_{};
    Host_Handles handles_;
    Worker_Pool pool_;
    Host_Faults faults_;
    std::unique_ptr<Host_Aegp_Suites> aegp_suites_;
    std::unique_ptr<Host_Project_Suites> project_suites_;

    mutable std::mutex suites_mutex_;
    std::map<std::pair<std::string, int32_t>, const void*> suites_;
    std::map<std::pair<std::string, int32_t>, int64_t> acquired_;

    std::atomic<int64_t> iterate_calls_{0};
    std::atomic<int64_t> abort_calls_{0};
    std::atomic<int64_t> abort_at_{0};
    std::atomic<const std::atomic<int>*> cancel_flag_{nullptr};
    std::function<void(int64_t)> abort_observer_;
};

}  // namespace nb::host
