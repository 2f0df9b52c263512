// The scoped suite holder: release at scope end, and the failures of acquisition.
#include "base/after_effects/helper/ae_suite.h"

#include <gtest/gtest.h>

#include <string>

#include "base/exception.h"
#include "host/headless_host.h"

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

struct Refusal_Case {
    const char* name;
    const char* suite;
    int32_t version;
    bool register_null_table;
    int32_t code;
    const char* message;
};

const Refusal_Case refusals[] = {
    {"UnknownName", "No Such Suite", 1, false, kSPSuiteNotFoundError, "Can't AcquireSuite (No Such Suite, 1)"},
    {"UnknownVersion", "PF Handle Suite", 1, false, kSPSuiteNotFoundError, "Can't AcquireSuite (PF Handle Suite, 1)"},
    {"SuccessWithoutTable", "Empty Suite", 1, true, 0, "Can't AcquireSuite (Empty Suite, 1)"},
    {"VersionInDecimal", "Empty Suite", 12, true, 0, "Can't AcquireSuite (Empty Suite, 12)"},
};

class AeSuiteRefused : public ::testing::TestWithParam<Refusal_Case> {};

TEST_P(AeSuiteRefused, ThrowsWithCodeAndMessage) {
    const Refusal_Case c = GetParam();
    host::Headless_Host host(1);
    if (c.register_null_table) host.register_suite(c.suite, c.version, nullptr);
    try {
        Ae_Suite<Fake_Suite> suite(host.basic_suite(), c.suite, c.version);
        FAIL() << "acquired " << c.suite;
    } catch (const Exception_Ae_Suite& failure) {
        EXPECT_EQ(failure.code, c.code);
        EXPECT_EQ(std::string(failure.what()), c.message);
    }
    // Whatever the host counted as acquired has been given back.
    EXPECT_EQ(host.outstanding_suites(), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, AeSuiteRefused, ::testing::ValuesIn(refusals),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AeSuite, NoBrokerIsARefusalNotACrash) {
    EXPECT_THROW(Ae_Suite<Fake_Suite>(nullptr, "Fake Suite", 1), Exception_Ae_Suite);
}

}  // namespace
}  // namespace nb
