// Colour reads and writes against the host's colour records and alpha sliders.
#include "base/after_effects/after_effects_parameter_colors.h"

#include <utility>

#include "base/after_effects/after_effects_parameter_units.h"

namespace nb {
namespace {

constexpr A_long now = -1;

void store_color(PF_ParamDef& record, float red, float green, float blue) {
    PF_Pixel& color = record.u.cd.value;
    color.red = to_color_byte(red);
    color.green = to_color_byte(green);
    color.blue = to_color_byte(blue);
}

}  // namespace

Rgb_Parameter_AE::Rgb_Parameter_AE(Rgb_Parameter_Description description, PF_InData* in_data, PF_ParamDef** params,
                                   int32_t index)
    : Parameter_AE(in_data, params, index), Rgb_Parameter(std::move(description)) {}

void Rgb_Parameter_AE::set_value(float red, float green, float blue) {
    store_color(call_record(host_index()), red, green, blue);
    mark_changed(host_index());
}

std::array<float, 3> Rgb_Parameter_AE::value() const { return color_value(host_index()); }

Rgba_Parameter_AE::Rgba_Parameter_AE(Rgba_Parameter_Description description, PF_InData* in_data,
                                     PF_ParamDef** params, int32_t index)
    : Parameter_AE(in_data, params, index), Rgba_Parameter(std::move(description)) {}

void Rgba_Parameter_AE::set_value(float red, float green, float blue, float alpha) {
    store_color(call_record(host_index()), red, green, blue);
    call_record(alpha_index()).u.fs_d.value = alpha;
    // The alpha slider is a control of its own: unmarked, the host would drop the new alpha.
    mark_changed(host_index());
    mark_changed(alpha_index());
}

std::array<float, 4> Rgba_Parameter_AE::value() const {
    const std::array<float, 3> rgb = color_value(host_index());
    const auto alpha = static_cast<float>(get_ae_param(alpha_index(), now)->u.fs_d.value);
    return {rgb[0], rgb[1], rgb[2], alpha};
}

void Rgba_Parameter_AE::set_enabled(bool on) {
    set_ui_flag(host_index(), PF_PUI_DISABLED, !on);
    set_ui_flag(alpha_index(), PF_PUI_DISABLED, !on);
}

void Rgba_Parameter_AE::set_visible(bool shown) {
    set_ui_flag(host_index(), PF_PUI_INVISIBLE, !shown);
    set_ui_flag(alpha_index(), PF_PUI_INVISIBLE, !shown);
}

}  // namespace nb
