// Host identity and Premiere's version, asked only of Premiere. The effect API version is decided
// where it matters: the flags of global setup and how a layer control is read.
#include "base/after_effects/helper/ae_host.h"

#include <gtest/gtest.h>

#include <array>

#include "host/host_project_suites.h"
#include "tests/support/ae_binding_rig.h"
#include "tests/support/assertion_check.h"
#include "tests/support/log_sandbox.h"

namespace nb {
namespace {

TEST(AeHost, ApplicationIdAloneTellsTheHost) {
    for (const auto& [appl_id, plugin_host] : {std::pair{host::app_id_after_effects, Plugin_Host::after_effects},
                                               std::pair{host::app_id_premiere, Plugin_Host::premiere},
                                               std::pair{A_long{0x41424344}, Plugin_Host::other_host}}) {
        test::Ae_Binding_Rig rig(host::Effect_Settings{.appl_id = appl_id});
        EXPECT_EQ(host_context(rig.in_data()).plugin_host(), plugin_host) << std::hex << appl_id;
    }
    EXPECT_EQ(host_context(nullptr).plugin_host(), Plugin_Host::premiere);
}

TEST(AeHost, PremiereVersionIsAskedOnlyOfPremiereAndItsFailuresAreThrown) {
    test::Log_Sandbox log;
    test::Ae_Binding_Rig after_effects;
    EXPECT_TRUE(test::fails_assertion([&] { premiere_version(after_effects.in_data()); }, "host_is_premiere(in_data)",
                                      "base/after_effects/helper/ae_host"));
    test::Ae_Binding_Rig rig(test::premiere_settings());
    rig.host().project_suites().set_premiere_version(14, 2, 1);
    const Premiere_Version version = premiere_version(rig.in_data());
    EXPECT_EQ((std::array<uint32_t, 3>{version.major, version.minor, version.patch}), (std::array<uint32_t, 3>{14, 2, 1}));
    rig.host().faults().inject("GetAppInfo", suiteError_Fail);
    EXPECT_TRUE(test::throws_with<Exception_Premiere>([&] { premiere_version(rig.in_data()); },
                                                      "Premiere Api Error (prSuiteError)", suiteError_Fail));
    rig.host().withdraw_suite(kPrSDKAppInfoSuite, 2);
    EXPECT_TRUE(test::throws_with<Exception_Ae_Suite>([&] { premiere_version(rig.in_data()); },
                                                      "Can't AcquireSuite (MediaCore App Info Suite, 2)"));
}

}  // namespace
}  // namespace nb
