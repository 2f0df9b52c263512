// Registration and application information, with the suite tables stamped out per host slot.
#include "host/host_project_suites.h"

#include <array>

#include "host/headless_host.h"
#include "host/host_slots.h"

namespace nb::host {
namespace {

constexpr int32_t app_info_version = 2;

struct Project_Tables {
    AEGP_UtilitySuite3 utility;
    PrSDKAppInfoSuite app_info;
};

// Each function names itself to the host's fault table before doing its work. Only the functions an
// effect calls for registration and version are offered; the other entries stay null.
template <int Slot>
struct Bound {
    static Headless_Host& host() { return *host_in_slot(Slot); }
    static Host_Project_Suites& suites() { return host().project_suites(); }
    static A_Err fault(const char* name) { return host().faults().enter(name); }

    static A_Err register_plugin(AEGP_GlobalRefcon, const A_char* name, AEGP_PluginID* id) {
        if (A_Err error = fault("AEGP_RegisterWithAEGP")) return error;
        return suites().register_plugin(name, id);
    }
    static prSuiteError app_info(int selector, void* info) {
        if (prSuiteError error = fault("GetAppInfo")) return error;
        return suites().app_info(selector, info);
    }

    static constexpr Project_Tables tables{
        AEGP_UtilitySuite3{.AEGP_RegisterWithAEGP = register_plugin},
        PrSDKAppInfoSuite{.GetAppInfo = app_info},
    };
};

constexpr auto slot_tables = slot_tables_of<Bound>();

}  // namespace

Host_Project_Suites::Host_Project_Suites(Headless_Host& host, int slot) {
    const Project_Tables& tables = slot_tables[static_cast<size_t>(slot)];
    host.register_suite(kAEGPUtilitySuite, kAEGPUtilitySuiteVersion3, &tables.utility);
    host.register_suite(kPrSDKAppInfoSuite, app_info_version, &tables.app_info);
}

void Host_Project_Suites::set_premiere_version(uint32_t major, uint32_t minor, uint32_t patch) {
    std::lock_guard<std::mutex> lock(mutex_);
    premiere_version_ = VersionInfo{major, minor, patch};
}

std::vector<std::string> Host_Project_Suites::registered_plugins() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return registered_;
}

A_Err Host_Project_Suites::register_plugin(const A_char* name, AEGP_PluginID* id) {
    if (name == nullptr || id == nullptr) return A_Err_PARAMETER;
    std::lock_guard<std::mutex> lock(mutex_);
    registered_.emplace_back(name);
    *id = static_cast<AEGP_PluginID>(registered_.size());
    return A_Err_NONE;
}

prSuiteError Host_Project_Suites::app_info(int selector, void* info) const {
    if (info == nullptr || selector != PrSDKAppInfoSuite::kAppInfo_Version) return suiteError_InvalidParms;
    std::lock_guard<std::mutex> lock(mutex_);
    *static_cast<VersionInfo*>(info) = premiere_version_;
    return suiteError_NoError;
}

}  // namespace nb::host
