// iterate_generic of the headless host: once per thread, index 0 on the caller, persistent workers.
#include "host/headless_host.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace nb::host {
namespace {

struct Record {
    std::mutex mutex;
    std::vector<std::pair<A_long, A_long>> calls;  // (thread index, i)
    std::set<std::thread::id> threads;
    std::thread::id index_zero_thread;
    A_long iterations_seen = -1;
};

PF_Err record_call(void* refcon, A_long thread_index, A_long i, A_long iterations) {
    auto& record = *static_cast<Record*>(refcon);
    std::lock_guard<std::mutex> lock(record.mutex);
    record.calls.emplace_back(thread_index, i);
    record.threads.insert(std::this_thread::get_id());
    if (thread_index == 0) record.index_zero_thread = std::this_thread::get_id();
    record.iterations_seen = iterations;
    return PF_Err_NONE;
}

TEST(HeadlessHostIterate, OncePerProcessorMeansOncePerHostThread) {
    Headless_Host host(5);
    Record record;
    ASSERT_EQ(host.utils()->iterate_generic(PF_Iterations_ONCE_PER_PROCESSOR, &record, record_call), PF_Err_NONE);
    std::set<A_long> indices;
    for (const auto& [thread_index, i] : record.calls) indices.insert(thread_index);
    EXPECT_EQ(indices, (std::set<A_long>{0, 1, 2, 3, 4}));
    EXPECT_EQ(record.calls.size(), 5u);
    EXPECT_EQ(record.iterations_seen, 5);
    EXPECT_EQ(record.threads.size(), 5u);
    EXPECT_EQ(record.index_zero_thread, std::this_thread::get_id());
}

TEST(HeadlessHostIterate, WorkerThreadsAreMadeOnceAndReused) {
    Headless_Host host(4);
    Record first;
    Record second;
    host.utils()->iterate_generic(-1, &first, record_call);
    host.utils()->iterate_generic(-1, &second, record_call);
    EXPECT_EQ(first.threads, second.threads);
}

TEST(HeadlessHostIterate, MoreIterationsThanThreadsRunEachIterationOnce) {
    Headless_Host host(3);
    Record record;
    ASSERT_EQ(host.utils()->iterate_generic(10, &record, record_call), PF_Err_NONE);
    std::set<A_long> iterations;
    for (const auto& [thread_index, i] : record.calls) {
        iterations.insert(i);
        EXPECT_EQ(thread_index, i % 3);
    }
    EXPECT_EQ(iterations.size(), 10u);
    EXPECT_EQ(record.calls.size(), 10u);
}

TEST(HeadlessHostIterate, ReportsTheFirstErrorInIterationOrder) {
    Headless_Host host(4);
    auto failing = [](void*, A_long, A_long i, A_long) -> PF_Err {
        return i == 2 ? PF_Err_OUT_OF_MEMORY : i == 3 ? PF_Interrupt_CANCEL : PF_Err_NONE;
    };
    EXPECT_EQ(host.utils()->iterate_generic(-1, nullptr, failing), PF_Err_OUT_OF_MEMORY);
}

TEST(HeadlessHostIterate, NestedCallsFromInsideAJobAreRefused) {
    Headless_Host host(2);
    std::atomic<PF_Err> nested{PF_Err_NONE};
    struct Context {
        Headless_Host* host;
        std::atomic<PF_Err>* nested;
    } context{&host, &nested};
    auto outer = [](void* refcon, A_long, A_long, A_long) -> PF_Err {
        auto& c = *static_cast<Context*>(refcon);
        auto inner = [](void*, A_long, A_long, A_long) -> PF_Err { return PF_Err_NONE; };
        c.nested->store(c.host->utils()->iterate_generic(1, nullptr, inner));
        return PF_Err_NONE;
    };
    EXPECT_EQ(host.utils()->iterate_generic(1, &context, outer), PF_Err_NONE);
    EXPECT_EQ(nested.load(), PF_Err_INVALID_CALLBACK);
}

TEST(HeadlessHostIterate, ZeroWorkersMeansOnePerProcessor) {
    Headless_Host host(0);
    const unsigned processors = std::thread::hardware_concurrency();
    EXPECT_EQ(host.worker_count(), processors > 0 ? static_cast<int64_t>(processors) : 1);
}

}  // namespace
}  // namespace nb::host
