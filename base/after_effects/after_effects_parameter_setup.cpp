// Turns each parameter description into the host's PF_ParamDef and adds it.
#include "base/after_effects/after_effects_parameter_setup.h"

#include <cmath>
#include <new>
#include <string>

#include "base/after_effects/after_effects_arbitrary_data.h"
#include "base/after_effects/after_effects_parameter_units.h"
#include "base/after_effects/helper/ae_check.h"
#include "base/exception.h"
#include "base/parameter_kind.h"

namespace nb {
namespace {

// How finely the host samples a slider's curve; the same for every float slider.
constexpr PF_FpShort curve_tolerance = 0.05f;
// The label beside a checkbox: the parameter's name says it all.
constexpr A_char no_label[] = "";

void add(PF_InData* in_data, PF_ParamDef& def) {
    check_pf(in_data->inter.add_param(in_data->effect_ref, -1, &def), pf_err_message);
}

PF_ParamDef common_record(const Parameter_Description& description, PF_ParamType type) {
    PF_ParamDef def{};
    def.param_type = type;
    if (!description.animatable || description.interface_only) def.flags |= PF_ParamFlag_CANNOT_TIME_VARY;
    if (description.supervise) def.flags |= PF_ParamFlag_SUPERVISE;
    if (description.start_collapsed) def.flags |= PF_ParamFlag_COLLAPSE_TWIRLY;
    if (description.interface_only) def.ui_flags |= PF_PUI_STD_CONTROL_ONLY;
    if (!description.enabled) def.ui_flags |= PF_PUI_DISABLED;
    if (!description.visible) def.ui_flags |= PF_PUI_INVISIBLE | PF_PUI_NO_ECW_UI;
    copy_param_name(def.PF_DEF_NAME, description.name);
    def.uu.id = static_cast<A_long>(description.disc_id);  // the host keeps 32 bits
    return def;
}

PF_ParamDef float_slider_record(const Parameter_Description& description, double default_value, double valid_min,
                                double valid_max, double slider_min, double slider_max, int32_t precision) {
    ASSERT(precision >= 0 && precision <= 32767, "precision " << precision);
    PF_ParamDef def = common_record(description, PF_Param_FLOAT_SLIDER);
    PF_FloatSliderDef& slider = def.u.fs_d;
    slider.valid_min = to_host_float(valid_min);
    slider.valid_max = to_host_float(valid_max);
    slider.slider_min = to_host_float(slider_min);
    slider.slider_max = to_host_float(slider_max);
    slider.dephault = to_host_float(default_value);
    // The value starts as the default the host will show, not as the finer double.
    slider.value = slider.dephault;
    slider.precision = static_cast<A_short>(precision);
    slider.curve_tolerance = curve_tolerance;
    return def;
}

PF_ParamDef color_record(const Parameter_Description& description, double red, double green, double blue) {
    PF_ParamDef def = common_record(description, PF_Param_COLOR);
    const PF_Pixel color{255, to_color_byte(red), to_color_byte(green), to_color_byte(blue)};
    def.u.cd.value = color;
    def.u.cd.dephault = color;
    return def;
}

int32_t add_plain(PF_InData* in_data, const Parameter_Description& description, PF_ParamType type) {
    PF_ParamDef def = common_record(description, type);
    add(in_data, def);
    return 1;
}

int32_t add_rgb(PF_InData* in_data, const Rgb_Parameter_Description& description) {
    PF_ParamDef def = color_record(description, description.red, description.green, description.blue);
    add(in_data, def);
    return 1;
}

// The colour, then a slider for its alpha under its own identifier.
int32_t add_rgba(PF_InData* in_data, const Rgba_Parameter_Description& description) {
    ASSERT(description.disc_id_alpha > 0);
    PF_ParamDef color = color_record(description, description.red, description.green, description.blue);
    add(in_data, color);
    PF_ParamDef alpha = float_slider_record(description, description.alpha, 0.0, 1.0, 0.0, 1.0, 2);
    copy_param_name(alpha.PF_DEF_NAME, description.name + " (alpha)");
    alpha.uu.id = static_cast<A_long>(description.disc_id_alpha);
    add(in_data, alpha);
    return 2;
}

int32_t add_int(PF_InData* in_data, const Int_Parameter_Description& description) {
    PF_ParamDef def = common_record(description, PF_Param_SLIDER);
    PF_SliderDef& slider = def.u.sd;
    slider.value = description.default_value;
    slider.dephault = description.default_value;
    slider.valid_min = description.valid_min;
    slider.valid_max = description.valid_max;
    slider.slider_min = description.slider_min;
    slider.slider_max = description.slider_max;
    add(in_data, def);
    return 1;
}

int32_t add_float(PF_InData* in_data, const Float_Parameter_Description& description) {
    PF_ParamDef def = float_slider_record(description, description.default_value, description.valid_min,
                                          description.valid_max, description.slider_min, description.slider_max,
                                          description.precision);
    if (description.percent) def.u.fs_d.display_flags |= PF_ValueDisplayFlag_PERCENT;
    if (description.pixel) def.u.fs_d.display_flags |= PF_ValueDisplayFlag_PIXEL;
    add(in_data, def);
    return 1;
}

// The host's angle control has no ranges; the description's stay unused.
int32_t add_angle(PF_InData* in_data, const Angle_Parameter_Description& description) {
    PF_ParamDef def = common_record(description, PF_Param_ANGLE);
    def.u.ad.value = to_fixed(description.default_value);
    def.u.ad.dephault = def.u.ad.value;
    add(in_data, def);
    return 1;
}

int32_t add_checkbox(PF_InData* in_data, const Checkbox_Parameter_Description& description) {
    PF_ParamDef def = common_record(description, PF_Param_CHECKBOX);
    def.u.bd.value = description.default_value ? 1 : 0;
    def.u.bd.dephault = description.default_value ? 1 : 0;
    def.u.bd.u.nameptr = no_label;
    add(in_data, def);
    return 1;
}

// A button only reports presses: it never varies over time and always tells the plug-in.
int32_t add_button(PF_InData* in_data, const Button_Parameter_Description& description) {
    PF_ParamDef def = common_record(description, PF_Param_BUTTON);
    def.flags = PF_ParamFlag_SUPERVISE | PF_ParamFlag_CANNOT_TIME_VARY;
    def.ui_flags = PF_PUI_STD_CONTROL_ONLY;
    def.u.button_d.u.namesptr = description.label.c_str();
    add(in_data, def);
    return 1;
}

// Entries go to the host as one text, each entry followed by "|", counted from 1.
int32_t add_choice(PF_InData* in_data, const Choice_Parameter_Description& description) {
    const auto count = static_cast<int64_t>(description.entries.size());
    ASSERT(count <= 32767, "too many entries: " << count);
    ASSERT(description.default_index >= 0 && description.default_index < count,
           "default entry " << description.default_index << " of " << count);
    std::string names;
    for (const std::string& entry : description.entries) names += entry + "|";
    PF_ParamDef def = common_record(description, PF_Param_POPUP);
    def.u.pd.num_choices = static_cast<A_short>(count);
    def.u.pd.value = description.default_index + 1;
    def.u.pd.dephault = static_cast<A_short>(description.default_index + 1);
    def.u.pd.u.namesptr = names.c_str();
    add(in_data, def);
    return 1;
}

// The default is whole percent of the layer, in 16.16.
int32_t add_point_2d(PF_InData* in_data, const Point_2d_Parameter_Description& description) {
    PF_ParamDef def = common_record(description, PF_Param_POINT);
    def.u.td.x_value = to_fixed(std::trunc(description.x * 100.0));
    def.u.td.y_value = to_fixed(std::trunc(description.y * 100.0));
    def.u.td.x_dephault = def.u.td.x_value;
    def.u.td.y_dephault = def.u.td.y_value;
    def.u.td.restrict_bounds = description.restrict_bounds ? 1 : 0;
    add(in_data, def);
    return 1;
}

// disc_id 0 names the effect's own input, which the host adds itself.
int32_t add_layer(PF_InData* in_data, const Layer_Parameter_Description& description) {
    if (description.disc_id == 0) return 1;
    PF_ParamDef def = common_record(description, PF_Param_LAYER);
    def.u.ld.dephault = PF_LayerDefault_NONE;
    add(in_data, def);
    return 1;
}

PF_ParamDef arbitrary_data_record(PF_InData* in_data, const Parameter_Description& description,
                                  const Arbitrary_Data_Functions* functions, void* reference) {
    ASSERT(functions != nullptr, "custom parameter " << description.name << " without data functions");
    PF_ParamDef def = common_record(description, PF_Param_ARBITRARY_DATA);
    def.u.arb_d.id = static_cast<A_short>(description.disc_id);
    def.u.arb_d.dephault = functions->new_default(in_data);
    if (def.u.arb_d.dephault == nullptr) throw std::bad_alloc();
    def.u.arb_d.refconPV = reference;
    return def;
}

// The host takes over the default data only with the record; a refused record must not leak it.
void add_arbitrary_data(PF_InData* in_data, PF_ParamDef& def) {
    try {
        add(in_data, def);
    } catch (...) {
        in_data->utils->host_dispose_handle(def.u.arb_d.dephault);
        throw;
    }
}

// The drawn control, its interface registration, then the hidden record of its interface data.
int32_t add_custom(PF_InData* in_data, const Custom_Parameter_Description& description) {
    ASSERT(description.ui_height >= 0 && description.ui_height <= 32767, "height " << description.ui_height);
    PF_ParamDef control =
        arbitrary_data_record(in_data, description, description.data_functions.get(), description.reference_data);
    control.ui_flags = PF_PUI_CONTROL | PF_PUI_DONT_ERASE_CONTROL;
    control.ui_width = 9999;  // as wide as the effect controls allow
    control.ui_height = static_cast<A_short>(description.ui_height);
    add_arbitrary_data(in_data, control);

    ASSERT(in_data->inter.register_ui != nullptr);
    PF_CustomUIInfo interface_info{};
    interface_info.events = PF_CustomEFlag_EFFECT;
    check_pf(in_data->inter.register_ui(in_data->effect_ref, &interface_info), pf_err_message);

    Parameter_Description hidden(description.name + "_gui_data", description.key + "_gui_data",
                                 description.disc_id_gui_data);
    hidden.animatable = false;
    hidden.visible = false;
    PF_ParamDef gui = arbitrary_data_record(in_data, hidden, description.gui_data_functions.get(),
                                            description.reference_gui_data);
    add_arbitrary_data(in_data, gui);
    return 2;
}

// Every parameter is of exactly one kind.
int32_t add_parameter(PF_InData* in_data, const Parameter& parameter) {
    if (auto p = dynamic_cast<const Group_Parameter*>(&parameter))
        return add_plain(in_data, p->description(), PF_Param_GROUP_START);
    if (auto p = dynamic_cast<const Group_End_Parameter*>(&parameter))
        return add_plain(in_data, p->description(), PF_Param_GROUP_END);
    if (auto p = dynamic_cast<const Rgb_Parameter*>(&parameter)) return add_rgb(in_data, p->description());
    if (auto p = dynamic_cast<const Rgba_Parameter*>(&parameter)) return add_rgba(in_data, p->description());
    if (auto p = dynamic_cast<const Int_Parameter*>(&parameter)) return add_int(in_data, p->description());
    if (auto p = dynamic_cast<const Float_Parameter*>(&parameter)) return add_float(in_data, p->description());
    if (auto p = dynamic_cast<const Angle_Parameter*>(&parameter)) return add_angle(in_data, p->description());
    if (auto p = dynamic_cast<const Checkbox_Parameter*>(&parameter)) return add_checkbox(in_data, p->description());
    if (auto p = dynamic_cast<const Button_Parameter*>(&parameter)) return add_button(in_data, p->description());
    if (auto p = dynamic_cast<const Choice_Parameter*>(&parameter)) return add_choice(in_data, p->description());
    if (auto p = dynamic_cast<const Point_2d_Parameter*>(&parameter)) return add_point_2d(in_data, p->description());
    if (auto p = dynamic_cast<const Layer_Parameter*>(&parameter)) return add_layer(in_data, p->description());
    if (auto p = dynamic_cast<const Custom_Parameter*>(&parameter)) return add_custom(in_data, p->description());
    ASSERT_INCOMPLETE;
}

}  // namespace

void parameter_setup(PF_InData* in_data, PF_OutData* out_data, const std::vector<Parameter*>& parameters) {
    int32_t host_records = 0;
    for (const Parameter* parameter : parameters) {
        ASSERT(parameter != nullptr);
        host_records += add_parameter(in_data, *parameter);
    }
    out_data->num_params = host_records + 1;
}

}  // namespace nb
