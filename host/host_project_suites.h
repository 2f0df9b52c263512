// The host's application-level suites: AEGP registration ("AEGP Utility Suite") and Premiere's
// application version ("MediaCore App Info Suite").
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "base/after_effects/ae_sdk.h"

namespace nb::host {

class Headless_Host;

// Offers the suites on its host for the host's life. Thread-safe.
class Host_Project_Suites {
public:
    // slot: the host's slot, whose stamped functions reach this object.
    Host_Project_Suites(Headless_Host& host, int slot);
    Host_Project_Suites(const Host_Project_Suites&) = delete;
    Host_Project_Suites& operator=(const Host_Project_Suites&) = delete;

    void set_premiere_version(uint32_t major, uint32_t minor, uint32_t patch);

    // Names registered with AEGP_RegisterWithAEGP, in order; the n-th got id n (from 1).
    std::vector<std::string> registered_plugins() const;

    // The suite functions' work, reached through the slot's stamped functions.
    A_Err register_plugin(const A_char* name, AEGP_PluginID* id);
    prSuiteError app_info(int selector, void* info) const;

private:
    mutable std::mutex mutex_;
    std::vector<std::string> registered_;
    VersionInfo premiere_version_{14, 0, 0};
};

}  // namespace nb::host
