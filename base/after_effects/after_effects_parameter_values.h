// Host-bound parameters of the value kinds: float, angle, int, checkbox, choice, point and layer.
#pragma once

#include <cstdint>
#include <utility>

#include "base/after_effects/after_effects_parameter.h"
#include "base/parameter_kind.h"

namespace nb {

// Every read checks the record out at the call's current time and back in before it returns; every
// write goes into the call's params array. Failures are thrown as Parameter_AE describes.

class Float_Parameter_AE : public Parameter_AE, public Float_Parameter {
public:
    Float_Parameter_AE(Float_Parameter_Description description, PF_InData* in_data, PF_ParamDef** params,
                       int32_t index);
    double value() const override;
    // The slider's ends as the call's record holds them; no checkout.
    double slider_min() const override;
    double slider_max() const override;
    void set_value(double value) override;
    // The host keeps ranges as 32-bit floats; values beyond them become infinities.
    void set_valid_range(double min, double max) override;
    void set_slider_range(double min, double max) override;
    void set_precision(int16_t decimal_places) override;
};

class Angle_Parameter_AE : public Parameter_AE, public Angle_Parameter {
public:
    Angle_Parameter_AE(Angle_Parameter_Description description, PF_InData* in_data, PF_ParamDef** params,
                       int32_t index);
    double value() const override;  // degrees
};

class Int_Parameter_AE : public Parameter_AE, public Int_Parameter {
public:
    Int_Parameter_AE(Int_Parameter_Description description, PF_InData* in_data, PF_ParamDef** params, int32_t index);
    int32_t value() const override;
};

class Checkbox_Parameter_AE : public Parameter_AE, public Checkbox_Parameter {
public:
    Checkbox_Parameter_AE(Checkbox_Parameter_Description description, PF_InData* in_data, PF_ParamDef** params,
                          int32_t index);
    bool value() const override;
    void set_value(bool value) override;
};

// The host counts entries from 1, the model from 0.
class Choice_Parameter_AE : public Parameter_AE, public Choice_Parameter {
public:
    Choice_Parameter_AE(Choice_Parameter_Description description, PF_InData* in_data, PF_ParamDef** params,
                        int32_t index);
    int32_t value() const override;
    void set_value(int32_t index) override;
};

class Point_2d_Parameter_AE : public Parameter_AE, public Point_2d_Parameter {
public:
    Point_2d_Parameter_AE(Point_2d_Parameter_Description description, PF_InData* in_data, PF_ParamDef** params,
                          int32_t index);
    // The record's 16.16 coordinates as they are.
    std::pair<double, double> value() const override;
};

class Layer_Parameter_AE : public Parameter_AE, public Layer_Parameter {
public:
    Layer_Parameter_AE(Layer_Parameter_Description description, PF_InData* in_data, PF_ParamDef** params,
                       int32_t index);
    // After Effects from effect API 13.9 on tells it from the call's record without a checkout; other
    // hosts from 12.11 on by checking the layer out. Older ones cannot tell: false.
    bool has_layer() const override;
};

}  // namespace nb
