// The persistent pool behind iterate_generic: participants, reuse and failures in worker threads.
#include "host/worker_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

namespace nb::host {
namespace {

TEST(WorkerPool, InvocationsGoToParticipantIModuloThreads) {
    Worker_Pool pool(3);
    std::vector<std::atomic<int64_t>> participant_of(7);
    for (auto& p : participant_of) p.store(-1);
    pool.run(7, [&](int64_t participant, int64_t i) { participant_of[static_cast<size_t>(i)].store(participant); });
    for (size_t i = 0; i < participant_of.size(); ++i) EXPECT_EQ(participant_of[i].load(), static_cast<int64_t>(i % 3));
}

TEST(WorkerPool, ParticipantZeroIsTheCallingThread) {
    Worker_Pool pool(4);
    std::thread::id zero;
    pool.run(4, [&](int64_t participant, int64_t) {
        if (participant == 0) zero = std::this_thread::get_id();
    });
    EXPECT_EQ(zero, std::this_thread::get_id());
}

TEST(WorkerPool, FailureInAWorkerReachesTheCallerAfterTheOthersFinish) {
    Worker_Pool pool(4);
    std::atomic<int> finished{0};
    EXPECT_THROW(pool.run(8,
                          [&](int64_t participant, int64_t) {
                              if (participant == 2) throw std::runtime_error("worker failure");
                              finished.fetch_add(1);
                          }),
                 std::runtime_error);
    EXPECT_EQ(finished.load(), 6);
    // The pool stays usable after a failure.
    std::atomic<int> calls{0};
    pool.run(4, [&](int64_t, int64_t) { calls.fetch_add(1); });
    EXPECT_EQ(calls.load(), 4);
}

TEST(WorkerPool, SingleThreadPoolRunsEverythingOnTheCaller) {
    Worker_Pool pool(1);
    EXPECT_EQ(pool.threads(), 1);
    int calls = 0;
    pool.run(5, [&](int64_t participant, int64_t) {
        EXPECT_EQ(participant, 0);
        ++calls;
    });
    EXPECT_EQ(calls, 5);
}

TEST(WorkerPool, JobsFromSeveralThreadsAreServedOneAfterAnother) {
    Worker_Pool pool(3);
    std::atomic<int> calls{0};
    std::vector<std::thread> callers;
    for (int c = 0; c < 4; ++c)
        callers.emplace_back([&] {
            for (int job = 0; job < 20; ++job) pool.run(3, [&](int64_t, int64_t) { calls.fetch_add(1); });
        });
    for (std::thread& caller : callers) caller.join();
    EXPECT_EQ(calls.load(), 4 * 20 * 3);
}

}  // namespace
}  // namespace nb::host
