// Host identity, effect API and Premiere versions, the host description and the host context.
#include "base/after_effects/helper/ae_host.h"

#include <gtest/gtest.h>

#include <string>

#include "host/host_project_suites.h"
#include "tests/support/ae_binding_rig.h"
#include "tests/support/assertion_check.h"
#include "tests/support/log_sandbox.h"

namespace nb {
namespace {

host::Effect_Settings with_version(A_short major, A_short minor, A_long appl_id = host::app_id_after_effects) {
    host::Effect_Settings settings;
    settings.appl_id = appl_id;
    settings.version_major = major;
    settings.version_minor = minor;
    return settings;
}

TEST(AeHost, ApplicationIdAloneTellsTheHost) {
    struct Case {
        A_long appl_id;
        bool after_effects, premiere;
        Plugin_Host context;
    };
    const Case cases[] = {
        {host::app_id_after_effects, true, false, Plugin_Host::after_effects},
        {host::app_id_premiere, false, true, Plugin_Host::premiere},
        {0x41424344, false, false, Plugin_Host::other_host},  // 'ABCD'
    };
    for (const Case& c : cases) {
        test::Ae_Binding_Rig rig(with_version(13, 28, c.appl_id));
        EXPECT_EQ(host_is_after_effects(rig.in_data()), c.after_effects) << std::hex << c.appl_id;
        EXPECT_EQ(host_is_premiere(rig.in_data()), c.premiere) << std::hex << c.appl_id;
        const Host_Context context = host_context(rig.in_data());
        EXPECT_EQ(context.plugin_host(), c.context) << std::hex << c.appl_id;
    }
    EXPECT_EQ(host_context(nullptr).plugin_host(), Plugin_Host::premiere);
}

TEST(AeHost, ApiVersionComparesMajorThenMinor) {
    test::Ae_Binding_Rig rig(with_version(13, 28));
    struct Case {
        int32_t major, minor;
        bool expected;
    };
    const Case cases[] = {{12, 5, true}, {13, 2, true}, {13, 28, true}, {13, 29, false}, {14, 0, false}, {12, 99, true}};
    for (const Case& c : cases)
        EXPECT_EQ(api_version_at_least(rig.in_data(), c.major, c.minor), c.expected) << c.major << "." << c.minor;
}

// Versions order part by part, most significant first: 14.3.0 is later than 14.2.1.
TEST(AeHost, PremiereVersionAtLeastOrdersVersionsLexicographically) {
    struct Case {
        uint32_t major, minor, patch;
        bool at_least_14_2_1;
    };
    const Case cases[] = {{14, 3, 0, true}, {15, 0, 0, true}, {14, 2, 1, true},
                          {14, 2, 0, false}, {13, 9, 9, false}, {14, 1, 5, false}};
    for (const Case& c : cases) {
        test::Ae_Binding_Rig rig(test::premiere_settings());
        rig.host().project_suites().set_premiere_version(c.major, c.minor, c.patch);
        EXPECT_EQ(premiere_version_at_least(rig.in_data(), 14, 2, 1), c.at_least_14_2_1)
            << c.major << "." << c.minor << "." << c.patch;
    }
}

TEST(AeHost, PremiereVersionElsewhereIsFalseOrAnAssertion) {
    test::Log_Sandbox log;
    test::Ae_Binding_Rig rig(with_version(13, 28));
    EXPECT_FALSE(premiere_version_at_least(rig.in_data(), 0, 0, 0));
    EXPECT_TRUE(test::fails_assertion([&] { premiere_version(rig.in_data()); }, "host_is_premiere(in_data)",
                                      "base/after_effects/helper/ae_host"));
}

TEST(AeHost, PremiereVersionFailuresAreThrown) {
    test::Log_Sandbox log;
    test::Ae_Binding_Rig rig(test::premiere_settings());
    rig.host().faults().inject("GetAppInfo", suiteError_Fail);
    EXPECT_TRUE(test::throws_with<Exception_Premiere>([&] { premiere_version(rig.in_data()); },
                                                      "Premiere Api Error (prSuiteError)", suiteError_Fail));
    rig.host().withdraw_suite(kPrSDKAppInfoSuite, 2);
    EXPECT_TRUE(test::throws_with<Exception_Ae_Suite>([&] { premiere_version(rig.in_data()); },
                                                      "Can't AcquireSuite (MediaCore App Info Suite, 2)"));
}

TEST(AeHost, DescriptionNamesHostVersionAndApplicationId) {
    test::Ae_Binding_Rig after_effects(with_version(13, 28));
    EXPECT_EQ(host_description(after_effects.in_data()), "After Effects v13.28(app id: FXTC)");

    test::Ae_Binding_Rig premiere(test::premiere_settings());
    premiere.host().project_suites().set_premiere_version(14, 3, 0);
    EXPECT_EQ(host_description(premiere.in_data()), "Premiere v14.3.0(app id: PrMr)");

    test::Ae_Binding_Rig other(with_version(13, 28, 0x41424344));
    EXPECT_EQ(host_description(other.in_data()), "(app id: ABCD)");
}

}  // namespace
}  // namespace nb
