// Bookkeeping of the host's handles: live count, high-water mark, chosen failures, foreign handles.
#include "host/host_handles.h"

#include <gtest/gtest.h>

#include <cstring>

namespace nb::host {
namespace {

TEST(HostHandles, CountsLiveHandlesAndTheHighWaterMark) {
    Host_Handles handles;
    PF_Handle a = handles.new_handle(100);
    PF_Handle b = handles.new_handle(300);
    EXPECT_EQ(handles.live_handles(), 2);
    EXPECT_EQ(handles.live_bytes(), 400);
    handles.dispose(a);
    PF_Handle c = handles.new_handle(50);
    EXPECT_EQ(handles.live_bytes(), 350);
    EXPECT_EQ(handles.peak_bytes(), 400);
    handles.reset_peak();
    EXPECT_EQ(handles.peak_bytes(), 350);
    handles.dispose(b);
    handles.dispose(c);
    EXPECT_EQ(handles.live_handles(), 0);
    EXPECT_EQ(handles.allocations(), 3);
}

TEST(HostHandles, ChosenAllocationFailsOnceAndOnlyThatOne) {
    Host_Handles handles;
    handles.fail_allocation_at(2);
    PF_Handle first = handles.new_handle(8);
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(handles.new_handle(8), nullptr);
    PF_Handle third = handles.new_handle(8);
    EXPECT_NE(third, nullptr);
    EXPECT_EQ(handles.live_handles(), 2);
    handles.dispose(first);
    handles.dispose(third);
}

TEST(HostHandles, ChosenLockFailsWithoutLosingTheHandle) {
    Host_Handles handles;
    PF_Handle handle = handles.new_handle(8);
    handles.fail_lock_at(1);
    EXPECT_EQ(handles.lock(handle), nullptr);
    EXPECT_NE(handles.lock(handle), nullptr);
    handles.unlock(handle);
    EXPECT_EQ(handles.live_handles(), 1);
    handles.dispose(handle);
}

TEST(HostHandles, LockedBlockIsStableAndWritable) {
    Host_Handles handles;
    PF_Handle handle = handles.new_handle(64);
    auto* bytes = static_cast<char*>(handles.lock(handle));
    std::memset(bytes, 7, 64);
    EXPECT_EQ(handles.lock(handle), bytes);
    EXPECT_EQ(handles.resize(128, &handle), PF_Err_BAD_CALLBACK_PARAM);  // never move a locked block
    handles.unlock(handle);
    handles.unlock(handle);
    EXPECT_EQ(handles.resize(128, &handle), PF_Err_NONE);
    EXPECT_EQ(handles.size(handle), 128u);
    EXPECT_EQ(static_cast<char*>(handles.lock(handle))[63], 7);  // contents survive a resize
    handles.dispose(handle);
}

TEST(HostHandles, ForeignHandlesAreIgnoredAndCounted) {
    Host_Handles handles;
    void* master = nullptr;
    PF_Handle stranger = &master;
    handles.dispose(stranger);
    EXPECT_EQ(handles.lock(stranger), nullptr);
    EXPECT_EQ(handles.size(stranger), 0u);
    EXPECT_EQ(handles.foreign_handles(), 3);
}

TEST(HostHandles, ZeroByteHandlesAreRealHandles) {
    Host_Handles handles;
    PF_Handle handle = handles.new_handle(0);
    ASSERT_NE(handle, nullptr);
    EXPECT_NE(handles.lock(handle), nullptr);
    handles.dispose(handle);
    EXPECT_EQ(handles.live_handles(), 0);
}

}  // namespace
}  // namespace nb::host
