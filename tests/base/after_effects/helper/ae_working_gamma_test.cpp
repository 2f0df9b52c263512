// The working gamma: the walk to the first composition, the plug-in id passed, the profile disposed of.
#include "base/after_effects/helper/ae_working_gamma.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/after_effects/helper/ae_host.h"
#include "base/exception.h"
#include "host/host_project_suites.h"
#include "tests/support/ae_binding_rig.h"
#include "tests/support/assertion_check.h"
#include "tests/support/log_sandbox.h"

namespace nb {
namespace {

class AeWorkingGamma : public ::testing::Test {
protected:
    void SetUp() override { aegp_plugin_id = 31; }
    void TearDown() override { aegp_plugin_id = 0; }

    host::Host_Project_Suites& project() { return rig.host().project_suites(); }
    float gamma() { return working_gamma(rig.in_data()->pica_basicP); }

    test::Log_Sandbox log;
    test::Ae_Binding_Rig rig;
};

// The walk reads one item type per item up to the first composition; without one, no composition's
// profile is asked for.
TEST_F(AeWorkingGamma, FirstCompositionOfTheProjectIsAsked) {
    project().set_project_items({AEGP_ItemType_FOLDER, AEGP_ItemType_FOOTAGE, AEGP_ItemType_COMP, AEGP_ItemType_COMP});
    project().set_working_gamma(2.4f);
    EXPECT_EQ(gamma(), 2.4f);
    EXPECT_TRUE(project().last_profile_request().for_composition);
    EXPECT_EQ(project().last_profile_request().plugin, 31);
    EXPECT_EQ(rig.host().faults().calls("AEGP_GetItemType"), 3);
    EXPECT_EQ(project().live_color_profiles(), 0);
    project().set_project_items({AEGP_ItemType_FOLDER, AEGP_ItemType_FOOTAGE});
    project().set_working_gamma(1.0f);
    EXPECT_EQ(gamma(), 1.0f);
    EXPECT_FALSE(project().last_profile_request().for_composition);
}

// A failing call is thrown and the profile still disposed of; a refused disposal is only logged.
TEST_F(AeWorkingGamma, FailingCallsThrowAndTheProfileIsStillDisposedOf) {
    const char* failing[] = {"AEGP_GetProjectByIndex", "AEGP_GetFirstProjItem", "AEGP_GetItemType",
                             "AEGP_GetCompFromItem", "AEGP_GetNewWorkingSpaceColorProfile",
                             "AEGP_GetColorProfileApproximateGamma"};
    for (const char* call : failing) {
        rig.host().faults().inject(call, A_Err_GENERIC, 1);
        EXPECT_TRUE(test::throws_with<Exception_After_Effects>([&] { gamma(); }, "After Effects Suite Error (A_Err)",
                                                               A_Err_GENERIC))
            << call;
        EXPECT_EQ(project().live_color_profiles(), 0) << call;
        EXPECT_EQ(rig.host().outstanding_suites(), 0) << call;
    }
    rig.host().faults().inject("AEGP_DisposeColorProfile", A_Err_PARAMETER, 1);
    EXPECT_NO_THROW(gamma());
    EXPECT_EQ(log_instance().remembered().back(), "-**### WARNING ###**-: AEGP_DisposeColorProfile failed. Error code: 3\n");
    rig.expect_leftovers();  // the host kept the profile it refused to dispose of
}

TEST_F(AeWorkingGamma, EverySuiteIsRequired) {
    const std::pair<const char*, int32_t> suites[] = {
        {kAEGPProjSuite, 8}, {kAEGPItemSuite, 10}, {kAEGPMemorySuite, 1}, {kAEGPColorSettingsSuite, 3}, {kAEGPCompSuite, 9}};
    for (const auto& [name, version] : suites) {
        test::Ae_Binding_Rig lacking;
        lacking.host().withdraw_suite(name, version);
        const std::string message = "Can't AcquireSuite (" + std::string(name) + ", " + std::to_string(version) + ")";
        EXPECT_TRUE(test::throws_with<Exception_Ae_Suite>([&] { working_gamma(lacking.in_data()->pica_basicP); },
                                                          message.c_str()));
    }
}

}  // namespace
}  // namespace nb
