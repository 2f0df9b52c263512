// What the plug-in says about itself: name, category, version, release stage and description.
#pragma once

#include <cstdint>
#include <string>

namespace nb {

enum class Release_Stage : int32_t {
    pre_alpha = 0,
    alpha = 1,
    beta = 2,
    release = 3,
};

// Appended to the version in the about text; a release shows none.
constexpr const char* release_stage_suffix(Release_Stage stage) {
    switch (stage) {
        case Release_Stage::pre_alpha: return " - pre alpha";
        case Release_Stage::alpha: return " - alpha";
        case Release_Stage::beta: return " - beta";
        case Release_Stage::release: return "";
    }
    return "";
}

// A plain record, copied by value into every handler that needs it.
struct Plugin_Description {
    std::string name;
    std::string category;  // the maker's name
    uint32_t version_major = 0;
    uint32_t version_minor = 0;
    uint32_t version_bugfix = 0;
    Release_Stage stage = Release_Stage::release;
    std::string description;  // ends in a newline
    // The log's path below the user's home folder, without extension; a host binding appends its suffix.
    std::string log_name;
};

}  // namespace nb
