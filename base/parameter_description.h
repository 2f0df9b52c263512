// What the host must show for one parameter and how it may vary; the part every kind shares.
#pragma once

#include <cstdint>
#include <string>

namespace nb {

// A plain value, copied into the parameter object created from it.
struct Parameter_Description {
    // The key defaults to the name when empty; spaces in it become underscores, nothing else changes.
    Parameter_Description(std::string name, std::string key, int64_t disc_id);

    std::string name;  // display name; the host shows at most 31 characters
    std::string key;   // identifier in code and in layer lookups, e.g. "background_layer"
    int64_t disc_id;   // stable identifier stored in projects; unique per effect, 0 is the input layer
    bool animatable = true;        // may vary over time
    bool supervise = false;        // the host reports changes to the plug-in
    bool interface_only = false;   // never varies over time; setters refresh the control
    bool start_collapsed = true;   // the twirl starts closed
    bool enabled = true;
    bool visible = true;
};

}  // namespace nb
