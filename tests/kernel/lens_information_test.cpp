// Growth of the iris's change store: the drawing kernel's standard first block never fills, so only a
// store started deliberately small reaches the path that replaces a full block.
#include "kernel/lens_information.h"

#include <gtest/gtest.h>

#include "tests/support/test_host.h"

namespace nb {
namespace {

TEST(LensInformation, FullFirstBlockGrowsWithoutDroppingChanges) {
    const Lens_Settings settings{22.0f, 0.6f, 0.2f, 0.5f, 0.3f, 0.3f, 9, 1.0f, 1.0f, 1.0f};
    test::Test_Host host(1);
    Render_Context context = host.context();
    int allocations = 0;
    auto allocate = context.allocate_memory;
    context.allocate_memory = [&](int64_t bytes) {
        ++allocations;
        return allocate(bytes);
    };
    const LensInformation grown = LensInformation::build(settings, context, 1);
    EXPECT_GT(allocations, 5) << "a first block of one record must have grown several times";
    const LensInformation standard = LensInformation::build(settings, host.context());
    ASSERT_EQ(grown.stored, standard.stored);
    ASSERT_EQ(grown.m, standard.m);
    for (int64_t i = 0; i < 2 * int64_t(grown.m) + 1; ++i) {
        ASSERT_EQ(grown.row_count[i], standard.row_count[i]) << "row " << i - grown.m;
        ASSERT_EQ(grown.row_start[i], standard.row_start[i]) << "row " << i - grown.m;
    }
    for (int64_t k = 0; k < grown.stored; ++k) {
        const Lens_Event &a = grown.events[k], &b = standard.events[k];
        ASSERT_TRUE(a.x == b.x && a.value_change == b.value_change && a.coverage_change == b.coverage_change)
            << "record " << k;
    }
}

}  // namespace
}  // namespace nb
