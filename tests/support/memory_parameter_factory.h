// Parameters held in memory for tests: values set by the test, control state recorded, no host needed.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/parameter_factory.h"
#include "base/parameter_index_counter.h"

namespace nb::test {

// Control state as the host would hold it, plus counters that let tests see what the code touched.
class Memory_Parameter : public virtual Parameter {
public:
    Memory_Parameter(const Parameter_Description& description, int32_t host_index);

    void set_expanded(bool open) override { expanded_ = open; }
    void set_enabled(bool on) override;
    void set_visible(bool shown) override { visible_ = shown; }
    void set_name(const std::string& name) override { name_ = name; }
    bool is_animated() const override { return animated_; }

    int32_t host_index() const { return host_index_; }
    bool enabled() const { return enabled_; }
    bool visible() const { return visible_; }
    bool expanded() const { return expanded_; }
    const std::string& name() const { return name_; }
    void set_animated(bool animated) { animated_ = animated; }
    int64_t set_enabled_calls() const { return set_enabled_calls_; }
    int64_t reads() const { return reads_; }  // value reads of any kind, has_layer included

protected:
    void count_read() const { ++reads_; }

private:
    int32_t host_index_;
    bool enabled_;
    bool visible_;
    bool expanded_;
    std::string name_;
    bool animated_ = false;
    int64_t set_enabled_calls_ = 0;
    mutable int64_t reads_ = 0;
};

class Memory_Float_Parameter : public Memory_Parameter, public Float_Parameter {
public:
    Memory_Float_Parameter(Float_Parameter_Description description, int32_t host_index);
    double value() const override;
    double slider_min() const override;
    double slider_max() const override;
    void set_value(double value) override { value_ = value; }
    void set_valid_range(double min, double max) override { valid_ = {min, max}; }
    void set_slider_range(double min, double max) override { slider_ = {min, max}; }
    void set_precision(int16_t decimal_places) override { precision_ = decimal_places; }

    std::pair<double, double> valid_range() const { return valid_; }
    int32_t precision() const { return precision_; }

private:
    double value_;
    std::pair<double, double> valid_;
    std::pair<double, double> slider_;
    int32_t precision_;
};

class Memory_Angle_Parameter : public Memory_Parameter, public Angle_Parameter {
public:
    Memory_Angle_Parameter(Angle_Parameter_Description description, int32_t host_index);
    double value() const override;
    void set(double degrees) { value_ = degrees; }

private:
    double value_;
};

class Memory_Int_Parameter : public Memory_Parameter, public Int_Parameter {
public:
    Memory_Int_Parameter(Int_Parameter_Description description, int32_t host_index);
    int32_t value() const override;
    void set(int32_t value) { value_ = value; }

private:
    int32_t value_;
};

class Memory_Checkbox_Parameter : public Memory_Parameter, public Checkbox_Parameter {
public:
    Memory_Checkbox_Parameter(Checkbox_Parameter_Description description, int32_t host_index);
    bool value() const override;
    void set_value(bool value) override { value_ = value; }

private:
    bool value_;
};

class Memory_Choice_Parameter : public Memory_Parameter, public Choice_Parameter {
public:
    Memory_Choice_Parameter(Choice_Parameter_Description description, int32_t host_index);
    int32_t value() const override;
    void set_value(int32_t index) override { value_ = index; }

private:
    int32_t value_;
};

class Memory_Point_2d_Parameter : public Memory_Parameter, public Point_2d_Parameter {
public:
    Memory_Point_2d_Parameter(Point_2d_Parameter_Description description, int32_t host_index);
    std::pair<double, double> value() const override;
    void set(double x, double y) { value_ = {x, y}; }

private:
    std::pair<double, double> value_;
};

class Memory_Layer_Parameter : public Memory_Parameter, public Layer_Parameter {
public:
    Memory_Layer_Parameter(Layer_Parameter_Description description, int32_t host_index);
    bool has_layer() const override;
    void set_has_layer(bool chosen) { has_layer_ = chosen; }

private:
    bool has_layer_ = false;
};

class Memory_Rgb_Parameter : public Memory_Parameter, public Rgb_Parameter {
public:
    Memory_Rgb_Parameter(Rgb_Parameter_Description description, int32_t host_index);
    void set_value(float red, float green, float blue) override { value_ = {red, green, blue}; }
    std::array<float, 3> value() const override;

private:
    std::array<float, 3> value_;
};

class Memory_Rgba_Parameter : public Memory_Parameter, public Rgba_Parameter {
public:
    Memory_Rgba_Parameter(Rgba_Parameter_Description description, int32_t host_index);
    void set_value(float red, float green, float blue, float alpha) override { value_ = {red, green, blue, alpha}; }
    std::array<float, 4> value() const override;

private:
    std::array<float, 4> value_;
};

class Memory_Button_Parameter : public Memory_Parameter, public Button_Parameter {
public:
    Memory_Button_Parameter(Button_Parameter_Description description, int32_t host_index);
};

class Memory_Group_Parameter : public Memory_Parameter, public Group_Parameter {
public:
    Memory_Group_Parameter(Group_Parameter_Description description, int32_t host_index);
};

class Memory_Group_End_Parameter : public Memory_Parameter, public Group_End_Parameter {
public:
    Memory_Group_End_Parameter(Group_End_Parameter_Description description, int32_t host_index);
};

// The data pointers are whatever the test hands in; the change calls are counted.
class Memory_Custom_Parameter : public Memory_Parameter, public Custom_Parameter {
public:
    Memory_Custom_Parameter(Custom_Parameter_Description description, int32_t host_index);
    void* data() override { return data_; }
    void* gui_data() override { return gui_data_; }
    void* event_context() const override { return nullptr; }
    void data_changed() override { ++data_changes_; }
    void gui_data_changed() override { ++gui_data_changes_; }
    void redraw() override { ++redraws_; }

    void set_data(void* data, void* gui_data) {
        data_ = data;
        gui_data_ = gui_data;
    }
    int64_t data_changes() const { return data_changes_; }
    int64_t gui_data_changes() const { return gui_data_changes_; }
    int64_t redraws() const { return redraws_; }

private:
    void* data_ = nullptr;
    void* gui_data_ = nullptr;
    int64_t data_changes_ = 0, gui_data_changes_ = 0, redraws_ = 0;
};

// Numbers parameters as a host factory does; values start at the descriptions' defaults.
class Memory_Parameter_Factory : public Parameter_Factory {
public:
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

    // The index the next parameter would get; one past the last host control.
    int32_t next_index() const { return counter_.next_index(); }

private:
    Parameter_Index_Counter counter_;
};

// The memory side of a parameter made by Memory_Parameter_Factory; throws std::bad_cast otherwise.
Memory_Parameter& memory_of(Parameter& parameter);
Memory_Float_Parameter& memory_of(Float_Parameter& parameter);
Memory_Angle_Parameter& memory_of(Angle_Parameter& parameter);
Memory_Int_Parameter& memory_of(Int_Parameter& parameter);
Memory_Checkbox_Parameter& memory_of(Checkbox_Parameter& parameter);
Memory_Choice_Parameter& memory_of(Choice_Parameter& parameter);
Memory_Point_2d_Parameter& memory_of(Point_2d_Parameter& parameter);
Memory_Layer_Parameter& memory_of(Layer_Parameter& parameter);
Memory_Rgb_Parameter& memory_of(Rgb_Parameter& parameter);
Memory_Rgba_Parameter& memory_of(Rgba_Parameter& parameter);
Memory_Custom_Parameter& memory_of(Custom_Parameter& parameter);

}  // namespace nb::test
