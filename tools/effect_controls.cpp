// Keys, lookup and listing of the effect's controls.
#include "tools/effect_controls.h"

#include <algorithm>
#include <cctype>
#include <iomanip>
#include <sstream>

#include "effect/blurmond_controls.h"
#include "tools/closest_names.h"
#include "tools/tool_error.h"

namespace nb::tools {
namespace {

std::string folded(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = c == ' ' || c == '-' ? '_' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return result;
}

std::string number(double value) {
    std::ostringstream out;
    out << std::setprecision(6) << value;
    return out.str();
}

std::string fixed_degrees(PF_Fixed value) { return number(value / 65536.0); }

std::string default_text(const PF_ParamDef& p) {
    switch (p.param_type) {
    case PF_Param_FLOAT_SLIDER: return number(p.u.fs_d.dephault);
    case PF_Param_SLIDER: return std::to_string(p.u.sd.dephault);
    case PF_Param_CHECKBOX: return p.u.bd.dephault ? "on" : "off";
    case PF_Param_POPUP: return std::to_string(p.u.pd.dephault - 1);
    case PF_Param_ANGLE: return fixed_degrees(p.u.ad.dephault);
    case PF_Param_COLOR: {
        const PF_Pixel& c = p.u.cd.dephault;
        return number(c.red / 255.0) + "," + number(c.green / 255.0) + "," + number(c.blue / 255.0);
    }
    case PF_Param_LAYER: return "none";
    default: return "-";
    }
}

std::string range_text(const PF_ParamDef& p) {
    switch (p.param_type) {
    case PF_Param_FLOAT_SLIDER: return number(p.u.fs_d.valid_min) + " .. " + number(p.u.fs_d.valid_max);
    case PF_Param_SLIDER: return std::to_string(p.u.sd.valid_min) + " .. " + std::to_string(p.u.sd.valid_max);
    case PF_Param_POPUP: return "0 .. " + std::to_string(p.u.pd.num_choices - 1);
    case PF_Param_CHECKBOX: return "on|off";
    case PF_Param_COLOR: return "r,g,b[,a] in 0 .. 1";
    case PF_Param_ANGLE: return "degrees";
    case PF_Param_LAYER: return "image file";
    default: return "-";
    }
}

}  // namespace

Effect_Controls::Effect_Controls(const std::vector<PF_ParamDef>& parameters) {
    std::vector<std::string> groups;
    for (size_t i = 1; i < parameters.size(); ++i) {
        const PF_ParamDef& p = parameters[i];
        if (p.param_type == PF_Param_GROUP_START) {
            groups.emplace_back(p.name);
        } else if (p.param_type == PF_Param_GROUP_END) {
            if (!groups.empty()) groups.pop_back();
        } else {
            controls_.push_back(Effect_Control{static_cast<int32_t>(i), static_cast<int32_t>(p.uu.id), p.param_type, p.name,
                                               key_for(static_cast<int32_t>(p.uu.id), p.name), groups});
        }
    }
}

// Display names differ between hosts and may change; identifiers may not, so keys hang on them.
std::string Effect_Controls::key_for(int32_t identifier, std::string_view name) {
    for (const Blurmond_Control& control : blurmond_controls)
        if (control.identifier == identifier) return std::string(control.key);
    std::string key(name);
    std::replace(key.begin(), key.end(), ' ', '_');
    return key;
}

const Effect_Control& Effect_Controls::find(std::string_view name) const {
    const std::string wanted = folded(name);
    for (const Effect_Control& control : controls_)
        if (folded(control.key) == wanted || folded(control.name) == wanted) return control;
    std::vector<Known_Name> known;
    for (const Effect_Control& control : controls_) known.push_back({control.key, control.name});
    throw Tool_Error(unknown_name_message("parameter", name, closest_names(name, known)));
}

const Effect_Control* Effect_Controls::alpha_of(const Effect_Control& color) const {
    const std::string alpha_name = color.name + " (alpha)";
    for (const Effect_Control& control : controls_)
        if (control.name == alpha_name && control.type == PF_Param_FLOAT_SLIDER) return &control;
    return nullptr;
}

std::string Effect_Controls::kind_name(PF_ParamType type) {
    switch (type) {
    case PF_Param_LAYER: return "layer";
    case PF_Param_SLIDER: return "int";
    case PF_Param_ANGLE: return "angle";
    case PF_Param_CHECKBOX: return "checkbox";
    case PF_Param_COLOR: return "color";
    case PF_Param_POPUP: return "choice";
    case PF_Param_FLOAT_SLIDER: return "float";
    default: return "other";
    }
}

std::vector<std::string> Effect_Controls::choices(const PF_ParamDef& parameter) {
    std::vector<std::string> entries;
    if (parameter.param_type != PF_Param_POPUP || parameter.u.pd.u.namesptr == nullptr) return entries;
    std::istringstream names(parameter.u.pd.u.namesptr);
    for (std::string entry; std::getline(names, entry, '|');) entries.push_back(entry);
    return entries;
}

void Effect_Controls::print(std::ostream& out, const std::vector<PF_ParamDef>& parameters) const {
    out << std::left << std::setw(6) << "index" << std::setw(4) << "id" << std::setw(10) << "kind" << std::setw(30)
        << "name" << std::setw(26) << "key" << std::setw(10) << "default" << "valid range / choices\n";
    std::vector<std::string> open_groups;
    for (const Effect_Control& c : controls_) {
        // Headings of the groups entered since the last control; a nested group's indented under its own.
        size_t common = 0;
        while (common < std::min(open_groups.size(), c.groups.size()) && open_groups[common] == c.groups[common]) ++common;
        for (size_t depth = common; depth < c.groups.size(); ++depth) out << "\n" << std::string(2 * depth, ' ') << c.groups[depth] << "\n";
        open_groups = c.groups;
        const PF_ParamDef& p = parameters.at(static_cast<size_t>(c.index));
        std::string range = range_text(p);
        const std::vector<std::string> entries = choices(p);
        for (size_t i = 0; i < entries.size(); ++i) range += (i == 0 ? ": " : ", ") + std::to_string(i) + " \"" + entries[i] + "\"";
        out << std::setw(6) << c.index << std::setw(4) << c.identifier << std::setw(10) << kind_name(c.type)
            << std::setw(30) << ("\"" + c.name + "\"") << std::setw(26) << c.key << std::setw(10) << default_text(p)
            << range << "\n";
    }
    out << std::right;
}

}  // namespace nb::tools
