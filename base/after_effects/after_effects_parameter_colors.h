// Host-bound colour parameters: a colour control, and a colour with its separate alpha slider.
#pragma once

#include <array>
#include <cstdint>

#include "base/after_effects/after_effects_parameter.h"
#include "base/parameter_kind.h"

namespace nb {

// Components from 0 to 1. After Effects gives the colour at full precision ("PF ColorParamSuite"),
// other hosts as the record's bytes / 255. Writes store bytes (components held to 0..1).
class Rgb_Parameter_AE : public Parameter_AE, public Rgb_Parameter {
public:
    Rgb_Parameter_AE(Rgb_Parameter_Description description, PF_InData* in_data, PF_ParamDef** params, int32_t index);
    void set_value(float red, float green, float blue) override;
    std::array<float, 3> value() const override;
};

// The colour at host index, its alpha slider at host index + 1. Enabling and showing apply to both.
class Rgba_Parameter_AE : public Parameter_AE, public Rgba_Parameter {
public:
    Rgba_Parameter_AE(Rgba_Parameter_Description description, PF_InData* in_data, PF_ParamDef** params,
                      int32_t index);
    void set_value(float red, float green, float blue, float alpha) override;
    std::array<float, 4> value() const override;
    void set_enabled(bool on) override;
    void set_visible(bool shown) override;

    int32_t alpha_index() const { return host_index() + 1; }
};

}  // namespace nb
