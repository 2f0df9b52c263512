// The host's persistent worker threads behind iterate_generic: made once, reused by every call.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace nb::host {

// Runs a job's invocations over participants 0 .. threads-1, where participant 0 is the calling thread.
// Invocation i runs on participant i % threads, so a job of exactly threads invocations runs once on each.
class Worker_Pool {
public:
    // threads >= 1; threads - 1 worker threads start here and live as long as the pool.
    explicit Worker_Pool(int64_t threads);
    ~Worker_Pool();
    Worker_Pool(const Worker_Pool&) = delete;
    Worker_Pool& operator=(const Worker_Pool&) = delete;

    int64_t threads() const { return static_cast<int64_t>(workers_.size()) + 1; }

    // Calls invocation(participant, i) for i in 0 .. count-1 and returns when all have returned; one job
    // at a time. An exception escaping an invocation is rethrown here after the others have finished.
    void run(int64_t count, const std::function<void(int64_t participant, int64_t i)>& invocation);

    // True on a thread that is currently running an invocation of this pool.
    bool inside_job() const;

private:
    void worker_loop(int64_t participant);
    void run_share(int64_t participant);

    std::vector<std::thread> workers_;
    std::mutex job_mutex_;  // one job at a time
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    uint64_t generation_ = 0;
    int64_t pending_ = 0;
    bool stopping_ = false;
    int64_t count_ = 0;
    const std::function<void(int64_t, int64_t)>* invocation_ = nullptr;
    std::exception_ptr failure_;
};

}  // namespace nb::host
