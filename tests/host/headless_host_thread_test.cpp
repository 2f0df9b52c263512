// iterate_generic of the headless host and the persistent pool behind it: every iteration once, index 0
// on the caller, workers reused, errors and failures reported. Several callers at once are the plug-in's
// render-thread test.
#include "host/headless_host.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>

namespace nb::host {
namespace {

struct Record {
    explicit Record(A_long iterations) : count(iterations) {}
    const A_long count;  // iterations the call asks for
    std::mutex mutex;
    std::multiset<A_long> iterations;
    std::set<std::thread::id> threads;
    const std::thread::id caller = std::this_thread::get_id();
    bool in_place = true;  // iteration i on host thread i % 3, index 0 on the caller, the count passed along
};

PF_Err record_call(void* refcon, A_long thread_index, A_long i, A_long iterations) {
    Record& record = *static_cast<Record*>(refcon);
    std::lock_guard<std::mutex> lock(record.mutex);
    record.iterations.insert(i);
    record.threads.insert(std::this_thread::get_id());
    record.in_place = record.in_place && thread_index == i % 3 && iterations == record.count &&
                      (thread_index == 0) == (std::this_thread::get_id() == record.caller);
    return PF_Err_NONE;
}

TEST(HeadlessHostIterate, EachIterationRunsOnceOnThreadIModuloThreads) {
    Headless_Host host(3);
    Record many(10), once_each(3);
    ASSERT_EQ(host.utils()->iterate_generic(10, &many, record_call), PF_Err_NONE);
    EXPECT_EQ(many.iterations, (std::multiset<A_long>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_TRUE(many.in_place);
    ASSERT_EQ(host.utils()->iterate_generic(PF_Iterations_ONCE_PER_PROCESSOR, &once_each, record_call), PF_Err_NONE);
    EXPECT_EQ(once_each.iterations, (std::multiset<A_long>{0, 1, 2}));
    EXPECT_TRUE(once_each.in_place);
    EXPECT_EQ(once_each.threads, many.threads) << "the same three threads serve every call";
    EXPECT_EQ(once_each.threads.size(), 3u);

    const auto nothing = [](void*, A_long, A_long, A_long) -> PF_Err { return PF_Err_NONE; };
    EXPECT_EQ(host.utils()->iterate_generic(-2, nullptr, nothing), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(host.utils()->iterate_generic(3, nullptr, nullptr), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(host.utils()->iterate_generic(0, nullptr, nothing), PF_Err_NONE);
    EXPECT_EQ(Headless_Host(0).worker_count(), std::max<int64_t>(std::thread::hardware_concurrency(), 1));
}

TEST(HeadlessHostIterate, ReportsTheFirstErrorRefusesNestedCallsAndPassesWorkerFailuresOn) {
    Headless_Host host(4);
    const auto failing = [](void*, A_long, A_long i, A_long) -> PF_Err {
        return i == 2 ? PF_Err_OUT_OF_MEMORY : i == 3 ? PF_Interrupt_CANCEL : PF_Err_NONE;
    };
    EXPECT_EQ(host.utils()->iterate_generic(-1, nullptr, failing), PF_Err_OUT_OF_MEMORY);
    const auto outer = [](void* refcon, A_long, A_long, A_long) -> PF_Err {
        const auto inner = [](void*, A_long, A_long, A_long) -> PF_Err { return PF_Err_NONE; };
        return static_cast<Headless_Host*>(refcon)->utils()->iterate_generic(1, nullptr, inner);
    };
    EXPECT_EQ(host.utils()->iterate_generic(2, &host, outer), PF_Err_INVALID_CALLBACK);

    // A worker's failure reaches the caller after the others finish, and the pool stays usable.
    Worker_Pool pool(4);
    std::atomic<int> finished{0};
    const auto fail_on_two = [&](int64_t participant, int64_t) {
        if (participant == 2) throw std::runtime_error("worker failure");
        finished.fetch_add(1);
    };
    EXPECT_THROW(pool.run(8, fail_on_two), std::runtime_error);
    EXPECT_EQ(finished.load(), 6);
    pool.run(4, [&](int64_t, int64_t) { finished.fetch_add(1); });
    EXPECT_EQ(finished.load(), 10);
}

}  // namespace
}  // namespace nb::host
