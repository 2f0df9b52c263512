// The effect's controls as the host holds them, found by key or display name, and listed for users.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "base/after_effects/ae_sdk.h"

namespace nb::tools {

struct Effect_Control {
    int32_t index = 0;        // host index; 0 is the effect's input
    int32_t identifier = 0;   // stored in projects; the same under every host
    PF_ParamType type = PF_Param_RESERVED;
    std::string name;  // display name
    std::string key;   // stable across hosts, e.g. "iris_facets"
    std::vector<std::string> groups;  // display names of the groups it sits in, outermost first
};

// Built from the records after parameter setup. Group starts and ends are left out: they hold no value.
class Effect_Controls {
public:
    explicit Effect_Controls(const std::vector<PF_ParamDef>& parameters);

    // The control whose key or display name is `name` (spaces and underscores alike, case ignored).
    // Throws Tool_Error naming the closest keys and names for none.
    const Effect_Control& find(std::string_view name) const;
    // The separate alpha slider the host keeps after a colour control; null for a colour without one.
    const Effect_Control* alpha_of(const Effect_Control& color) const;
    const std::vector<Effect_Control>& all() const { return controls_; }

    // One line per control: index, identifier, kind, display name, key, default, valid range, choices;
    // under the heading of each group where it opens, indented by its depth, as the host shows them.
    void print(std::ostream& out, const std::vector<PF_ParamDef>& parameters) const;

    // The key of an identifier; the display name with underscores for one the table does not know.
    static std::string key_for(int32_t identifier, std::string_view name);
    static std::string kind_name(PF_ParamType type);
    // The entries of a choice record, in order.
    static std::vector<std::string> choices(const PF_ParamDef& parameter);

private:
    std::vector<Effect_Control> controls_;
};

}  // namespace nb::tools
