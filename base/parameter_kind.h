// The typed interfaces of the parameter kinds, through which values are read and controls changed.
#pragma once

#include <array>
#include <cstdint>
#include <utility>

#include "base/parameter.h"
#include "base/parameter_kind_description.h"

namespace nb {

// Every read asks the host for the value at the current time of the call; nothing is cached.
// Operations may throw the host's exceptions.

class Float_Parameter : public Parameter_With_Description<Float_Parameter_Description> {
public:
    virtual double value() const = 0;
    virtual double slider_min() const = 0;
    virtual double slider_max() const = 0;
    virtual void set_value(double value) = 0;
    virtual void set_valid_range(double min, double max) = 0;
    virtual void set_slider_range(double min, double max) = 0;
    virtual void set_precision(int16_t decimal_places) = 0;

protected:
    using Parameter_With_Description::Parameter_With_Description;
};

class Angle_Parameter : public Parameter_With_Description<Angle_Parameter_Description> {
public:
    virtual double value() const = 0;  // degrees

protected:
    using Parameter_With_Description::Parameter_With_Description;
};

class Int_Parameter : public Parameter_With_Description<Int_Parameter_Description> {
public:
    virtual int32_t value() const = 0;

protected:
    using Parameter_With_Description::Parameter_With_Description;
};

class Checkbox_Parameter : public Parameter_With_Description<Checkbox_Parameter_Description> {
public:
    virtual bool value() const = 0;
    virtual void set_value(bool value) = 0;

protected:
    using Parameter_With_Description::Parameter_With_Description;
};

class Choice_Parameter : public Parameter_With_Description<Choice_Parameter_Description> {
public:
    virtual int32_t value() const = 0;  // 0-based index into the entries
    virtual void set_value(int32_t index) = 0;

protected:
    using Parameter_With_Description::Parameter_With_Description;
};

class Point_2d_Parameter : public Parameter_With_Description<Point_2d_Parameter_Description> {
public:
    // (x, y) as fractions of the layer's width and height.
    virtual std::pair<double, double> value() const = 0;

protected:
    using Parameter_With_Description::Parameter_With_Description;
};

class Layer_Parameter : public Parameter_With_Description<Layer_Parameter_Description> {
public:
    virtual bool has_layer() const = 0;  // the user chose a layer

protected:
    using Parameter_With_Description::Parameter_With_Description;
};

// Components from 0 to 1.
class Rgb_Parameter : public Parameter_With_Description<Rgb_Parameter_Description> {
public:
    virtual void set_value(float red, float green, float blue) = 0;
    virtual std::array<float, 3> value() const = 0;  // red, green, blue

protected:
    using Parameter_With_Description::Parameter_With_Description;
};

// Components from 0 to 1; alpha lives in a separate host control.
class Rgba_Parameter : public Parameter_With_Description<Rgba_Parameter_Description> {
public:
    virtual void set_value(float red, float green, float blue, float alpha) = 0;
    virtual std::array<float, 4> value() const = 0;  // red, green, blue, alpha

protected:
    using Parameter_With_Description::Parameter_With_Description;
};

class Button_Parameter : public Parameter_With_Description<Button_Parameter_Description> {
protected:
    using Parameter_With_Description::Parameter_With_Description;
};

class Group_Parameter : public Parameter_With_Description<Group_Parameter_Description> {
protected:
    using Parameter_With_Description::Parameter_With_Description;
};

class Group_End_Parameter : public Parameter_With_Description<Group_End_Parameter_Description> {
protected:
    using Parameter_With_Description::Parameter_With_Description;
};

// A control drawn by the plug-in. The data pointers stay valid while the parameter lives.
class Custom_Parameter : public Parameter_With_Description<Custom_Parameter_Description> {
public:
    virtual void* data() = 0;
    virtual void* gui_data() = 0;
    // Opaque context of the host's current interface event; null outside events.
    virtual void* event_context() const = 0;
    virtual void data_changed() = 0;      // the host must store and re-render
    virtual void gui_data_changed() = 0;  // the host must store the interface data
    virtual void redraw() = 0;

protected:
    using Parameter_With_Description::Parameter_With_Description;
};

}  // namespace nb
