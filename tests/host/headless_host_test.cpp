// The headless host's own contract, which the plug-in's tests lean on: host memory and its books, frames
// in large pages, one slot per live host, parameters checked out as counted copies, and the message
// buffer's bound.
#include "host/headless_host.h"

#include <gtest/gtest.h>
#include <malloc.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/effect_instance.h"
#include "host/host_slots.h"
#include "host/host_system.h"
#include "host/host_world.h"

namespace nb::host {
namespace {

TEST(HeadlessHost, HandlesKeepTheirBooksAndTheirContentsWithinTheBudget) {
    Headless_Host host(1, 1000);
    PF_UtilCallbacks& utils = *host.utils();
    const Host_Handles& books = host.handles();
    PF_Handle a = utils.host_new_handle(100), b = utils.host_new_handle(300);
    EXPECT_EQ(books.live_bytes(), 400);
    utils.host_dispose_handle(a);
    PF_Handle c = utils.host_new_handle(0);  // a real handle all the same
    ASSERT_NE(c, nullptr);
    EXPECT_NE(utils.host_lock_handle(c), nullptr);
    EXPECT_EQ(books.live_handles(), 2);
    EXPECT_EQ(books.peak_bytes(), 400);
    host.handles().reset_peak();
    EXPECT_EQ(books.peak_bytes(), 300);

    auto* bytes = static_cast<char*>(utils.host_lock_handle(b));
    EXPECT_EQ(bytes, *b) << "a handle points at its block's master pointer";
    std::memset(bytes, 7, 300);
    EXPECT_EQ(utils.host_resize_handle(500, &b), PF_Err_BAD_CALLBACK_PARAM) << "a locked block never moves";
    utils.host_unlock_handle(b);
    ASSERT_EQ(utils.host_resize_handle(500, &b), PF_Err_NONE);
    EXPECT_EQ(utils.host_resize_handle(1001, &b), PF_Err_OUT_OF_MEMORY) << "beyond the budget of 1000";
    EXPECT_EQ(utils.host_get_handle_size(b), 500u);
    EXPECT_EQ(static_cast<char*>(utils.host_lock_handle(b))[299], 7) << "contents survive a resize";
    EXPECT_EQ(books.peak_bytes(), 500);
    // 500 live: 501 more are refused, beside the freed block of the first handle kept for reuse.
    EXPECT_EQ(utils.host_new_handle(501), nullptr);
    utils.host_dispose_handle(b);
    utils.host_dispose_handle(c);
    EXPECT_EQ(books.live_handles(), 0);
    EXPECT_EQ(books.live_bytes(), 0);
    EXPECT_EQ(books.allocations(), 4);
}

// Kibibytes of the process's memory in large pages; -1 where the system gives none.
int64_t large_page_kib() {
    std::ifstream mode("/sys/kernel/mm/transparent_hugepage/enabled"), rollup("/proc/self/smaps_rollup");
    std::string line;
    if (!std::getline(mode, line) || line.find("[never]") != std::string::npos) return -1;
    while (std::getline(rollup, line) && !line.starts_with("AnonHugePages:")) continue;
    return rollup ? std::stoll(line.substr(14)) : -1;
}

// Freed, the block of 24 MiB would by default raise the allocator's bound above the world's 16 MiB.
TEST(HeadlessHost, FramesLieInLargePagesMappedAlone) {
    if (NB_PLUGIN_SANITIZED) GTEST_SKIP() << "the sanitizer's allocator stands in for the C library's, whose books this reads";
    system::map_large_blocks_alone(std::size_t{4} << 20);
    system::large_vector<char>(std::size_t{24} << 20);
    const std::size_t mapped = mallinfo2().hblkhd;
    const int64_t before = large_page_kib();
    const Host_World world(1024, 1024, World_Format{Pixel_Depth::bits_32, Channel_Order::argb, false});
    EXPECT_GE(mallinfo2().hblkhd - mapped, std::size_t{16} << 20) << "the world has a mapping of its own";
    if (before < 0) GTEST_SKIP() << "the system gives no large pages";
    // 16 MiB hold at least seven whole 2 MiB pages wherever they start.
    EXPECT_GE(large_page_kib() - before, 7 * 2048);
}

// Suite functions carry no context, so each live host reaches its own books through a slot of its own;
// the plug-in's render-thread test has two hosts render side by side.
TEST(HeadlessHost, HostsAliveTogetherKeepSeparateBooks) {
    auto first = std::make_unique<Headless_Host>(1);
    Headless_Host second(1);
    PF_Handle handle = first->utils()->host_new_handle(8);
    second.utils()->host_dispose_handle(handle);
    EXPECT_EQ(second.handles().foreign_handles(), 1) << "not second's: ignored and counted";
    EXPECT_EQ(first->handles().live_handles(), 1);
    first->utils()->host_dispose_handle(handle);
    EXPECT_EQ(first->handles().live_handles(), 0);

    std::vector<std::unique_ptr<Headless_Host>> more;
    for (int i = 2; i < host_slot_count; ++i) more.push_back(std::make_unique<Headless_Host>(1));
    EXPECT_THROW(Headless_Host(1), std::runtime_error);
    first.reset();
    EXPECT_NO_THROW(Headless_Host(1)) << "a host gives its slot back";
}

TEST(HeadlessHost, ParametersAreCheckedOutAsCopiesAndCountedUntilCheckedIn) {
    Headless_Host host(1);
    Effect_Instance effect(host);
    PF_InData* in_data = effect.in_data();
    PF_ParamDef slider{};
    slider.param_type = PF_Param_FLOAT_SLIDER;
    slider.u.fs_d.value = 12.5;
    EXPECT_EQ(in_data->inter.add_param(in_data->effect_ref, -1, &slider), PF_Err_NONE);
    EXPECT_EQ(in_data->inter.add_param(in_data->effect_ref, 3, &slider), PF_Err_INVALID_INDEX);
    ASSERT_EQ(effect.parameters().size(), 2u) << "the input and the slider";
    PF_ParamDef first{}, second{};
    ASSERT_EQ(in_data->inter.checkout_param(in_data->effect_ref, 1, 0, 1, 25, &first), PF_Err_NONE);
    ASSERT_EQ(in_data->inter.checkout_param(in_data->effect_ref, 1, 0, 1, 25, &second), PF_Err_NONE);
    EXPECT_EQ(first.u.fs_d.value, 12.5);
    first.u.fs_d.value = 3.0;
    EXPECT_EQ(effect.parameter(1).u.fs_d.value, 12.5) << "a checkout is a copy";
    EXPECT_EQ(effect.checked_out(), 2);
    EXPECT_EQ(in_data->inter.checkin_param(in_data->effect_ref, &first), PF_Err_NONE);
    EXPECT_EQ(effect.checked_out(), 1);
    EXPECT_EQ(in_data->inter.checkout_param(in_data->effect_ref, 2, 0, 1, 25, &first), PF_Err_INVALID_INDEX);
    EXPECT_EQ(in_data->inter.checkin_param(in_data->effect_ref, &second), PF_Err_NONE);
    EXPECT_EQ(in_data->inter.checkin_param(in_data->effect_ref, &second), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(effect.checked_out(), 0);
}

TEST(HeadlessHost, SprintfNeverWritesPastTheMessageBuffer) {
    Headless_Host host(1);
    A_char buffer[PF_MAX_EFFECT_MSG_LEN + 9];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(host.utils()->ansi.sprintf(buffer, "%s V%d", "name", 5), 7);
    EXPECT_STREQ(buffer, "name V5");
    host.utils()->ansi.sprintf(buffer, "%s", std::string(1000, 'x').c_str());
    EXPECT_EQ(std::strlen(buffer), static_cast<size_t>(PF_MAX_EFFECT_MSG_LEN));
    EXPECT_EQ(buffer[PF_MAX_EFFECT_MSG_LEN + 1], '#');
}

}  // namespace
}  // namespace nb::host
