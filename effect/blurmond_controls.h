// The effect's controls by identifier and key: the one table the effect declares its controls from and
// tools address them by.
#pragma once

#include <cstdint>
#include <string_view>

namespace nb {

// The identifier is stored in projects and must never change. The key is the same under every host,
// unlike display names and the keys the host binding derives from them; it is the control's member
// name in Blurmond_Parameters.
struct Blurmond_Control {
    std::string_view key;
    int32_t identifier;
};

// Identifier 23 was never given out; "outside_extend" joined its section after 47 to 51 were taken.
inline constexpr Blurmond_Control blurmond_controls[] = {
    {"show", 1},
    {"radius", 2},
    {"preservative_highlight", 3},
    {"additive_highlight", 4},
    {"gamma_correction", 5},
    {"background_layer", 6},
    {"background_distortion", 7},
    {"distortion_antialias", 8},
    {"iris_group", 9},
    {"alternative_iris", 10},
    {"colored_iris", 11},
    {"iris_soften", 12},
    {"iris_facets", 13},
    {"iris_angle", 14},
    {"iris_rounded", 15},
    {"iris_border_brightness", 16},
    {"iris_border_thickness", 17},
    {"iris_aspect", 18},
    {"iris_group_end", 19},
    {"selection_group", 20},
    {"selection_enable", 21},
    {"selection_layer", 22},
    {"lightness_group", 24},
    {"lightness_start", 25},
    {"lightness_end", 26},
    {"lightness_climax", 27},
    {"lightness_soften", 28},
    {"lightness_offset", 29},
    {"lightness_group_end", 30},
    {"hue_group", 31},
    {"hue_start", 32},
    {"hue_end", 33},
    {"hue_climax", 34},
    {"hue_soften", 35},
    {"hue_offset", 36},
    {"hue_group_end", 37},
    {"saturation_group", 38},
    {"saturation_start", 39},
    {"saturation_end", 40},
    {"saturation_climax", 41},
    {"saturation_soften", 42},
    {"saturation_offset", 43},
    {"saturation_group_end", 44},
    {"selection_group_end", 45},
    {"outside_group", 46},
    {"outside_horizontal", 47},
    {"outside_vertical", 48},
    {"outside_color", 49},
    {"outside_color_alpha", 50},
    {"outside_group_end", 51},
    {"outside_extend", 52},
};

// The identifier of a key, at compile time: a key the table lacks does not compile.
consteval int32_t blurmond_control_id(std::string_view key) {
    for (const Blurmond_Control& control : blurmond_controls)
        if (control.key == key) return control.identifier;
    throw "no control has this key";
}

}  // namespace nb
