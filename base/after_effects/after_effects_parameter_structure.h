// Host-bound parameters without values: buttons, group starts and group ends.
#pragma once

#include <cstdint>
#include <utility>

#include "base/after_effects/after_effects_parameter.h"
#include "base/parameter_kind.h"

namespace nb {

class Button_Parameter_AE : public Parameter_AE, public Button_Parameter {
public:
    Button_Parameter_AE(Button_Parameter_Description description, PF_InData* in_data, PF_ParamDef** params,
                        int32_t index)
        : Parameter_AE(in_data, params, index), Button_Parameter(std::move(description)) {}
};

class Group_Parameter_AE : public Parameter_AE, public Group_Parameter {
public:
    Group_Parameter_AE(Group_Parameter_Description description, PF_InData* in_data, PF_ParamDef** params,
                       int32_t index)
        : Parameter_AE(in_data, params, index), Group_Parameter(std::move(description)) {}
};

class Group_End_Parameter_AE : public Parameter_AE, public Group_End_Parameter {
public:
    Group_End_Parameter_AE(Group_End_Parameter_Description description, PF_InData* in_data, PF_ParamDef** params,
                           int32_t index)
        : Parameter_AE(in_data, params, index), Group_End_Parameter(std::move(description)) {}
};

}  // namespace nb
