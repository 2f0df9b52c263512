// Registration, project items, working colour profiles and application information, with the suite
// tables stamped out per host slot.
#include "host/host_project_suites.h"

#include <array>
#include <utility>

#include "host/headless_host.h"
#include "host/host_slots.h"

namespace nb::host {
namespace {

// Handle numbers: the one project, items from 1, compositions tagged so they are told from items.
constexpr uintptr_t project_number = 1;
constexpr uintptr_t comp_tag = uintptr_t{1} << 20;
constexpr int32_t app_info_version = 2;

template <class Handle>
Handle as_handle(uintptr_t number) {
    return reinterpret_cast<Handle>(number);
}

template <class Handle>
uintptr_t number_of(Handle handle) {
    return reinterpret_cast<uintptr_t>(handle);
}

struct Project_Tables {
    AEGP_UtilitySuite3 utility;
    AEGP_ProjSuite5 project;
    AEGP_ItemSuite6 item;
    AEGP_CompSuite4 comp;
    AEGP_MemorySuite1 memory;
    AEGP_ColorSettingsSuite2 color_settings;
    PrSDKAppInfoSuite app_info;
};

// Each function names itself to the host's fault table before doing its work. Only the functions an
// effect calls for registration, working gamma and version are offered; the other entries stay null
// (the memory suite is taken by effects without calling it).
template <int Slot>
struct Bound {
    static Headless_Host& host() { return *host_in_slot(Slot); }
    static Host_Project_Suites& suites() { return host().project_suites(); }
    static A_Err fault(const char* name) { return host().faults().enter(name); }

    static A_Err register_plugin(AEGP_GlobalRefcon, const A_char* name, AEGP_PluginID* id) {
        if (A_Err error = fault("AEGP_RegisterWithAEGP")) return error;
        return suites().register_plugin(name, id);
    }
    static A_Err project_count(A_long* count) {
        if (A_Err error = fault("AEGP_GetNumProjects")) return error;
        if (count == nullptr) return A_Err_PARAMETER;
        *count = 1;
        return A_Err_NONE;
    }
    static A_Err project_by_index(A_long index, AEGP_ProjectH* project) {
        if (A_Err error = fault("AEGP_GetProjectByIndex")) return error;
        return suites().project_by_index(index, project);
    }
    static A_Err first_item(AEGP_ProjectH project, AEGP_ItemH* item) {
        if (A_Err error = fault("AEGP_GetFirstProjItem")) return error;
        return suites().first_item(project, item);
    }
    static A_Err next_item(AEGP_ProjectH project, AEGP_ItemH item, AEGP_ItemH* next) {
        if (A_Err error = fault("AEGP_GetNextProjItem")) return error;
        return suites().next_item(project, item, next);
    }
    static A_Err item_type(AEGP_ItemH item, AEGP_ItemType* type) {
        if (A_Err error = fault("AEGP_GetItemType")) return error;
        return suites().item_type(item, type);
    }
    static A_Err comp_from_item(AEGP_ItemH item, AEGP_CompH* comp) {
        if (A_Err error = fault("AEGP_GetCompFromItem")) return error;
        return suites().comp_from_item(item, comp);
    }
    static A_Err new_profile(AEGP_PluginID plugin, AEGP_CompH comp, AEGP_ColorProfileP* profile) {
        if (A_Err error = fault("AEGP_GetNewWorkingSpaceColorProfile")) return error;
        return suites().new_working_space_profile(plugin, comp, profile);
    }
    static A_Err dispose_profile(AEGP_ColorProfileP profile) {
        if (A_Err error = fault("AEGP_DisposeColorProfile")) return error;
        return suites().dispose_profile(profile);
    }
    static A_Err approximate_gamma(AEGP_ConstColorProfileP profile, A_FpShort* gamma) {
        if (A_Err error = fault("AEGP_GetColorProfileApproximateGamma")) return error;
        return suites().approximate_gamma(profile, gamma);
    }
    static prSuiteError app_info(int selector, void* info) {
        if (prSuiteError error = fault("GetAppInfo")) return error;
        return suites().app_info(selector, info);
    }

    static constexpr Project_Tables tables{
        AEGP_UtilitySuite3{.AEGP_RegisterWithAEGP = register_plugin},
        AEGP_ProjSuite5{.AEGP_GetNumProjects = project_count, .AEGP_GetProjectByIndex = project_by_index},
        AEGP_ItemSuite6{.AEGP_GetFirstProjItem = first_item,
                        .AEGP_GetNextProjItem = next_item,
                        .AEGP_GetItemType = item_type},
        AEGP_CompSuite4{.AEGP_GetCompFromItem = comp_from_item},
        AEGP_MemorySuite1{},
        AEGP_ColorSettingsSuite2{.AEGP_GetNewWorkingSpaceColorProfile = new_profile,
                                 .AEGP_DisposeColorProfile = dispose_profile,
                                 .AEGP_GetColorProfileApproximateGamma = approximate_gamma},
        PrSDKAppInfoSuite{.GetAppInfo = app_info},
    };
};

constexpr auto slot_tables = slot_tables_of<Bound>();

}  // namespace

Host_Project_Suites::Host_Project_Suites(Headless_Host& host, int slot) {
    const Project_Tables& tables = slot_tables[static_cast<size_t>(slot)];
    host.register_suite(kAEGPUtilitySuite, kAEGPUtilitySuiteVersion3, &tables.utility);
    host.register_suite(kAEGPProjSuite, kAEGPProjSuiteVersion5, &tables.project);
    host.register_suite(kAEGPItemSuite, kAEGPItemSuiteVersion6, &tables.item);
    host.register_suite(kAEGPCompSuite, kAEGPCompSuiteVersion4, &tables.comp);
    host.register_suite(kAEGPMemorySuite, kAEGPMemorySuiteVersion1, &tables.memory);
    host.register_suite(kAEGPColorSettingsSuite, kAEGPColorSettingsSuiteVersion2, &tables.color_settings);
    host.register_suite(kPrSDKAppInfoSuite, app_info_version, &tables.app_info);
}

void Host_Project_Suites::set_project_items(std::vector<AEGP_ItemType> types) {
    std::lock_guard<std::mutex> lock(mutex_);
    items_ = std::move(types);
}

void Host_Project_Suites::set_working_gamma(float gamma) {
    std::lock_guard<std::mutex> lock(mutex_);
    working_gamma_ = gamma;
}

void Host_Project_Suites::set_premiere_version(uint32_t major, uint32_t minor, uint32_t patch) {
    std::lock_guard<std::mutex> lock(mutex_);
    premiere_version_ = VersionInfo{major, minor, patch};
}

std::vector<std::string> Host_Project_Suites::registered_plugins() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return registered_;
}

int64_t Host_Project_Suites::live_color_profiles() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int64_t>(profiles_.size());
}

Host_Project_Suites::Profile_Request Host_Project_Suites::last_profile_request() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return last_request_;
}

A_Err Host_Project_Suites::register_plugin(const A_char* name, AEGP_PluginID* id) {
    if (name == nullptr || id == nullptr) return A_Err_PARAMETER;
    std::lock_guard<std::mutex> lock(mutex_);
    registered_.emplace_back(name);
    *id = static_cast<AEGP_PluginID>(registered_.size());
    return A_Err_NONE;
}

A_Err Host_Project_Suites::project_by_index(A_long index, AEGP_ProjectH* project) const {
    if (index != 0 || project == nullptr) return A_Err_PARAMETER;
    *project = as_handle<AEGP_ProjectH>(project_number);
    return A_Err_NONE;
}

bool Host_Project_Suites::valid_item(uintptr_t number) const { return number >= 1 && number <= items_.size(); }

A_Err Host_Project_Suites::first_item(AEGP_ProjectH project, AEGP_ItemH* item) const {
    if (number_of(project) != project_number || item == nullptr) return A_Err_PARAMETER;
    std::lock_guard<std::mutex> lock(mutex_);
    *item = items_.empty() ? nullptr : as_handle<AEGP_ItemH>(1);
    return A_Err_NONE;
}

A_Err Host_Project_Suites::next_item(AEGP_ProjectH project, AEGP_ItemH item, AEGP_ItemH* next) const {
    if (number_of(project) != project_number || next == nullptr) return A_Err_PARAMETER;
    std::lock_guard<std::mutex> lock(mutex_);
    const uintptr_t number = number_of(item);
    if (!valid_item(number)) return A_Err_PARAMETER;
    *next = number < items_.size() ? as_handle<AEGP_ItemH>(number + 1) : nullptr;
    return A_Err_NONE;
}

A_Err Host_Project_Suites::item_type(AEGP_ItemH item, AEGP_ItemType* type) const {
    std::lock_guard<std::mutex> lock(mutex_);
    const uintptr_t number = number_of(item);
    if (!valid_item(number) || type == nullptr) return A_Err_PARAMETER;
    *type = items_[number - 1];
    return A_Err_NONE;
}

A_Err Host_Project_Suites::comp_from_item(AEGP_ItemH item, AEGP_CompH* comp) const {
    std::lock_guard<std::mutex> lock(mutex_);
    const uintptr_t number = number_of(item);
    if (!valid_item(number) || comp == nullptr || items_[number - 1] != AEGP_ItemType_COMP) return A_Err_PARAMETER;
    *comp = as_handle<AEGP_CompH>(number | comp_tag);
    return A_Err_NONE;
}

// Every composition shares the project's working space; a call naming none gets it too.
A_Err Host_Project_Suites::new_working_space_profile(AEGP_PluginID plugin, AEGP_CompH comp,
                                                     AEGP_ColorProfileP* profile) {
    if (profile == nullptr) return A_Err_PARAMETER;
    std::lock_guard<std::mutex> lock(mutex_);
    const uintptr_t number = number_of(comp);
    if (comp != nullptr && ((number & comp_tag) == 0 || !valid_item(number & ~comp_tag))) return A_Err_PARAMETER;
    last_request_ = Profile_Request{plugin, comp != nullptr};
    const uintptr_t made = next_profile_++;
    profiles_.insert(made);
    *profile = as_handle<AEGP_ColorProfileP>(made);
    return A_Err_NONE;
}

A_Err Host_Project_Suites::approximate_gamma(AEGP_ConstColorProfileP profile, A_FpShort* gamma) const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (profiles_.count(number_of(profile)) == 0 || gamma == nullptr) return A_Err_PARAMETER;
    *gamma = working_gamma_;
    return A_Err_NONE;
}

A_Err Host_Project_Suites::dispose_profile(AEGP_ColorProfileP profile) {
    std::lock_guard<std::mutex> lock(mutex_);
    return profiles_.erase(number_of(profile)) == 1 ? A_Err_NONE : A_Err_PARAMETER;
}

prSuiteError Host_Project_Suites::app_info(int selector, void* info) const {
    if (info == nullptr || selector != PrSDKAppInfoSuite::kAppInfo_Version) return suiteError_InvalidParms;
    std::lock_guard<std::mutex> lock(mutex_);
    *static_cast<VersionInfo*>(info) = premiere_version_;
    return suiteError_NoError;
}

}  // namespace nb::host
