// Injected callback failures: how many calls they hit, and the call counts.
#include "host/host_faults.h"

#include <gtest/gtest.h>

namespace nb::host {
namespace {

TEST(HostFaults, CountedFaultsRunOutAndEndlessOnesStayUntilCleared) {
    Host_Faults faults;
    faults.inject("checkout_param", 517, 2);
    faults.inject("add_param", 513);
    const int32_t checkouts[] = {517, 517, 0, 0};
    for (int32_t expected : checkouts) EXPECT_EQ(faults.enter("checkout_param"), expected);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(faults.enter("add_param"), 513) << "call " << i;
    faults.clear("add_param");
    EXPECT_EQ(faults.enter("add_param"), 0);
    EXPECT_EQ(faults.enter("unrelated"), 0);
    EXPECT_EQ(faults.calls("checkout_param"), 4);
    EXPECT_EQ(faults.calls("add_param"), 4);
    EXPECT_EQ(faults.calls("never_called"), 0);
}

TEST(HostFaults, NoErrorOrNoCallsInjectsNothing) {
    Host_Faults faults;
    faults.inject("a", 0);
    faults.inject("b", 513, 0);
    EXPECT_EQ(faults.enter("a"), 0);
    EXPECT_EQ(faults.enter("b"), 0);
}

}  // namespace
}  // namespace nb::host
