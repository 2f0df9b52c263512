// The headless host's suite broker, handle suite and abort query as a plug-in sees them.
#include "host/headless_host.h"

#include <gtest/gtest.h>

#include <string>

namespace nb::host {
namespace {

TEST(HeadlessHost, HandsOutTheHandleSuiteByNameAndVersion) {
    Headless_Host host(1);
    const SPBasicSuite* basic = host.basic_suite();
    const void* table = nullptr;
    ASSERT_EQ(basic->AcquireSuite("PF Handle Suite", 2, &table), kSPNoError);
    ASSERT_NE(table, nullptr);
    const auto* suite = static_cast<const PF_HandleSuite1*>(table);
    PF_Handle handle = suite->host_new_handle(100);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(suite->host_get_handle_size(handle), 100u);
    void* bytes = suite->host_lock_handle(handle);
    EXPECT_EQ(bytes, *handle);  // a handle is a pointer to the block's master pointer
    suite->host_unlock_handle(handle);
    suite->host_dispose_handle(handle);
    EXPECT_EQ(host.handles().live_handles(), 0);
    EXPECT_EQ(basic->ReleaseSuite("PF Handle Suite", 2), kSPNoError);
    EXPECT_EQ(host.outstanding_suites(), 0);
}

TEST(HeadlessHost, RefusesUnknownSuitesWithAnError) {
    Headless_Host host(1);
    const void* table = &host;
    EXPECT_EQ(host.basic_suite()->AcquireSuite("PF Handle Suite", 1, &table), kSPSuiteNotFoundError);
    EXPECT_EQ(table, nullptr);
    EXPECT_EQ(host.basic_suite()->AcquireSuite("PF Sampling Suite", 1, &table), kSPSuiteNotFoundError);
    EXPECT_EQ(host.basic_suite()->ReleaseSuite("PF Sampling Suite", 1), kSPSuiteAlreadyReleasedError);
    EXPECT_EQ(host.outstanding_suites(), 0);
}

TEST(HeadlessHost, RegisteredSuitesCanBeWithdrawn) {
    Headless_Host host(1);
    const int table = 7;
    host.register_suite("Test Suite", 4, &table);
    const void* acquired = nullptr;
    EXPECT_EQ(host.basic_suite()->AcquireSuite("Test Suite", 4, &acquired), kSPNoError);
    EXPECT_EQ(acquired, &table);
    EXPECT_EQ(host.outstanding_suites(), 1);
    EXPECT_EQ(host.basic_suite()->ReleaseSuite("Test Suite", 4), kSPNoError);
    host.withdraw_suite("Test Suite", 4);
    EXPECT_EQ(host.basic_suite()->AcquireSuite("Test Suite", 4, &acquired), kSPSuiteNotFoundError);
}

TEST(HeadlessHost, UtilityCallbacksShareTheHandleStore) {
    Headless_Host host(1);
    PF_UtilCallbacks* utils = host.utils();
    PF_Handle handle = utils->host_new_handle(10);
    EXPECT_EQ(host.handles().live_handles(), 1);
    EXPECT_EQ(utils->host_resize_handle(50, &handle), PF_Err_NONE);
    EXPECT_EQ(utils->host_get_handle_size(handle), 50u);
    EXPECT_EQ(host.handles().peak_bytes(), 50);
    utils->host_dispose_handle(handle);
    EXPECT_EQ(host.handles().live_handles(), 0);
}

// Suites carry no context, so each live host must still count only its own handles.
TEST(HeadlessHost, HostsAliveTogetherKeepSeparateBooks) {
    Headless_Host first(1);
    Headless_Host second(1);
    PF_Handle handle = first.utils()->host_new_handle(8);
    EXPECT_EQ(first.handles().live_handles(), 1);
    EXPECT_EQ(second.handles().live_handles(), 0);
    second.utils()->host_dispose_handle(handle);  // not second's: ignored and counted
    EXPECT_EQ(second.handles().foreign_handles(), 1);
    EXPECT_EQ(first.handles().live_handles(), 1);
    first.utils()->host_dispose_handle(handle);
    EXPECT_EQ(first.handles().live_handles(), 0);
}

TEST(HeadlessHost, AbortFiresFromTheArmedCallOn) {
    Headless_Host host(1);
    EXPECT_EQ(host.query_abort(), PF_Err_NONE);
    host.arm_abort_at(3);
    EXPECT_EQ(host.query_abort(), PF_Err_NONE);      // call 2
    EXPECT_EQ(host.query_abort(), PF_Interrupt_CANCEL);  // call 3
    EXPECT_EQ(host.query_abort(), PF_Interrupt_CANCEL);  // a cancel stays a cancel
    host.arm_abort_at(0);
    EXPECT_EQ(host.query_abort(), PF_Err_NONE);
    EXPECT_EQ(host.abort_calls(), 5);
}

TEST(HeadlessHost, IterateGenericRefusesBadArguments) {
    Headless_Host host(2);
    auto nothing = [](void*, A_long, A_long, A_long) -> PF_Err { return PF_Err_NONE; };
    EXPECT_EQ(host.iterate_generic(-2, nullptr, nothing), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(host.iterate_generic(3, nullptr, nullptr), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(host.iterate_generic(0, nullptr, nothing), PF_Err_NONE);
}

}  // namespace
}  // namespace nb::host
