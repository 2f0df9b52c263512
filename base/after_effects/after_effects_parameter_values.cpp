// Reads and writes of the value kinds against the host's records.
#include "base/after_effects/after_effects_parameter_values.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "base/after_effects/after_effects_parameter_units.h"
#include "base/after_effects/helper/ae_host.h"

namespace nb {
namespace {

// Reads use the current time of the call.
constexpr A_long now = -1;
constexpr double fixed_one = 65536.0;

}  // namespace

Float_Parameter_AE::Float_Parameter_AE(Float_Parameter_Description description, PF_InData* in_data,
                                       PF_ParamDef** params, int32_t index)
    : Parameter_AE(in_data, params, index), Float_Parameter(std::move(description)) {}

double Float_Parameter_AE::value() const { return get_ae_param(host_index(), now)->u.fs_d.value; }

double Float_Parameter_AE::slider_min() const { return call_record(host_index()).u.fs_d.slider_min; }

double Float_Parameter_AE::slider_max() const { return call_record(host_index()).u.fs_d.slider_max; }

void Float_Parameter_AE::set_value(double value) {
    call_record(host_index()).u.fs_d.value = value;
    mark_changed(host_index());
}

void Float_Parameter_AE::set_valid_range(double min, double max) {
    PF_FloatSliderDef& slider = call_record(host_index()).u.fs_d;
    slider.valid_min = to_host_float(min);
    slider.valid_max = to_host_float(max);
    refresh(host_index());
}

void Float_Parameter_AE::set_slider_range(double min, double max) {
    PF_FloatSliderDef& slider = call_record(host_index()).u.fs_d;
    slider.slider_min = to_host_float(min);
    slider.slider_max = to_host_float(max);
    refresh(host_index());
}

void Float_Parameter_AE::set_precision(int16_t decimal_places) {
    call_record(host_index()).u.fs_d.precision = decimal_places;
    refresh(host_index());
}

Angle_Parameter_AE::Angle_Parameter_AE(Angle_Parameter_Description description, PF_InData* in_data,
                                       PF_ParamDef** params, int32_t index)
    : Parameter_AE(in_data, params, index), Angle_Parameter(std::move(description)) {}

double Angle_Parameter_AE::value() const { return get_ae_param(host_index(), now)->u.ad.value * (1.0 / fixed_one); }

Int_Parameter_AE::Int_Parameter_AE(Int_Parameter_Description description, PF_InData* in_data, PF_ParamDef** params,
                                   int32_t index)
    : Parameter_AE(in_data, params, index), Int_Parameter(std::move(description)) {}

// Hosts keep a slider within its valid range, but a damaged project or a careless host may not; the
// effect's loops and sizes count on the range (an antialiasing of 2^31 samples would never finish).
int32_t Int_Parameter_AE::value() const {
    return std::clamp(get_ae_param(host_index(), now)->u.sd.value, description().valid_min, description().valid_max);
}

Checkbox_Parameter_AE::Checkbox_Parameter_AE(Checkbox_Parameter_Description description, PF_InData* in_data,
                                             PF_ParamDef** params, int32_t index)
    : Parameter_AE(in_data, params, index), Checkbox_Parameter(std::move(description)) {}

bool Checkbox_Parameter_AE::value() const { return get_ae_param(host_index(), now)->u.bd.value != 0; }

void Checkbox_Parameter_AE::set_value(bool value) {
    call_record(host_index()).u.bd.value = value ? 1 : 0;
    mark_changed(host_index());
}

Choice_Parameter_AE::Choice_Parameter_AE(Choice_Parameter_Description description, PF_InData* in_data,
                                         PF_ParamDef** params, int32_t index)
    : Parameter_AE(in_data, params, index), Choice_Parameter(std::move(description)) {}

int32_t Choice_Parameter_AE::value() const { return get_ae_param(host_index(), now)->u.pd.value - 1; }

void Choice_Parameter_AE::set_value(int32_t index) {
    call_record(host_index()).u.pd.value = index + 1;
    mark_changed(host_index());
}

Point_2d_Parameter_AE::Point_2d_Parameter_AE(Point_2d_Parameter_Description description, PF_InData* in_data,
                                             PF_ParamDef** params, int32_t index)
    : Parameter_AE(in_data, params, index), Point_2d_Parameter(std::move(description)) {}

std::pair<double, double> Point_2d_Parameter_AE::value() const {
    const auto record = get_ae_param(host_index(), now);
    return {record->u.td.x_value / fixed_one, record->u.td.y_value / fixed_one};
}

Layer_Parameter_AE::Layer_Parameter_AE(Layer_Parameter_Description description, PF_InData* in_data,
                                       PF_ParamDef** params, int32_t index)
    : Parameter_AE(in_data, params, index), Layer_Parameter(std::move(description)) {}

bool Layer_Parameter_AE::has_layer() const {
    // A call without records (none of the commands that ask) falls back to the checkout.
    if (host_is_after_effects(in_data()) && api_version_at_least(in_data(), 13, 9) && has_params()) {
        // These versions leave the leading pointer of the layer record set exactly when a layer is chosen.
        void* leading = nullptr;
        std::memcpy(&leading, &call_record(host_index()).u.ld, sizeof leading);
        return leading != nullptr;
    }
    if (api_version_at_least(in_data(), 12, 11)) return get_ae_param(host_index(), now)->u.ld.data != nullptr;
    return false;
}

}  // namespace nb
