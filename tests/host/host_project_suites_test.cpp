// Registration, the project walk, colour profiles and the application version as the host serves them.
#include "host/host_project_suites.h"

#include <gtest/gtest.h>

#include "host/headless_host.h"

namespace nb::host {
namespace {

template <class Suite>
const Suite& acquire(Headless_Host& host, const char* name, int32_t version) {
    const void* table = nullptr;
    EXPECT_EQ(host.acquire_suite(name, version, &table), kSPNoError) << name;
    host.release_suite(name, version);
    return *static_cast<const Suite*>(table);
}

TEST(HostProjectSuites, RegistrationNumbersPlugInsFromOne) {
    Headless_Host host(1);
    const auto& utility = acquire<AEGP_UtilitySuite3>(host, kAEGPUtilitySuite, 7);
    AEGP_PluginID first = 0, second = 0;
    EXPECT_EQ(utility.AEGP_RegisterWithAEGP(nullptr, "one", &first), A_Err_NONE);
    EXPECT_EQ(utility.AEGP_RegisterWithAEGP(nullptr, "two", &second), A_Err_NONE);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 2);
    EXPECT_EQ(host.project_suites().registered_plugins(), (std::vector<std::string>{"one", "two"}));
    host.faults().inject("AEGP_RegisterWithAEGP", A_Err_GENERIC, 1);
    EXPECT_EQ(utility.AEGP_RegisterWithAEGP(nullptr, "three", &second), A_Err_GENERIC);
}

TEST(HostProjectSuites, ItemsWalkInOrderAndOnlyCompositionsGiveComps) {
    Headless_Host host(1);
    Host_Project_Suites& project = host.project_suites();
    project.set_project_items({AEGP_ItemType_FOLDER, AEGP_ItemType_COMP});
    AEGP_ProjectH handle = nullptr;
    EXPECT_EQ(project.project_by_index(1, &handle), A_Err_PARAMETER);
    ASSERT_EQ(project.project_by_index(0, &handle), A_Err_NONE);
    AEGP_ItemH folder = nullptr, comp_item = nullptr, end = nullptr;
    ASSERT_EQ(project.first_item(handle, &folder), A_Err_NONE);
    ASSERT_EQ(project.next_item(handle, folder, &comp_item), A_Err_NONE);
    ASSERT_EQ(project.next_item(handle, comp_item, &end), A_Err_NONE);
    EXPECT_EQ(end, nullptr);
    AEGP_CompH comp = nullptr;
    EXPECT_EQ(project.comp_from_item(folder, &comp), A_Err_PARAMETER);
    ASSERT_EQ(project.comp_from_item(comp_item, &comp), A_Err_NONE);
    // An item handle is no composition handle.
    AEGP_ColorProfileP profile = nullptr;
    EXPECT_EQ(project.new_working_space_profile(1, reinterpret_cast<AEGP_CompH>(comp_item), &profile), A_Err_PARAMETER);
    ASSERT_EQ(project.new_working_space_profile(1, comp, &profile), A_Err_NONE);
    EXPECT_EQ(project.live_color_profiles(), 1);
    EXPECT_EQ(project.dispose_profile(profile), A_Err_NONE);
    A_FpShort gamma = 0.0f;
    EXPECT_EQ(project.approximate_gamma(profile, &gamma), A_Err_PARAMETER);
}

TEST(HostProjectSuites, EachHostAnswersWithItsOwnPremiereVersion) {
    Headless_Host first(1), second(1);
    first.project_suites().set_premiere_version(14, 3, 0);
    second.project_suites().set_premiere_version(15, 0, 1);
    const auto& info = acquire<PrSDKAppInfoSuite>(second, kPrSDKAppInfoSuite, 2);
    VersionInfo version{};
    ASSERT_EQ(info.GetAppInfo(PrSDKAppInfoSuite::kAppInfo_Version, &version), suiteError_NoError);
    EXPECT_EQ(version.major, 15u);
    EXPECT_EQ(version.patch, 1u);
    EXPECT_EQ(info.GetAppInfo(PrSDKAppInfoSuite::kAppInfo_Build, &version), suiteError_InvalidParms);
}

}  // namespace
}  // namespace nb::host
