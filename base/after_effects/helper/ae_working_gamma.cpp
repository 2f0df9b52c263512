// Walks project 0 to its first composition and asks for its working colour profile's gamma.
#include "base/after_effects/helper/ae_working_gamma.h"

#include <string>

#include "base/after_effects/helper/ae_check.h"
#include "base/after_effects/helper/ae_host.h"
#include "base/after_effects/helper/ae_suite.h"
#include "base/log.h"

namespace nb {
namespace {

// Null when the project holds no composition.
AEGP_ItemH first_composition(const AEGP_ItemSuite6& items, AEGP_ProjectH project) {
    AEGP_ItemH item = nullptr;
    check_a_err(items.AEGP_GetFirstProjItem(project, &item));
    while (item != nullptr) {
        AEGP_ItemType type = AEGP_ItemType_NONE;
        check_a_err(items.AEGP_GetItemType(item, &type));
        if (type == AEGP_ItemType_COMP) return item;
        check_a_err(items.AEGP_GetNextProjItem(project, item, &item));
    }
    return nullptr;
}

// What a GetNew function hands out belongs to the caller, so the profile is disposed of on every path.
class Color_Profile {
public:
    explicit Color_Profile(const AEGP_ColorSettingsSuite2& suite) : suite_(suite) {}
    ~Color_Profile() {
        if (profile == nullptr) return;
        const A_Err error = suite_.AEGP_DisposeColorProfile(profile);
        if (error == A_Err_NONE) return;
        try {
            log(std::string(warning_prefix) + "AEGP_DisposeColorProfile failed. Error code: " +
                    std::to_string(error) + "\n",
                2);
        } catch (...) {
            // A release must not throw, not even when reporting runs out of memory.
        }
    }
    Color_Profile(const Color_Profile&) = delete;
    Color_Profile& operator=(const Color_Profile&) = delete;

    AEGP_ColorProfileP profile = nullptr;

private:
    const AEGP_ColorSettingsSuite2& suite_;
};

}  // namespace

float working_gamma(const SPBasicSuite* basic) {
    Ae_Suite<AEGP_ProjSuite5> projects(basic, kAEGPProjSuite, kAEGPProjSuiteVersion5);
    Ae_Suite<AEGP_ItemSuite6> items(basic, kAEGPItemSuite, kAEGPItemSuiteVersion6);
    // Nothing below allocates through it, but it is taken with the others so that a host lacking it is
    // refused here, before any profile is handed out.
    Ae_Suite<AEGP_MemorySuite1> memory(basic, kAEGPMemorySuite, kAEGPMemorySuiteVersion1);
    Ae_Suite<AEGP_ColorSettingsSuite2> colors(basic, kAEGPColorSettingsSuite, kAEGPColorSettingsSuiteVersion2);
    Ae_Suite<AEGP_CompSuite4> comps(basic, kAEGPCompSuite, kAEGPCompSuiteVersion4);

    AEGP_ProjectH project = nullptr;
    check_a_err(projects->AEGP_GetProjectByIndex(0, &project));
    AEGP_CompH composition = nullptr;
    if (AEGP_ItemH item = first_composition(*items, project)) check_a_err(comps->AEGP_GetCompFromItem(item, &composition));

    Color_Profile working_space(*colors);
    check_a_err(colors->AEGP_GetNewWorkingSpaceColorProfile(aegp_plugin_id, composition, &working_space.profile));
    A_FpShort gamma = 0.0f;
    check_a_err(colors->AEGP_GetColorProfileApproximateGamma(working_space.profile, &gamma));
    return gamma;
}

}  // namespace nb
