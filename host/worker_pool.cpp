// Persistent worker threads: a generation counter wakes them for each job, a pending count ends it.
#include "host/worker_pool.h"

namespace nb::host {
namespace {

thread_local const Worker_Pool* running_pool = nullptr;

}  // namespace

Worker_Pool::Worker_Pool(int64_t threads) {
    const int64_t workers = threads > 1 ? threads - 1 : 0;
    workers_.reserve(static_cast<size_t>(workers));
    for (int64_t participant = 1; participant <= workers; ++participant)
        workers_.emplace_back([this, participant] { worker_loop(participant); });
}

Worker_Pool::~Worker_Pool() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& worker : workers_) worker.join();
}

bool Worker_Pool::inside_job() const { return running_pool == this; }

void Worker_Pool::run(int64_t count, const std::function<void(int64_t, int64_t)>& invocation) {
    std::lock_guard<std::mutex> job(job_mutex_);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        count_ = count;
        invocation_ = &invocation;
        failure_ = nullptr;
        pending_ = static_cast<int64_t>(workers_.size());
        ++generation_;
    }
    wake_.notify_all();
    run_share(0);
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [this] { return pending_ == 0; });
    invocation_ = nullptr;
    if (failure_) std::rethrow_exception(failure_);
}

void Worker_Pool::run_share(int64_t participant) {
    running_pool = this;
    for (int64_t i = participant; i < count_; i += threads()) {
        try {
            (*invocation_)(participant, i);
        } catch (...) {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!failure_) failure_ = std::current_exception();
        }
    }
    running_pool = nullptr;
}

void Worker_Pool::worker_loop(int64_t participant) {
    uint64_t seen = 0;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [&] { return stopping_ || generation_ != seen; });
            if (stopping_) return;
            seen = generation_;
        }
        run_share(participant);
        bool last = false;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            last = --pending_ == 0;
        }
        if (last) done_.notify_one();
    }
}

}  // namespace nb::host
