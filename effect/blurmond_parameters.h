// The effect's controls: one typed handle per parameter, declared in the host's order.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "base/parameter_factory.h"
#include "base/plugin_host.h"

namespace nb {

// Entries of "show"; the choice's value is the entry's index.
enum Show_Entry : int32_t {
    show_normal_blur = 0,
    show_iris = 1,
    show_highlight_selection = 2,
    show_highlight_selection_only = 3,
};

// Entries of "horizontal assume" and "vertical assume", in the order of the edge rules (Outside).
enum Assume_Entry : int32_t {
    assume_border_color = 0,
    assume_mirrored_image = 1,
    assume_repeated_image = 2,
    assume_color = 3,
};

// Built for one host call. Premiere gets other names and keys for some controls, another iris order
// and only four highlight-selection controls; the handles of controls it lacks stay empty (marked
// "not under Premiere"). Identifiers come from effect/blurmond_controls.h, keyed by the members' names.
struct Blurmond_Parameters {
    // Creates every parameter through the factory; throws what the factory throws.
    Blurmond_Parameters(Parameter_Factory& factory, Plugin_Host host);

    Plugin_Host host;  // the host the set was declared for

    std::unique_ptr<Choice_Parameter> show;
    std::unique_ptr<Float_Parameter> radius;  // full-resolution pixels
    std::unique_ptr<Float_Parameter> preservative_highlight;
    std::unique_ptr<Float_Parameter> additive_highlight;
    std::unique_ptr<Checkbox_Parameter> gamma_correction;
    std::unique_ptr<Layer_Parameter> background_layer;
    std::unique_ptr<Float_Parameter> background_distortion;
    std::unique_ptr<Int_Parameter> distortion_antialias;

    std::unique_ptr<Group_Parameter> iris_group;
    std::unique_ptr<Layer_Parameter> alternative_iris;
    std::unique_ptr<Checkbox_Parameter> colored_iris;
    std::unique_ptr<Float_Parameter> iris_soften;
    std::unique_ptr<Int_Parameter> iris_facets;
    std::unique_ptr<Angle_Parameter> iris_angle;
    std::unique_ptr<Float_Parameter> iris_rounded;
    std::unique_ptr<Float_Parameter> iris_border_brightness;
    std::unique_ptr<Float_Parameter> iris_border_thickness;
    std::unique_ptr<Float_Parameter> iris_aspect;
    std::unique_ptr<Group_End_Parameter> iris_group_end;

    std::unique_ptr<Group_Parameter> selection_group;
    std::unique_ptr<Checkbox_Parameter> selection_enable;  // not under Premiere
    std::unique_ptr<Layer_Parameter> selection_layer;
    // After Effects gives the colour ranges on a 0..255 scale and the offsets as angles. Premiere has
    // only lightness start, end and soften, on a 0..1 scale, directly in the selection group.
    std::unique_ptr<Group_Parameter> lightness_group;  // not under Premiere
    std::unique_ptr<Float_Parameter> lightness_start;
    std::unique_ptr<Float_Parameter> lightness_end;
    std::unique_ptr<Float_Parameter> lightness_climax;  // not under Premiere
    std::unique_ptr<Float_Parameter> lightness_soften;
    std::unique_ptr<Angle_Parameter> lightness_offset;         // not under Premiere
    std::unique_ptr<Group_End_Parameter> lightness_group_end;  // not under Premiere
    // The hue and saturation sections: not under Premiere.
    std::unique_ptr<Group_Parameter> hue_group;
    std::unique_ptr<Float_Parameter> hue_start;
    std::unique_ptr<Float_Parameter> hue_end;
    std::unique_ptr<Float_Parameter> hue_climax;
    std::unique_ptr<Float_Parameter> hue_soften;
    std::unique_ptr<Angle_Parameter> hue_offset;
    std::unique_ptr<Group_End_Parameter> hue_group_end;
    std::unique_ptr<Group_Parameter> saturation_group;
    std::unique_ptr<Float_Parameter> saturation_start;
    std::unique_ptr<Float_Parameter> saturation_end;
    std::unique_ptr<Float_Parameter> saturation_climax;
    std::unique_ptr<Float_Parameter> saturation_soften;
    std::unique_ptr<Angle_Parameter> saturation_offset;
    std::unique_ptr<Group_End_Parameter> saturation_group_end;
    std::unique_ptr<Group_End_Parameter> selection_group_end;

    std::unique_ptr<Group_Parameter> outside_group;
    std::unique_ptr<Checkbox_Parameter> outside_extend;
    std::unique_ptr<Choice_Parameter> outside_horizontal;  // an Assume_Entry
    std::unique_ptr<Choice_Parameter> outside_vertical;    // an Assume_Entry
    std::unique_ptr<Rgba_Parameter> outside_color;
    std::unique_ptr<Group_End_Parameter> outside_group_end;

    // Every parameter in declaration order, as the factory listed it after the last creation.
    std::vector<Parameter*> list;

private:
    void declare_main(Parameter_Factory& factory);
    void declare_iris(Parameter_Factory& factory);
    void declare_selection(Parameter_Factory& factory);
    void declare_selection_channels(Parameter_Factory& factory);
    void declare_outside(Parameter_Factory& factory);
    bool premiere() const { return host == Plugin_Host::premiere; }
};

}  // namespace nb
