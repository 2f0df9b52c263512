// The values of the effect's property list, taken from the description and the flags.
#include "plugin/blurmond_pipl.h"

#include "effect/blurmond_description.h"

namespace nb {

PF_Stage pf_stage(Release_Stage stage) {
    switch (stage) {
        case Release_Stage::pre_alpha: return PF_Stage_DEVELOP;
        case Release_Stage::alpha: return PF_Stage_ALPHA;
        case Release_Stage::beta: return PF_Stage_BETA;
        case Release_Stage::release: return PF_Stage_RELEASE;
    }
    return PF_Stage_RELEASE;
}

A_u_long pf_version(const Plugin_Description& d) {
    return PF_VERSION(d.version_major, d.version_minor, d.version_bugfix, pf_stage(d.stage), 0);
}

Pipl_Description blurmond_pipl_description() {
    const Plugin_Description description = blurmond_description();
    Pipl_Description pipl;
    pipl.name = "NB Blurmond";
    pipl.category = description.category;
    pipl.entry_point = entry_point_name;
    // The interface version the effect is written against, whatever SDK headers it is compiled with.
    pipl.api_version_major = 13;
    pipl.api_version_minor = 28;
    pipl.effect_version = pf_version(description);
    pipl.out_flags = static_cast<uint32_t>(blurmond_out_flags);
    pipl.out_flags2 = static_cast<uint32_t>(blurmond_out_flags2);
    pipl.match_name = "VUDI Blurmond";
    pipl.support_url = "https://www.nimbrel.com/support";
    return pipl;
}

std::vector<uint8_t> blurmond_pipl_bytes() { return pipl_bytes(blurmond_pipl_description()); }

}  // namespace nb
