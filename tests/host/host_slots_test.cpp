// Slots bind the context-free callbacks to one live host each.
#include "host/host_slots.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <vector>

#include "host/headless_host.h"

namespace nb::host {
namespace {

TEST(HostSlots, EachLiveHostGetsItsOwnFunctions) {
    Headless_Host first(1);
    Headless_Host second(1);
    EXPECT_NE(first.basic_suite()->AcquireSuite, second.basic_suite()->AcquireSuite);
    EXPECT_NE(first.utils()->iterate_generic, second.utils()->iterate_generic);
}

TEST(HostSlots, TooManyHostsAtOnceIsRefusedAndSlotsComeBack) {
    std::vector<std::unique_ptr<Headless_Host>> hosts;
    for (int i = 0; i < host_slot_count; ++i) hosts.push_back(std::make_unique<Headless_Host>(1));
    EXPECT_THROW(Headless_Host(1), std::runtime_error);
    hosts.pop_back();
    EXPECT_NO_THROW(Headless_Host(1));
}

}  // namespace
}  // namespace nb::host
