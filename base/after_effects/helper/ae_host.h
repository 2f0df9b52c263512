// Which application drives the plug-in and which versions it speaks, from the records of one call.
#pragma once

#include <cstdint>
#include <string>

#include "base/after_effects/ae_sdk.h"
#include "base/host_context.h"

namespace nb {

// The id After Effects gave the plug-in when it registered at global setup; every AEGP call passes it.
// Written only during global setup, which the host runs before any other command, so later readers on
// any thread see it settled.
extern AEGP_PluginID aegp_plugin_id;

// Application ids of PF_InData.appl_id.
inline constexpr A_long appl_id_after_effects = 0x46585443;  // 'FXTC'
inline constexpr A_long appl_id_premiere = 0x50724D72;       // 'PrMr'

// From appl_id alone. in_data must not be null.
bool host_is_after_effects(const PF_InData* in_data);
bool host_is_premiere(const PF_InData* in_data);

// The effect API version of PF_InData.version is major.minor or later.
bool api_version_at_least(const PF_InData* in_data, int32_t major, int32_t minor);

struct Premiere_Version {
    uint32_t major = 0;
    uint32_t minor = 0;
    uint32_t patch = 0;
};

// The running Premiere's version through "MediaCore App Info Suite" version 2. Throws Exception_Assert
// on any other host, Exception_Ae_Suite when the suite is refused, Exception_Premiere when it fails.
Premiere_Version premiere_version(const PF_InData* in_data);

// One line naming the host and its version for the environment report, e.g.
// "After Effects v13.28(app id: FXTC)". Throws what premiere_version throws under Premiere.
std::string host_description(const PF_InData* in_data);

// The host context of one call; a call without PF_InData counts as Premiere's.
Host_Context host_context(const PF_InData* in_data);

}  // namespace nb
