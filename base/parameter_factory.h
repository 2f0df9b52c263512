// The abstract factory through which the effect declares its parameters; each host supplies one.
#pragma once

#include <memory>
#include <vector>

#include "base/parameter_kind.h"

namespace nb {

// The caller owns what a creator returns; the factory keeps non-owning pointers in creation order,
// which is the order of the controls in the host. Creators may throw the host's exceptions.
class Parameter_Factory {
public:
    virtual ~Parameter_Factory() = default;
    virtual std::unique_ptr<Custom_Parameter> create_custom(Custom_Parameter_Description description) = 0;
    virtual std::unique_ptr<Layer_Parameter> create_layer(Layer_Parameter_Description description) = 0;
    virtual std::unique_ptr<Point_2d_Parameter> create_point_2d(Point_2d_Parameter_Description description) = 0;
    virtual std::unique_ptr<Choice_Parameter> create_choice(Choice_Parameter_Description description) = 0;
    virtual std::unique_ptr<Button_Parameter> create_button(Button_Parameter_Description description) = 0;
    virtual std::unique_ptr<Checkbox_Parameter> create_checkbox(Checkbox_Parameter_Description description) = 0;
    virtual std::unique_ptr<Angle_Parameter> create_angle(Angle_Parameter_Description description) = 0;
    virtual std::unique_ptr<Float_Parameter> create_float(Float_Parameter_Description description) = 0;
    virtual std::unique_ptr<Int_Parameter> create_int(Int_Parameter_Description description) = 0;
    virtual std::unique_ptr<Rgba_Parameter> create_rgba(Rgba_Parameter_Description description) = 0;
    virtual std::unique_ptr<Rgb_Parameter> create_rgb(Rgb_Parameter_Description description) = 0;
    virtual std::unique_ptr<Group_End_Parameter> create_group_end(Group_End_Parameter_Description description) = 0;
    virtual std::unique_ptr<Group_Parameter> create_group(Group_Parameter_Description description) = 0;
    // Every parameter created so far, in creation order, group ends included.
    virtual std::vector<Parameter*> parameter_list() const = 0;

protected:
    Parameter_Factory() = default;
    Parameter_Factory(const Parameter_Factory&) = default;
    Parameter_Factory& operator=(const Parameter_Factory&) = default;
};

}  // namespace nb
