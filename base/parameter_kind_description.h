// Descriptions of the parameter kinds: the shared part followed by each kind's own fields.
#pragma once

#include <cfloat>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/parameter_description.h"

namespace nb {

// Each kind is constructed from (name, key, disc_id) with the defaults below; the declaring code then
// sets the fields that differ.

struct Float_Parameter_Description : Parameter_Description {
    using Parameter_Description::Parameter_Description;
    bool pixel = false;    // shown as pixels
    bool percent = false;  // shown as a percentage
    int32_t precision = 2; // decimal places shown
    double default_value = 0.0;
    double valid_min = -DBL_MAX;  // what the host accepts
    double valid_max = DBL_MAX;
    double slider_min = -DBL_MAX;  // what the slider spans
    double slider_max = DBL_MAX;
};

// Degrees.
struct Angle_Parameter_Description : Parameter_Description {
    using Parameter_Description::Parameter_Description;
    double default_value = 0.0;
    double valid_min = -DBL_MAX;
    double valid_max = DBL_MAX;
    double slider_min = 0.0;
    double slider_max = 360.0;
};

struct Int_Parameter_Description : Parameter_Description {
    using Parameter_Description::Parameter_Description;
    int32_t default_value = 0;
    int32_t valid_min = INT32_MIN;
    int32_t valid_max = INT32_MAX;
    int32_t slider_min = INT32_MIN;
    int32_t slider_max = INT32_MAX;
};

struct Checkbox_Parameter_Description : Parameter_Description {
    using Parameter_Description::Parameter_Description;
    bool default_value = false;
};

struct Choice_Parameter_Description : Parameter_Description {
    using Parameter_Description::Parameter_Description;
    std::vector<std::string> entries;  // in menu order; the value is an index into it
    int32_t default_index = 0;         // 0-based
};

struct Layer_Parameter_Description : Parameter_Description {
    using Parameter_Description::Parameter_Description;
    // Two options of layer parameters that no host binding reads; kept so descriptions stay complete.
    bool reserved_option_1 = false;
    bool reserved_option_2 = false;
};

// Components from 0 to 1.
struct Rgb_Parameter_Description : Parameter_Description {
    using Parameter_Description::Parameter_Description;
    double red = 0.0;
    double green = 0.0;
    double blue = 0.0;
};

// The host shows alpha as a separate control with its own identifier, which must be above 0.
struct Rgba_Parameter_Description : Parameter_Description {
    Rgba_Parameter_Description(std::string name_, std::string key_, int64_t disc_id_, int64_t disc_id_alpha_)
        : Parameter_Description(std::move(name_), std::move(key_), disc_id_), disc_id_alpha(disc_id_alpha_) {}
    double red = 0.0;
    double green = 0.0;
    double blue = 0.0;
    double alpha = 0.0;
    int64_t disc_id_alpha;
};

// Coordinates are fractions of the layer's width and height.
struct Point_2d_Parameter_Description : Parameter_Description {
    using Parameter_Description::Parameter_Description;
    double x = 0.0;
    double y = 0.0;
    bool restrict_bounds = false;  // the point may not leave the layer
};

struct Button_Parameter_Description : Parameter_Description {
    using Parameter_Description::Parameter_Description;
    std::string label;  // text on the button
};

struct Group_Parameter_Description : Parameter_Description {
    using Parameter_Description::Parameter_Description;
};

// A group end has no name of its own, so only its identifier is given.
struct Group_End_Parameter_Description : Parameter_Description {
    explicit Group_End_Parameter_Description(int64_t disc_id_) : Parameter_Description("", "", disc_id_) {}
};

// Creating, copying, flattening, comparing and interpolating arbitrary data; the host binding defines it.
class Arbitrary_Data_Functions;

// A control drawn by the plug-in, with a hidden companion parameter for its interface data.
struct Custom_Parameter_Description : Parameter_Description {
    using Parameter_Description::Parameter_Description;
    int32_t ui_height = 0;               // height of the control in the effect controls
    void* reference_data = nullptr;      // handed to the host with the data, never read here
    void* reference_gui_data = nullptr;  // the same for the interface data
    int64_t disc_id_gui_data = 0;        // identifier of the hidden companion parameter
    std::shared_ptr<Arbitrary_Data_Functions> data_functions;
    std::shared_ptr<Arbitrary_Data_Functions> gui_data_functions;
};

}  // namespace nb
