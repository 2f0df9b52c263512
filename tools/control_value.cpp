// Parsing and range checks of control values typed on the command line.
#include "tools/control_value.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <sstream>
#include <vector>

#include "host/effect_parameter_state.h"
#include "tools/tool_error.h"

namespace nb::tools {
namespace {

std::string lowered(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return result;
}

std::string number_text(double value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

[[noreturn]] void refuse(const Effect_Control& control, const std::string& why) {
    throw Tool_Error("parameter '" + control.key + "': " + why);
}

double parse_number(const Effect_Control& control, std::string_view text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        refuse(control, "'" + std::string(text) + "' is not a number");
    return value;
}

void check_range(const Effect_Control& control, double value, double min, double max) {
    if (value < min || value > max)
        refuse(control, number_text(value) + " is outside the valid range " + number_text(min) + " .. " + number_text(max));
}

bool parse_checkbox(const Effect_Control& control, std::string_view text) {
    const std::string t = lowered(text);
    if (t == "on" || t == "true" || t == "yes" || t == "1") return true;
    if (t == "off" || t == "false" || t == "no" || t == "0") return false;
    refuse(control, "'" + std::string(text) + "' is not on or off");
}

int32_t parse_choice(const Effect_Control& control, const PF_ParamDef& record, std::string_view text) {
    const std::vector<std::string> entries = Effect_Controls::choices(record);
    for (size_t i = 0; i < entries.size(); ++i)
        if (lowered(entries[i]) == lowered(text)) return static_cast<int32_t>(i);
    int32_t index = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), index);
    if (error == std::errc() && end == text.data() + text.size() && index >= 0 &&
        index < static_cast<int32_t>(entries.size()))
        return index;
    std::string listed;
    for (size_t i = 0; i < entries.size(); ++i) listed += (i ? ", " : "") + std::to_string(i) + " \"" + entries[i] + "\"";
    refuse(control, "'" + std::string(text) + "' is not one of " + listed);
}

std::vector<double> parse_components(const Effect_Control& control, std::string_view text) {
    std::vector<double> components;
    size_t start = 0;
    while (true) {
        const size_t comma = text.find(',', start);
        components.push_back(parse_number(control, text.substr(start, comma - start)));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    if (components.size() != 3 && components.size() != 4)
        refuse(control, "a colour is r,g,b or r,g,b,a, not '" + std::string(text) + "'");
    for (double c : components) check_range(control, c, 0.0, 1.0);
    return components;
}

void set_color(host::Effect_Session& session, const Effect_Controls& controls, const Effect_Control& control,
               std::string_view text) {
    const std::vector<double> c = parse_components(control, text);
    session.set_color(control.index, c[0], c[1], c[2]);
    // The record holds 8-bit codes; the host keeps the colour at full precision beside it.
    const PF_PixelFloat exact{1.0f, static_cast<float>(c[0]), static_cast<float>(c[1]), static_cast<float>(c[2])};
    session.effect().parameter_state().set_float_color(control.index, exact);
    if (c.size() < 4) return;
    const Effect_Control* alpha = controls.alpha_of(control);
    if (alpha == nullptr) refuse(control, "this colour has no alpha");
    session.set_float(alpha->index, c[3]);
}

// The shortest text that from_chars turns back into the same number.
template <class Number>
std::string exact_text(Number value) {
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

std::string color_text(host::Effect_Session& session, const Effect_Control& control, const PF_Pixel& code) {
    const PF_PixelFloat* exact = session.effect().parameter_state().float_color(control.index);
    const PF_PixelFloat c = exact != nullptr ? *exact : PF_PixelFloat{1.0f, code.red / 255.0f, code.green / 255.0f, code.blue / 255.0f};
    return exact_text(c.red) + "," + exact_text(c.green) + "," + exact_text(c.blue);
}

}  // namespace

Control_Setting Control_Setting::parse(std::string_view text) {
    const size_t equals = text.find('=');
    if (equals == std::string_view::npos || equals == 0)
        throw Tool_Error("--set takes KEY=VALUE, not '" + std::string(text) + "'");
    return Control_Setting{std::string(text.substr(0, equals)), std::string(text.substr(equals + 1))};
}

void set_control_value(host::Effect_Session& session, const Effect_Controls& controls, const Effect_Control& control,
                       std::string_view text) {
    const PF_ParamDef& record = session.effect().parameter(control.index);
    switch (control.type) {
    case PF_Param_FLOAT_SLIDER: {
        const double value = parse_number(control, text);
        check_range(control, value, record.u.fs_d.valid_min, record.u.fs_d.valid_max);
        return session.set_float(control.index, value);
    }
    case PF_Param_SLIDER: {
        const double value = parse_number(control, text);
        if (value != std::floor(value)) refuse(control, "'" + std::string(text) + "' is not a whole number");
        check_range(control, value, record.u.sd.valid_min, record.u.sd.valid_max);
        return session.set_int(control.index, static_cast<int32_t>(value));
    }
    case PF_Param_CHECKBOX: return session.set_checkbox(control.index, parse_checkbox(control, text));
    case PF_Param_POPUP: return session.set_choice(control.index, parse_choice(control, record, text));
    case PF_Param_ANGLE: {
        // 16.16 fixed point holds whole turns up to 32767 degrees either way.
        const double degrees = parse_number(control, text);
        check_range(control, degrees, -32767.0, 32767.0);
        return session.set_angle(control.index, degrees);
    }
    case PF_Param_COLOR: return set_color(session, controls, control, text);
    case PF_Param_LAYER: refuse(control, "a layer takes an image file");
    default: refuse(control, "this kind of control cannot be set");
    }
}

std::string control_value_text(host::Effect_Session& session, const Effect_Control& control) {
    const PF_ParamDef& record = session.effect().parameter(control.index);
    switch (control.type) {
    case PF_Param_FLOAT_SLIDER: return exact_text(record.u.fs_d.value);
    case PF_Param_SLIDER: return std::to_string(record.u.sd.value);
    case PF_Param_CHECKBOX: return record.u.bd.value != 0 ? "on" : "off";
    case PF_Param_POPUP: return Effect_Controls::choices(record).at(static_cast<size_t>(record.u.pd.value - 1));
    case PF_Param_ANGLE: return exact_text(record.u.ad.value / 65536.0);
    case PF_Param_COLOR: return color_text(session, control, record.u.cd.value);
    default: refuse(control, "this kind of control has no value as text");
    }
}

}  // namespace nb::tools
