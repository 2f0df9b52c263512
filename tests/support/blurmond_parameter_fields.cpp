// Every handle of the effect's parameter set by field name, so tests can walk the set as data.
#include "tests/support/blurmond_parameter_fields.h"

#include <gtest/gtest.h>

namespace nb::test {

#define NB_FIELD(member) \
    Named_Blurmond_Field{#member, [](const Blurmond_Parameters& p) -> Parameter* { return p.member.get(); }}

const std::vector<Named_Blurmond_Field>& blurmond_fields() {
    static const std::vector<Named_Blurmond_Field> fields{
        NB_FIELD(show), NB_FIELD(radius), NB_FIELD(preservative_highlight), NB_FIELD(additive_highlight),
        NB_FIELD(gamma_correction), NB_FIELD(background_layer), NB_FIELD(background_distortion),
        NB_FIELD(distortion_antialias), NB_FIELD(iris_group), NB_FIELD(alternative_iris), NB_FIELD(colored_iris),
        NB_FIELD(iris_soften), NB_FIELD(iris_facets), NB_FIELD(iris_angle), NB_FIELD(iris_rounded),
        NB_FIELD(iris_border_brightness), NB_FIELD(iris_border_thickness), NB_FIELD(iris_aspect),
        NB_FIELD(iris_group_end), NB_FIELD(selection_group), NB_FIELD(selection_enable), NB_FIELD(selection_layer),
        NB_FIELD(lightness_group), NB_FIELD(lightness_start), NB_FIELD(lightness_end), NB_FIELD(lightness_climax),
        NB_FIELD(lightness_soften), NB_FIELD(lightness_offset), NB_FIELD(lightness_group_end), NB_FIELD(hue_group),
        NB_FIELD(hue_start), NB_FIELD(hue_end), NB_FIELD(hue_climax), NB_FIELD(hue_soften), NB_FIELD(hue_offset),
        NB_FIELD(hue_group_end), NB_FIELD(saturation_group), NB_FIELD(saturation_start), NB_FIELD(saturation_end),
        NB_FIELD(saturation_climax), NB_FIELD(saturation_soften), NB_FIELD(saturation_offset),
        NB_FIELD(saturation_group_end), NB_FIELD(selection_group_end), NB_FIELD(outside_group),
        NB_FIELD(outside_extend), NB_FIELD(outside_horizontal), NB_FIELD(outside_vertical), NB_FIELD(outside_color),
        NB_FIELD(outside_group_end)};
    return fields;
}

#undef NB_FIELD

Parameter* blurmond_field(const Blurmond_Parameters& parameters, const std::string& name) {
    for (const Named_Blurmond_Field& f : blurmond_fields())
        if (f.name == name) return f.field(parameters);
    ADD_FAILURE() << "no field named " << name;
    return nullptr;
}

}  // namespace nb::test
