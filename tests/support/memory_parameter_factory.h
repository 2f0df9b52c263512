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

// Whether the control is enabled, as the host would hold it; the effect changes no other control state.
class Memory_Parameter : public virtual Parameter {
public:
    explicit Memory_Parameter(const Parameter_Description& d) : enabled_(d.enabled) {}

    void set_expanded(bool) override {}
    void set_enabled(bool on) override { enabled_ = on; }
    void set_visible(bool) override {}
    void set_name(const std::string&) override {}
    bool is_animated() const override { return false; }

    bool enabled() const { return enabled_; }

private:
    bool enabled_;
};

// A parameter of kind Kind whose value lives in held, which starts at the description's default and
// which tests may set directly (the only way for kinds the effect never sets itself).
template <class Kind, class Value>
class Memory_Value : public Memory_Parameter, public Kind {
public:
    template <class Description>
    Memory_Value(Description d, Value initial) : Memory_Parameter(d), Kind(std::move(d)), held(std::move(initial)) {}
    Value held;
};

template <class Kind>
class Memory;

template <>
class Memory<Float_Parameter> final : public Memory_Value<Float_Parameter, double> {
public:
    explicit Memory(Float_Parameter_Description d) : Memory_Value(d, d.default_value), slider_{d.slider_min, d.slider_max} {}
    double value() const override { return held; }
    double slider_min() const override { return slider_.first; }
    double slider_max() const override { return slider_.second; }
    void set_value(double value) override { held = value; }
    void set_valid_range(double, double) override {}
    void set_slider_range(double min, double max) override { slider_ = {min, max}; }
    void set_precision(int16_t) override {}

private:
    std::pair<double, double> slider_;
};

template <>
class Memory<Angle_Parameter> final : public Memory_Value<Angle_Parameter, double> {
public:
    explicit Memory(Angle_Parameter_Description d) : Memory_Value(d, d.default_value) {}
    double value() const override { return held; }
};

template <>
class Memory<Int_Parameter> final : public Memory_Value<Int_Parameter, int32_t> {
public:
    explicit Memory(Int_Parameter_Description d) : Memory_Value(d, d.default_value) {}
    int32_t value() const override { return held; }
};

template <>
class Memory<Checkbox_Parameter> final : public Memory_Value<Checkbox_Parameter, bool> {
public:
    explicit Memory(Checkbox_Parameter_Description d) : Memory_Value(d, d.default_value) {}
    bool value() const override { return held; }
    void set_value(bool value) override { held = value; }
};

template <>
class Memory<Choice_Parameter> final : public Memory_Value<Choice_Parameter, int32_t> {
public:
    explicit Memory(Choice_Parameter_Description d) : Memory_Value(d, d.default_index) {}
    int32_t value() const override { return held; }
    void set_value(int32_t index) override { held = index; }
};

template <>
class Memory<Point_2d_Parameter> final : public Memory_Value<Point_2d_Parameter, std::pair<double, double>> {
public:
    explicit Memory(Point_2d_Parameter_Description d) : Memory_Value(d, {d.x, d.y}) {}
    std::pair<double, double> value() const override { return held; }
};

// held: whether the user chose a layer.
template <>
class Memory<Layer_Parameter> final : public Memory_Value<Layer_Parameter, bool> {
public:
    explicit Memory(Layer_Parameter_Description d) : Memory_Value(d, false) {}
    bool has_layer() const override { return held; }
};

// Components are narrowed the way the host binding reads them: as floats.
template <>
class Memory<Rgb_Parameter> final : public Memory_Value<Rgb_Parameter, std::array<float, 3>> {
public:
    explicit Memory(Rgb_Parameter_Description d) : Memory_Value(d, {float(d.red), float(d.green), float(d.blue)}) {}
    void set_value(float r, float g, float b) override { held = {r, g, b}; }
    std::array<float, 3> value() const override { return held; }
};

template <>
class Memory<Rgba_Parameter> final : public Memory_Value<Rgba_Parameter, std::array<float, 4>> {
public:
    explicit Memory(Rgba_Parameter_Description d)
        : Memory_Value(d, {float(d.red), float(d.green), float(d.blue), float(d.alpha)}) {}
    void set_value(float r, float g, float b, float a) override { held = {r, g, b, a}; }
    std::array<float, 4> value() const override { return held; }
};

// Kinds without a value.
template <class Kind>
class Memory final : public Memory_Value<Kind, bool> {
public:
    template <class Description>
    explicit Memory(Description d) : Memory_Value<Kind, bool>(std::move(d), false) {}
};

// held: the data pointers the test hands in.
template <>
class Memory<Custom_Parameter> final : public Memory_Value<Custom_Parameter, std::array<void*, 2>> {
public:
    explicit Memory(Custom_Parameter_Description d) : Memory_Value(d, {nullptr, nullptr}) {}
    void* data() override { return held[0]; }
    void* gui_data() override { return held[1]; }
    void* event_context() const override { return nullptr; }
    void data_changed() override {}
    void gui_data_changed() override {}
    void redraw() override {}
};

// Numbers parameters as a host factory does.
class Memory_Parameter_Factory : public Parameter_Factory {
public:
    std::unique_ptr<Custom_Parameter> create_custom(Custom_Parameter_Description d) override { return make(d); }
    std::unique_ptr<Layer_Parameter> create_layer(Layer_Parameter_Description d) override { return make(d); }
    std::unique_ptr<Point_2d_Parameter> create_point_2d(Point_2d_Parameter_Description d) override { return make(d); }
    std::unique_ptr<Choice_Parameter> create_choice(Choice_Parameter_Description d) override { return make(d); }
    std::unique_ptr<Button_Parameter> create_button(Button_Parameter_Description d) override { return make(d); }
    std::unique_ptr<Checkbox_Parameter> create_checkbox(Checkbox_Parameter_Description d) override { return make(d); }
    std::unique_ptr<Angle_Parameter> create_angle(Angle_Parameter_Description d) override { return make(d); }
    std::unique_ptr<Float_Parameter> create_float(Float_Parameter_Description d) override { return make(d); }
    std::unique_ptr<Int_Parameter> create_int(Int_Parameter_Description d) override { return make(d); }
    std::unique_ptr<Rgba_Parameter> create_rgba(Rgba_Parameter_Description d) override { return make(d); }
    std::unique_ptr<Rgb_Parameter> create_rgb(Rgb_Parameter_Description d) override { return make(d); }
    std::unique_ptr<Group_End_Parameter> create_group_end(Group_End_Parameter_Description d) override {
        return make(d);
    }
    std::unique_ptr<Group_Parameter> create_group(Group_Parameter_Description d) override { return make(d); }
    std::vector<Parameter*> parameter_list() const override { return counter_.created(); }

private:
    // Converts to the creator's return type, which names the kind to make.
    template <class Description>
    struct Made {
        Parameter_Index_Counter& counter;
        Description& d;
        template <class Kind>
        operator std::unique_ptr<Kind>() {
            return counter.create<Kind>(
                [&](int32_t) { return std::make_unique<Memory<Kind>>(std::move(d)); });
        }
    };
    template <class Description>
    Made<Description> make(Description& d) {
        return {counter_, d};
    }

    Parameter_Index_Counter counter_;
};

// The memory side of a parameter made by Memory_Parameter_Factory; throws std::bad_cast otherwise.
inline Memory_Parameter& memory_of(Parameter& parameter) { return dynamic_cast<Memory_Parameter&>(parameter); }

// The value a memory parameter of kind Kind holds, for the test to set.
template <class Kind>
auto& held(Kind& parameter) {
    return dynamic_cast<Memory<Kind>&>(parameter).held;
}

}  // namespace nb::test
