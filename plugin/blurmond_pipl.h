// The effect's identity towards the host: its flags, its packed version and its property list, defined
// once so that what the host reads before loading the code and what global setup reports agree.
#pragma once

#include <cstdint>
#include <vector>

#include "base/after_effects/ae_sdk.h"
#include "base/after_effects/pipl.h"
#include "base/plugin_description.h"

namespace nb {

inline constexpr PF_OutFlags blurmond_out_flags =
    PF_OutFlag_NON_PARAM_VARY | PF_OutFlag_DEEP_COLOR_AWARE | PF_OutFlag_SEND_UPDATE_PARAMS_UI;
static_assert(blurmond_out_flags == 0x06000004);

inline constexpr PF_OutFlags2 blurmond_out_flags2 =
    PF_OutFlag2_SUPPORTS_QUERY_DYNAMIC_FLAGS | PF_OutFlag2_PARAM_GROUP_START_COLLAPSED_FLAG |
    PF_OutFlag2_REVEALS_ZERO_ALPHA | PF_OutFlag2_SUPPORTS_SMART_RENDER | PF_OutFlag2_FLOAT_COLOR_AWARE |
    PF_OutFlag2_SUPPORTS_THREADED_RENDERING;

// The name the host calls; the only symbol the plug-in exports.
inline constexpr const char* entry_point_name = "EntryPointFunc";

// The host's stage for a release stage: pre alpha counts as development, unknown stages as releases.
PF_Stage pf_stage(Release_Stage stage);
// PF_VERSION(major, minor, bugfix, stage, 0) of the description.
A_u_long pf_version(const Plugin_Description& description);

// The effect's property list: its menu name and category, the entry point, the versions and flags.
Pipl_Description blurmond_pipl_description();
std::vector<uint8_t> blurmond_pipl_bytes();

}  // namespace nb
