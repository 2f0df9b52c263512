// The host's application-level suites: AEGP registration ("AEGP Utility Suite"), the project walk to
// the working colour space ("AEGP Proj/Item/Comp/Memory Suite", "PF Color Settings Suite") and
// Premiere's application version ("MediaCore App Info Suite").
#pragma once

#include <cstdint>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "base/after_effects/ae_sdk.h"

namespace nb::host {

class Headless_Host;

// Offers the suites on its host for the host's life. The project is one project whose items have the
// types set by the test (one composition unless told otherwise); its working space has a settable
// approximate gamma. Handles are numbers the host looks up. Thread-safe.
class Host_Project_Suites {
public:
    // slot: the host's slot, whose stamped functions reach this object.
    Host_Project_Suites(Headless_Host& host, int slot);
    Host_Project_Suites(const Host_Project_Suites&) = delete;
    Host_Project_Suites& operator=(const Host_Project_Suites&) = delete;

    void set_project_items(std::vector<AEGP_ItemType> types);
    void set_working_gamma(float gamma);
    void set_premiere_version(uint32_t major, uint32_t minor, uint32_t patch);

    // Names registered with AEGP_RegisterWithAEGP, in order; the n-th got id n (from 1).
    std::vector<std::string> registered_plugins() const;
    int64_t live_color_profiles() const;  // profiles handed out and not yet disposed of
    struct Profile_Request {
        AEGP_PluginID plugin = 0;
        bool for_composition = false;  // false: the call named no composition
    };
    Profile_Request last_profile_request() const;

    // The suite functions' work, reached through the slot's stamped functions.
    A_Err register_plugin(const A_char* name, AEGP_PluginID* id);
    A_Err project_by_index(A_long index, AEGP_ProjectH* project) const;
    A_Err first_item(AEGP_ProjectH project, AEGP_ItemH* item) const;
    A_Err next_item(AEGP_ProjectH project, AEGP_ItemH item, AEGP_ItemH* next) const;
    A_Err item_type(AEGP_ItemH item, AEGP_ItemType* type) const;
    A_Err comp_from_item(AEGP_ItemH item, AEGP_CompH* comp) const;
    A_Err new_working_space_profile(AEGP_PluginID plugin, AEGP_CompH comp, AEGP_ColorProfileP* profile);
    A_Err approximate_gamma(AEGP_ConstColorProfileP profile, A_FpShort* gamma) const;
    A_Err dispose_profile(AEGP_ColorProfileP profile);
    prSuiteError app_info(int selector, void* info) const;

private:
    // Item n of the list is handle n + 1; null is no item.
    bool valid_item(uintptr_t number) const;

    mutable std::mutex mutex_;
    std::vector<std::string> registered_;
    std::vector<AEGP_ItemType> items_{AEGP_ItemType_COMP};
    float working_gamma_ = 2.2f;
    VersionInfo premiere_version_{14, 0, 0};
    uintptr_t next_profile_ = 1;
    std::set<uintptr_t> profiles_;
    Profile_Request last_request_;
};

}  // namespace nb::host
