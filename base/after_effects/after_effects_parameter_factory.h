// The parameter factory of the host binding: host-bound parameters numbered in host order.
#pragma once

#include <memory>
#include <vector>

#include "base/after_effects/ae_sdk.h"
#include "base/parameter_factory.h"
#include "base/parameter_index_counter.h"

namespace nb {

// Built per host call over the call's records, which must outlive every parameter it creates. params
// may be null (commands that pass none); event_extra is the call's PF_EventExtra under PF_Cmd_EVENT,
// null otherwise. Host indices start at 1; a colour with alpha and a custom control take two.
class Parameter_Factory_After_Effects : public Parameter_Factory {
public:
    Parameter_Factory_After_Effects(PF_InData* in_data, PF_ParamDef** params, PF_EventExtra* event_extra);

    std::unique_ptr<Custom_Parameter> create_custom(Custom_Parameter_Description description) override;
    std::unique_ptr<Layer_Parameter> create_layer(Layer_Parameter_Description description) override;
    std::unique_ptr<Point_2d_Parameter> create_point_2d(Point_2d_Parameter_Description description) override;
    std::unique_ptr<Choice_Parameter> create_choice(Choice_Parameter_Description description) override;
    std::unique_ptr<Button_Parameter> create_button(Button_Parameter_Description description) override;
    std::unique_ptr<Checkbox_Parameter> create_checkbox(Checkbox_Parameter_Description description) override;
    std::unique_ptr<Angle_Parameter> create_angle(Angle_Parameter_Description description) override;
    std::unique_ptr<Float_Parameter> create_float(Float_Parameter_Description description) override;
    std::unique_ptr<Int_Parameter> create_int(Int_Parameter_Description description) override;
    std::unique_ptr<Rgba_Parameter> create_rgba(Rgba_Parameter_Description description) override;
    std::unique_ptr<Rgb_Parameter> create_rgb(Rgb_Parameter_Description description) override;
    std::unique_ptr<Group_End_Parameter> create_group_end(Group_End_Parameter_Description description) override;
    std::unique_ptr<Group_Parameter> create_group(Group_Parameter_Description description) override;
    std::vector<Parameter*> parameter_list() const override { return counter_.created(); }

private:
    template <class Kind, class Bound, class Description>
    std::unique_ptr<Kind> create(Description&& description);

    PF_InData* in_data_;
    PF_ParamDef** params_;
    PF_EventExtra* event_extra_;
    Parameter_Index_Counter counter_;
};

}  // namespace nb
