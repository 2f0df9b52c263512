// Parameters held in memory for tests: construction from descriptions, reads, and the factory.
#include "tests/support/memory_parameter_factory.h"

namespace nb::test {

Memory_Parameter::Memory_Parameter(const Parameter_Description& description, int32_t host_index)
    : host_index_(host_index),
      enabled_(description.enabled),
      visible_(description.visible),
      expanded_(!description.start_collapsed),
      name_(description.name) {}

void Memory_Parameter::set_enabled(bool on) {
    enabled_ = on;
    ++set_enabled_calls_;
}

// Each kind hands its description to Memory_Parameter first (listed first among the bases), then
// moves it into the kind class.

Memory_Float_Parameter::Memory_Float_Parameter(Float_Parameter_Description description, int32_t host_index)
    : Memory_Parameter(description, host_index),
      Float_Parameter(description),
      value_(description.default_value),
      valid_(description.valid_min, description.valid_max),
      slider_(description.slider_min, description.slider_max),
      precision_(description.precision) {}

double Memory_Float_Parameter::value() const {
    count_read();
    return value_;
}

double Memory_Float_Parameter::slider_min() const {
    count_read();
    return slider_.first;
}

double Memory_Float_Parameter::slider_max() const {
    count_read();
    return slider_.second;
}

Memory_Angle_Parameter::Memory_Angle_Parameter(Angle_Parameter_Description description, int32_t host_index)
    : Memory_Parameter(description, host_index), Angle_Parameter(description), value_(description.default_value) {}

double Memory_Angle_Parameter::value() const {
    count_read();
    return value_;
}

Memory_Int_Parameter::Memory_Int_Parameter(Int_Parameter_Description description, int32_t host_index)
    : Memory_Parameter(description, host_index), Int_Parameter(description), value_(description.default_value) {}

int32_t Memory_Int_Parameter::value() const {
    count_read();
    return value_;
}

Memory_Checkbox_Parameter::Memory_Checkbox_Parameter(Checkbox_Parameter_Description description, int32_t host_index)
    : Memory_Parameter(description, host_index), Checkbox_Parameter(description), value_(description.default_value) {}

bool Memory_Checkbox_Parameter::value() const {
    count_read();
    return value_;
}

Memory_Choice_Parameter::Memory_Choice_Parameter(Choice_Parameter_Description description, int32_t host_index)
    : Memory_Parameter(description, host_index), Choice_Parameter(description), value_(description.default_index) {}

int32_t Memory_Choice_Parameter::value() const {
    count_read();
    return value_;
}

Memory_Point_2d_Parameter::Memory_Point_2d_Parameter(Point_2d_Parameter_Description description, int32_t host_index)
    : Memory_Parameter(description, host_index),
      Point_2d_Parameter(description),
      value_(description.x, description.y) {}

std::pair<double, double> Memory_Point_2d_Parameter::value() const {
    count_read();
    return value_;
}

Memory_Layer_Parameter::Memory_Layer_Parameter(Layer_Parameter_Description description, int32_t host_index)
    : Memory_Parameter(description, host_index), Layer_Parameter(std::move(description)) {}

bool Memory_Layer_Parameter::has_layer() const {
    count_read();
    return has_layer_;
}

// Components are narrowed the way the host binding reads them: as floats.
Memory_Rgb_Parameter::Memory_Rgb_Parameter(Rgb_Parameter_Description description, int32_t host_index)
    : Memory_Parameter(description, host_index),
      Rgb_Parameter(description),
      value_{float(description.red), float(description.green), float(description.blue)} {}

std::array<float, 3> Memory_Rgb_Parameter::value() const {
    count_read();
    return value_;
}

Memory_Rgba_Parameter::Memory_Rgba_Parameter(Rgba_Parameter_Description description, int32_t host_index)
    : Memory_Parameter(description, host_index),
      Rgba_Parameter(description),
      value_{float(description.red), float(description.green), float(description.blue), float(description.alpha)} {}

std::array<float, 4> Memory_Rgba_Parameter::value() const {
    count_read();
    return value_;
}

Memory_Button_Parameter::Memory_Button_Parameter(Button_Parameter_Description description, int32_t host_index)
    : Memory_Parameter(description, host_index), Button_Parameter(std::move(description)) {}

Memory_Group_Parameter::Memory_Group_Parameter(Group_Parameter_Description description, int32_t host_index)
    : Memory_Parameter(description, host_index), Group_Parameter(std::move(description)) {}

Memory_Group_End_Parameter::Memory_Group_End_Parameter(Group_End_Parameter_Description description,
                                                       int32_t host_index)
    : Memory_Parameter(description, host_index), Group_End_Parameter(std::move(description)) {}

Memory_Custom_Parameter::Memory_Custom_Parameter(Custom_Parameter_Description description, int32_t host_index)
    : Memory_Parameter(description, host_index), Custom_Parameter(std::move(description)) {}

namespace {

template <class Kind, class Memory_Kind, class Description>
std::unique_ptr<Kind> create_in(Parameter_Index_Counter& counter, Description& description) {
    return counter.create<Kind>(
        [&](int32_t index) { return std::make_unique<Memory_Kind>(std::move(description), index); });
}

}  // namespace

std::unique_ptr<Custom_Parameter> Memory_Parameter_Factory::create_custom(Custom_Parameter_Description d) {
    return create_in<Custom_Parameter, Memory_Custom_Parameter>(counter_, d);
}
std::unique_ptr<Layer_Parameter> Memory_Parameter_Factory::create_layer(Layer_Parameter_Description d) {
    return create_in<Layer_Parameter, Memory_Layer_Parameter>(counter_, d);
}
std::unique_ptr<Point_2d_Parameter> Memory_Parameter_Factory::create_point_2d(Point_2d_Parameter_Description d) {
    return create_in<Point_2d_Parameter, Memory_Point_2d_Parameter>(counter_, d);
}
std::unique_ptr<Choice_Parameter> Memory_Parameter_Factory::create_choice(Choice_Parameter_Description d) {
    return create_in<Choice_Parameter, Memory_Choice_Parameter>(counter_, d);
}
std::unique_ptr<Button_Parameter> Memory_Parameter_Factory::create_button(Button_Parameter_Description d) {
    return create_in<Button_Parameter, Memory_Button_Parameter>(counter_, d);
}
std::unique_ptr<Checkbox_Parameter> Memory_Parameter_Factory::create_checkbox(Checkbox_Parameter_Description d) {
    return create_in<Checkbox_Parameter, Memory_Checkbox_Parameter>(counter_, d);
}
std::unique_ptr<Angle_Parameter> Memory_Parameter_Factory::create_angle(Angle_Parameter_Description d) {
    return create_in<Angle_Parameter, Memory_Angle_Parameter>(counter_, d);
}
std::unique_ptr<Float_Parameter> Memory_Parameter_Factory::create_float(Float_Parameter_Description d) {
    return create_in<Float_Parameter, Memory_Float_Parameter>(counter_, d);
}
std::unique_ptr<Int_Parameter> Memory_Parameter_Factory::create_int(Int_Parameter_Description d) {
    return create_in<Int_Parameter, Memory_Int_Parameter>(counter_, d);
}
std::unique_ptr<Rgba_Parameter> Memory_Parameter_Factory::create_rgba(Rgba_Parameter_Description d) {
    return create_in<Rgba_Parameter, Memory_Rgba_Parameter>(counter_, d);
}
std::unique_ptr<Rgb_Parameter> Memory_Parameter_Factory::create_rgb(Rgb_Parameter_Description d) {
    return create_in<Rgb_Parameter, Memory_Rgb_Parameter>(counter_, d);
}
std::unique_ptr<Group_End_Parameter> Memory_Parameter_Factory::create_group_end(Group_End_Parameter_Description d) {
    return create_in<Group_End_Parameter, Memory_Group_End_Parameter>(counter_, d);
}
std::unique_ptr<Group_Parameter> Memory_Parameter_Factory::create_group(Group_Parameter_Description d) {
    return create_in<Group_Parameter, Memory_Group_Parameter>(counter_, d);
}

Memory_Parameter& memory_of(Parameter& parameter) { return dynamic_cast<Memory_Parameter&>(parameter); }
Memory_Float_Parameter& memory_of(Float_Parameter& p) { return dynamic_cast<Memory_Float_Parameter&>(p); }
Memory_Angle_Parameter& memory_of(Angle_Parameter& p) { return dynamic_cast<Memory_Angle_Parameter&>(p); }
Memory_Int_Parameter& memory_of(Int_Parameter& p) { return dynamic_cast<Memory_Int_Parameter&>(p); }
Memory_Checkbox_Parameter& memory_of(Checkbox_Parameter& p) { return dynamic_cast<Memory_Checkbox_Parameter&>(p); }
Memory_Choice_Parameter& memory_of(Choice_Parameter& p) { return dynamic_cast<Memory_Choice_Parameter&>(p); }
Memory_Point_2d_Parameter& memory_of(Point_2d_Parameter& p) { return dynamic_cast<Memory_Point_2d_Parameter&>(p); }
Memory_Layer_Parameter& memory_of(Layer_Parameter& p) { return dynamic_cast<Memory_Layer_Parameter&>(p); }
Memory_Rgb_Parameter& memory_of(Rgb_Parameter& p) { return dynamic_cast<Memory_Rgb_Parameter&>(p); }
Memory_Rgba_Parameter& memory_of(Rgba_Parameter& p) { return dynamic_cast<Memory_Rgba_Parameter&>(p); }
Memory_Custom_Parameter& memory_of(Custom_Parameter& p) { return dynamic_cast<Memory_Custom_Parameter&>(p); }

}  // namespace nb::test
