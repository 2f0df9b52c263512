// The scoped suite holder: release at scope end, and the failures of acquisition.
#include "base/after_effects/helper/ae_suite.h"

#include <gtest/gtest.h>

#include <string>

#include "base/exception.h"
#include "host/headless_host.h"

#include "tests/support/assertion_check.h"

namespace nb {
namespace {

struct Fake_Suite {
    int (*answer)();
};

TEST(AeSuite, HoldsTheTableUntilTheScopeEnds) {
    host::Headless_Host host(1);
    const Fake_Suite table{[] { return 42; }};
    host.register_suite("Fake Suite", 3, &table);
    {
        Ae_Suite<Fake_Suite> suite(host.basic_suite(), "Fake Suite", 3);
        EXPECT_EQ(suite.get(), &table);
        EXPECT_EQ(suite->answer(), 42);
        EXPECT_EQ(host.outstanding_suites(), 1);
    }
    EXPECT_EQ(host.outstanding_suites(), 0);
}

// Every refusal throws with the host's code and gives back whatever the host counted as acquired.
TEST(AeSuite, RefusalsThrowWithCodeAndMessage) {
    const struct {
        const char* suite;
        int32_t version;
        bool register_null_table;
        int32_t code;
        const char* message;
    } cases[] = {
        {"No Such Suite", 1, false, kSPSuiteNotFoundError, "Can't AcquireSuite (No Such Suite, 1)"},
        {"PF Handle Suite", 1, false, kSPSuiteNotFoundError, "Can't AcquireSuite (PF Handle Suite, 1)"},
        {"Empty Suite", 12, true, 0, "Can't AcquireSuite (Empty Suite, 12)"},  // success without a table
    };
    for (const auto& c : cases) {
        host::Headless_Host host(1);
        if (c.register_null_table) host.register_suite(c.suite, c.version, nullptr);
        EXPECT_TRUE(test::throws_with<Exception_Ae_Suite>(
            [&] { Ae_Suite<Fake_Suite> suite(host.basic_suite(), c.suite, c.version); }, c.message, c.code));
        EXPECT_EQ(host.outstanding_suites(), 0) << c.message;
    }
    EXPECT_THROW(Ae_Suite<Fake_Suite>(nullptr, "Fake Suite", 1), Exception_Ae_Suite) << "no broker";
}

}  // namespace
}  // namespace nb
