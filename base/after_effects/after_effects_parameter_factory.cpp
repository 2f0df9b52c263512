// Creation of the host-bound parameter kinds.
#include "base/after_effects/after_effects_parameter_factory.h"

#include <utility>

#include "base/after_effects/after_effects_parameter_colors.h"
#include "base/after_effects/after_effects_parameter_custom.h"
#include "base/after_effects/after_effects_parameter_structure.h"
#include "base/after_effects/after_effects_parameter_values.h"

namespace nb {

Parameter_Factory_After_Effects::Parameter_Factory_After_Effects(PF_InData* in_data, PF_ParamDef** params,
                                                                 PF_EventExtra* event_extra)
    : in_data_(in_data), params_(params), event_extra_(event_extra) {}

template <class Kind, class Bound, class Description>
std::unique_ptr<Kind> Parameter_Factory_After_Effects::create(Description&& description) {
    return counter_.create<Kind>([&](int32_t index) {
        return std::make_unique<Bound>(std::forward<Description>(description), in_data_, params_, index);
    });
}

std::unique_ptr<Custom_Parameter> Parameter_Factory_After_Effects::create_custom(
    Custom_Parameter_Description description) {
    PF_ContextH context = event_extra_ != nullptr ? event_extra_->contextH : nullptr;
    return counter_.create<Custom_Parameter>([&](int32_t index) {
        return std::make_unique<Custom_Parameter_AE>(std::move(description), in_data_, params_, index, context);
    });
}

std::unique_ptr<Layer_Parameter> Parameter_Factory_After_Effects::create_layer(Layer_Parameter_Description description) {
    return create<Layer_Parameter, Layer_Parameter_AE>(std::move(description));
}

std::unique_ptr<Point_2d_Parameter> Parameter_Factory_After_Effects::create_point_2d(
    Point_2d_Parameter_Description description) {
    return create<Point_2d_Parameter, Point_2d_Parameter_AE>(std::move(description));
}

std::unique_ptr<Choice_Parameter> Parameter_Factory_After_Effects::create_choice(
    Choice_Parameter_Description description) {
    return create<Choice_Parameter, Choice_Parameter_AE>(std::move(description));
}

std::unique_ptr<Button_Parameter> Parameter_Factory_After_Effects::create_button(
    Button_Parameter_Description description) {
    return create<Button_Parameter, Button_Parameter_AE>(std::move(description));
}

std::unique_ptr<Checkbox_Parameter> Parameter_Factory_After_Effects::create_checkbox(
    Checkbox_Parameter_Description description) {
    return create<Checkbox_Parameter, Checkbox_Parameter_AE>(std::move(description));
}

std::unique_ptr<Angle_Parameter> Parameter_Factory_After_Effects::create_angle(Angle_Parameter_Description description) {
    return create<Angle_Parameter, Angle_Parameter_AE>(std::move(description));
}

std::unique_ptr<Float_Parameter> Parameter_Factory_After_Effects::create_float(Float_Parameter_Description description) {
    return create<Float_Parameter, Float_Parameter_AE>(std::move(description));
}

std::unique_ptr<Int_Parameter> Parameter_Factory_After_Effects::create_int(Int_Parameter_Description description) {
    return create<Int_Parameter, Int_Parameter_AE>(std::move(description));
}

std::unique_ptr<Rgba_Parameter> Parameter_Factory_After_Effects::create_rgba(Rgba_Parameter_Description description) {
    return create<Rgba_Parameter, Rgba_Parameter_AE>(std::move(description));
}

std::unique_ptr<Rgb_Parameter> Parameter_Factory_After_Effects::create_rgb(Rgb_Parameter_Description description) {
    return create<Rgb_Parameter, Rgb_Parameter_AE>(std::move(description));
}

std::unique_ptr<Group_End_Parameter> Parameter_Factory_After_Effects::create_group_end(
    Group_End_Parameter_Description description) {
    return create<Group_End_Parameter, Group_End_Parameter_AE>(std::move(description));
}

std::unique_ptr<Group_Parameter> Parameter_Factory_After_Effects::create_group(Group_Parameter_Description description) {
    return create<Group_Parameter, Group_Parameter_AE>(std::move(description));
}

}  // namespace nb
