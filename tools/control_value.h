// Sets a control of the effect from the text a user typed after --set KEY=.
#pragma once

#include <string>
#include <string_view>

#include "host/effect_session.h"
#include "tools/effect_controls.h"

namespace nb::tools {

// One "KEY=VALUE" split at its first '='. Throws Tool_Error without one, or with an empty key.
struct Control_Setting {
    std::string key;
    std::string value;
    static Control_Setting parse(std::string_view text);
};

// Numbers as decimals; checkboxes "on"/"off" (also true/false, yes/no, 1/0); choices by entry text or
// 0-based index; colours "r,g,b" or "r,g,b,a" in 0..1 (alpha goes to the colour's alpha slider); angles in
// degrees. Throws Tool_Error naming the control for text that is not a value of its kind, and with the
// valid range for a value outside it. Layer controls take files, which the caller loads: refused here.
void set_control_value(host::Effect_Session& session, const Effect_Controls& controls, const Effect_Control& control,
                       std::string_view text);

// The control's value as text that set_control_value reads back to the same value: numbers in the
// shortest form that does, choices by entry text, checkboxes on/off, colours r,g,b at the precision the
// host keeps (the alpha is a control of its own). Layers hold files, which the caller knows: refused.
std::string control_value_text(host::Effect_Session& session, const Effect_Control& control);

}  // namespace nb::tools
