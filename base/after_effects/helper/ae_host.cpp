// Host identity and versions: application id, effect API version, Premiere's application version.
#include "base/after_effects/helper/ae_host.h"

#include <sstream>

#include "base/after_effects/helper/ae_check.h"
#include "base/after_effects/helper/ae_suite.h"
#include "base/exception.h"

namespace nb {

AEGP_PluginID aegp_plugin_id = 0;

namespace {

// The version number this suite is asked for; the SDK's constant for it moved between releases.
constexpr int32_t app_info_suite_version = 2;

}  // namespace

bool host_is_after_effects(const PF_InData* in_data) {
    ASSERT(in_data != nullptr);
    return in_data->appl_id == appl_id_after_effects;
}

bool host_is_premiere(const PF_InData* in_data) {
    ASSERT(in_data != nullptr);
    return in_data->appl_id == appl_id_premiere;
}

bool api_version_at_least(const PF_InData* in_data, int32_t major, int32_t minor) {
    ASSERT(in_data != nullptr);
    return in_data->version.major > major || (in_data->version.major == major && in_data->version.minor >= minor);
}

Premiere_Version premiere_version(const PF_InData* in_data) {
    ASSERT(host_is_premiere(in_data));
    Ae_Suite<PrSDKAppInfoSuite> suite(in_data->pica_basicP, kPrSDKAppInfoSuite, app_info_suite_version);
    VersionInfo info{};
    check_pr(suite->GetAppInfo(PrSDKAppInfoSuite::kAppInfo_Version, &info));
    return Premiere_Version{info.major, info.minor, info.patch};
}

std::string host_description(const PF_InData* in_data) {
    std::ostringstream text;
    if (host_is_after_effects(in_data)) {
        text << "After Effects v" << in_data->version.major << "." << in_data->version.minor;
    } else if (host_is_premiere(in_data)) {
        const Premiere_Version version = premiere_version(in_data);
        text << "Premiere v" << version.major << "." << version.minor << "." << version.patch;
    }
    // The four characters of the id, most significant byte first: 'FXTC' reads FXTC.
    const auto id = static_cast<uint32_t>(in_data->appl_id);
    text << "(app id: ";
    for (int shift = 24; shift >= 0; shift -= 8) text << static_cast<char>((id >> shift) & 0xffu);
    text << ")";
    return text.str();
}

Host_Context host_context(const PF_InData* in_data) {
    if (in_data == nullptr) return make_host_context(Plugin_Host::premiere);
    if (host_is_after_effects(in_data)) return make_host_context(Plugin_Host::after_effects);
    if (host_is_premiere(in_data)) return make_host_context(Plugin_Host::premiere);
    return make_host_context(Plugin_Host::other_host);
}

}  // namespace nb
