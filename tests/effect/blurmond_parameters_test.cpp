// Tests of the effect's parameter set as data: order, host indices, identifiers, names, keys, values.
#include "effect/blurmond_parameters.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <set>
#include <string>
#include <vector>

#include "tests/support/blurmond_parameter_fields.h"
#include "tests/support/memory_parameter_factory.h"

namespace nb {
namespace {

enum class Kind { choice, floating, integer, angle, checkbox, layer, group, group_end, rgba };

// One expected control. Numbers unused by a kind stay 0; angles keep their description's ranges.
struct Row {
    int32_t index;
    int64_t disc_id;
    Kind kind;
    std::string name, key, field;
    double default_value = 0.0;
    double valid_min = 0.0, valid_max = 0.0, slider_min = 0.0, slider_max = 0.0;
    std::vector<std::string> entries = {};
    bool starts_collapsed = true;
};

const std::vector<std::string> show_entries{"normal blur", "iris", "highlight, selection", "highlight, selection only"};
const std::vector<std::string> assume_entries{"border color", "mirrored image", "repeated image", "color"};

Row flt(int32_t i, int64_t id, std::string name, std::string key, std::string field, double d, double vmin,
        double vmax, double smin, double smax) {
    return {i, id, Kind::floating, name, key, field, d, vmin, vmax, smin, smax};
}
Row integer(int32_t i, int64_t id, std::string name, std::string key, std::string field, double d, double vmin,
            double vmax, double smin, double smax) {
    return {i, id, Kind::integer, name, key, field, d, vmin, vmax, smin, smax};
}
Row angle(int32_t i, int64_t id, std::string name, std::string key, std::string field) {
    return {i, id, Kind::angle, name, key, field};
}
Row checkbox(int32_t i, int64_t id, std::string name, std::string key, std::string field, bool on) {
    return {i, id, Kind::checkbox, name, key, field, on ? 1.0 : 0.0};
}
Row choice(int32_t i, int64_t id, std::string name, std::string key, std::string field,
           std::vector<std::string> entries) {
    return {i, id, Kind::choice, name, key, field, 0.0, 0.0, 0.0, 0.0, 0.0, entries};
}
Row layer(int32_t i, int64_t id, std::string name, std::string key, std::string field) {
    return {i, id, Kind::layer, name, key, field};
}
Row group(int32_t i, int64_t id, std::string name, std::string key, std::string field) {
    return {i, id, Kind::group, name, key, field};
}
Row group_end(int32_t i, int64_t id, std::string field) { return {i, id, Kind::group_end, "", "", field}; }
// The only colour: opaque black, alpha control identified as 50.
Row rgba(int32_t i, int64_t id, std::string name, std::string key, std::string field) {
    return {i, id, Kind::rgba, name, key, field, 1.0};
}

const std::vector<Row> after_effects_rows{
    choice(1, 1, "show", "show", "show", show_entries),
    [] {
        Row r = flt(2, 2, "radius", "radius", "radius", 0, 0, 999, 0, 100);
        r.starts_collapsed = false;
        return r;
    }(),
    flt(3, 3, "preservative highlight", "preservative_highlight", "preservative_highlight", 1, 0, 9999, 0, 5),
    flt(4, 4, "additive highlight", "additive_highlight", "additive_highlight", 0, 0, 9999, 0, 5),
    checkbox(5, 5, "gamma correction", "gamma_correction", "gamma_correction", true),
    layer(6, 6, "background layer", "background_layer", "background_layer"),
    flt(7, 7, "background distortion", "background_distortion", "background_distortion", 10, -9999, 9999, -100, 100),
    integer(8, 8, "distortion antialias", "distortion_antialias", "distortion_antialias", 1, 0, 10, 0, 3),
    group(9, 9, "-> Iris...", "->_Iris...", "iris_group"),
    layer(10, 10, "alternative iris", "alternative_iris", "alternative_iris"),
    checkbox(11, 11, "colored iris", "colored_iris", "colored_iris", false),
    flt(12, 12, "smooth", "smooth", "iris_soften", 0, 0, DBL_MAX, 0, 50),
    integer(13, 13, "facets", "facets", "iris_facets", 3, 3, 999, 3, 10),
    angle(14, 14, "angle", "angle", "iris_angle"),
    flt(15, 15, "rounded facets", "rounded_facets", "iris_rounded", 1, 0, 1, 0, 1),
    flt(16, 16, "relative border brightness", "relative_border_brightness", "iris_border_brightness", 0, -1, 1, -1, 1),
    flt(17, 17, "border thickness", "border_thickness", "iris_border_thickness", 0.3, 0, 1, 0, 1),
    flt(18, 18, "x-y aspect", "x-y_aspect", "iris_aspect", 0, -0.75, 0.75, -0.75, 0.75),
    group_end(19, 19, "iris_group_end"),
    group(20, 20, "-> Highlight Selection...", "->_Highlight_Selection...", "selection_group"),
    checkbox(21, 21, "enable", "enable", "selection_enable", false),
    layer(22, 22, "alternative Selection layer", "alternative_Selection_layer", "selection_layer"),
    group(23, 24, "-> Lightness...", "->_Lightness...", "lightness_group"),
    flt(24, 25, "lightness start", "lightness_start", "lightness_start", 200, -999999, 999999, 0, 255),
    flt(25, 26, "lightness end", "lightness_end", "lightness_end", 255, -999999, 999999, 0, 255),
    flt(26, 27, "lightness climax", "lightness_climax", "lightness_climax", 1, -1, 1, -1, 1),
    flt(27, 28, "lightness soften", "lightness_soften", "lightness_soften", 0, 0, 999999, 0, 3),
    angle(28, 29, "lightness offset", "lightness_offset", "lightness_offset"),
    group_end(29, 30, "lightness_group_end"),
    group(30, 31, "-> Hue...", "->_Hue...", "hue_group"),
    flt(31, 32, "hue start", "hue_start", "hue_start", 0, -999999, 999999, 0, 255),
    flt(32, 33, "hue end", "hue_end", "hue_end", 255, -999999, 999999, 0, 255),
    flt(33, 34, "hue climax", "hue_climax", "hue_climax", 1, -1, 1, -1, 1),
    flt(34, 35, "hue soften", "hue_soften", "hue_soften", 0, 0, 999999, 0, 3),
    angle(35, 36, "hue offset", "hue_offset", "hue_offset"),
    group_end(36, 37, "hue_group_end"),
    group(37, 38, "-> Saturation...", "->_Saturation...", "saturation_group"),
    flt(38, 39, "saturation start", "saturation_start", "saturation_start", 0, -999999, 999999, 0, 255),
    flt(39, 40, "saturation end", "saturation_end", "saturation_end", 255, -999999, 999999, 0, 255),
    flt(40, 41, "saturation climax", "saturation_climax", "saturation_climax", 1, -1, 1, -1, 1),
    flt(41, 42, "saturation soften", "saturation_soften", "saturation_soften", 0, 0, 999999, 0, 3),
    angle(42, 43, "saturation offset", "saturation_offset", "saturation_offset"),
    group_end(43, 44, "saturation_group_end"),
    group_end(44, 45, "selection_group_end"),
    group(45, 46, "-> Outside Image...", "->_Outside_Image...", "outside_group"),
    checkbox(46, 52, "extend", "extend", "outside_extend", false),
    choice(47, 47, "horizontal assume", "horizontal_assume", "outside_horizontal", assume_entries),
    choice(48, 48, "vertical assume", "vertical_assume", "outside_vertical", assume_entries),
    rgba(49, 49, "outside color", "outside_color", "outside_color"),
    group_end(51, 51, "outside_group_end"),
};

const std::vector<Row> premiere_rows{
    choice(1, 1, "show", "show", "show", show_entries),
    [] {
        Row r = flt(2, 2, "radius", "radius", "radius", 0, 0, 999, 0, 100);
        r.starts_collapsed = false;
        return r;
    }(),
    flt(3, 3, "preservative highlight", "preservative_highlight", "preservative_highlight", 0, 0, 9999, 0, 5),
    flt(4, 4, "additive highlight", "additive_highlight", "additive_highlight", 0, 0, 9999, 0, 5),
    checkbox(5, 5, "gamma correction", "gamma_correction", "gamma_correction", true),
    layer(6, 6, "Background", "Background", "background_layer"),
    flt(7, 7, "background distortion", "background_distortion", "background_distortion", 10, -9999, 9999, -100, 100),
    integer(8, 8, "distortion antialias", "distortion_antialias", "distortion_antialias", 1, 0, 10, 0, 3),
    group(9, 9, "-> Iris...", "->_Iris...", "iris_group"),
    layer(10, 10, "Iris", "Iris", "alternative_iris"),
    flt(11, 12, "soften", "iris_soften", "iris_soften", 0, 0, DBL_MAX, 0, 50),
    flt(12, 15, "rounded", "iris_rounded", "iris_rounded", 1, 0, 1, 0, 1),
    integer(13, 13, "facets", "iris_facets", "iris_facets", 3, 3, 999, 3, 10),
    angle(14, 14, "angle", "iris_angle", "iris_angle"),
    flt(15, 17, "border thickness", "iris_border_thickness", "iris_border_thickness", 0.3, 0, 1, 0, 1),
    flt(16, 16, "border brightness", "iris_border_brightness", "iris_border_brightness", 0, -1, 1, -1, 1),
    flt(17, 18, "x/y aspect", "iris_aspect", "iris_aspect", 0, -0.75, 0.75, -0.75, 0.75),
    checkbox(18, 11, "colored iris", "colored_iris", "colored_iris", false),
    group_end(19, 19, "iris_group_end"),
    group(20, 20, "-> Highlight Selection...", "->_Highlight_Selection...", "selection_group"),
    layer(21, 22, "Highlight", "Highlight", "selection_layer"),
    flt(22, 25, "lightness start", "lightness_start", "lightness_start", 0.8, -DBL_MAX, DBL_MAX, 0, 1),
    flt(23, 26, "lightness end", "lightness_end", "lightness_end", 1, -DBL_MAX, DBL_MAX, 0, 1),
    flt(24, 28, "lightness soften", "lightness_soften", "lightness_soften", 0, 0, DBL_MAX, 0, 3),
    group_end(25, 45, "selection_group_end"),
    group(26, 46, "-> Outside Image...", "->_Outside_Image...", "outside_group"),
    checkbox(27, 52, "extend", "extend", "outside_extend", false),
    choice(28, 47, "outside horizontal", "outside_horizontal", "outside_horizontal", assume_entries),
    choice(29, 48, "outside vertical", "outside_vertical", "outside_vertical", assume_entries),
    rgba(30, 49, "outside color", "outside_color", "outside_color"),
    group_end(32, 51, "outside_group_end"),
};

void expect_shared_part(Parameter& p, const Row& row) {
    const Parameter_Description& d = p.description();
    EXPECT_EQ(test::memory_of(p).host_index(), row.index);
    EXPECT_EQ(d.disc_id, row.disc_id);
    EXPECT_EQ(d.name, row.name);
    EXPECT_EQ(d.key, row.key);
    EXPECT_TRUE(d.animatable);
    EXPECT_FALSE(d.supervise);
    EXPECT_FALSE(d.interface_only);
    EXPECT_EQ(d.start_collapsed, row.starts_collapsed);
    EXPECT_TRUE(d.enabled);
    EXPECT_TRUE(d.visible);
}

template <class Kind_Description>
void expect_range(const Kind_Description& d, const Row& row) {
    EXPECT_EQ(d.default_value, row.default_value);
    EXPECT_EQ(d.valid_min, row.valid_min);
    EXPECT_EQ(d.valid_max, row.valid_max);
    EXPECT_EQ(d.slider_min, row.slider_min);
    EXPECT_EQ(d.slider_max, row.slider_max);
}

// Fails unless p is of the row's kind with the row's values.
void expect_kind_part(Parameter& p, const Row& row) {
    switch (row.kind) {
        case Kind::floating: {
            auto* f = dynamic_cast<Float_Parameter*>(&p);
            ASSERT_NE(f, nullptr) << "not a float";
            expect_range(f->description(), row);
            EXPECT_EQ(f->description().precision, 2);
            EXPECT_FALSE(f->description().pixel || f->description().percent);
            return;
        }
        case Kind::integer: {
            auto* i = dynamic_cast<Int_Parameter*>(&p);
            ASSERT_NE(i, nullptr) << "not an int";
            return expect_range(i->description(), row);
        }
        case Kind::angle: {
            auto* a = dynamic_cast<Angle_Parameter*>(&p);
            ASSERT_NE(a, nullptr) << "not an angle";
            return expect_range(a->description(), Row{0, 0, Kind::angle, "", "", "", 0.0, -DBL_MAX, DBL_MAX, 0, 360});
        }
        case Kind::checkbox: {
            auto* c = dynamic_cast<Checkbox_Parameter*>(&p);
            ASSERT_NE(c, nullptr) << "not a checkbox";
            EXPECT_EQ(c->description().default_value, row.default_value != 0.0);
            return;
        }
        case Kind::choice: {
            auto* c = dynamic_cast<Choice_Parameter*>(&p);
            ASSERT_NE(c, nullptr) << "not a choice";
            EXPECT_EQ(c->description().entries, row.entries);
            EXPECT_EQ(c->description().default_index, 0);
            return;
        }
        case Kind::layer:
            EXPECT_NE(dynamic_cast<Layer_Parameter*>(&p), nullptr) << "not a layer";
            return;
        case Kind::group:
            EXPECT_NE(dynamic_cast<Group_Parameter*>(&p), nullptr) << "not a group";
            return;
        case Kind::group_end:
            EXPECT_NE(dynamic_cast<Group_End_Parameter*>(&p), nullptr) << "not a group end";
            return;
        case Kind::rgba: {
            auto* c = dynamic_cast<Rgba_Parameter*>(&p);
            ASSERT_NE(c, nullptr) << "not a colour with alpha";
            const Rgba_Parameter_Description& d = c->description();
            EXPECT_EQ(d.red + d.green + d.blue, 0.0) << "black";
            EXPECT_EQ(d.alpha, 1.0);
            EXPECT_EQ(d.disc_id_alpha, 50);
            return;
        }
    }
}

struct Variant {
    Plugin_Host host;
    const std::vector<Row>* rows;
    int32_t host_controls;  // without the input layer, the colour's alpha counted
};

class BlurmondParameters : public testing::TestWithParam<Variant> {};

TEST_P(BlurmondParameters, DeclaresEveryControlInOrderWithItsDescription) {
    const Variant& variant = GetParam();
    test::Memory_Parameter_Factory factory;
    const Blurmond_Parameters parameters(factory, variant.host);

    EXPECT_EQ(parameters.list, factory.parameter_list());
    EXPECT_EQ(factory.next_index() - 1, variant.host_controls);
    ASSERT_EQ(parameters.list.size(), variant.rows->size());
    for (size_t i = 0; i < variant.rows->size(); ++i) {
        const Row& row = (*variant.rows)[i];
        SCOPED_TRACE("position " + std::to_string(i) + ", field " + row.field + ", \"" + row.name + "\"");
        Parameter& p = *parameters.list[i];
        EXPECT_EQ(test::blurmond_field(parameters, row.field), &p) << "the field holds another parameter";
        expect_shared_part(p, row);
        expect_kind_part(p, row);
    }
}

TEST_P(BlurmondParameters, HandlesOfUndeclaredControlsStayEmpty) {
    const Variant& variant = GetParam();
    test::Memory_Parameter_Factory factory;
    const Blurmond_Parameters parameters(factory, variant.host);
    std::set<std::string> declared;
    for (const Row& row : *variant.rows) declared.insert(row.field);
    for (const test::Named_Blurmond_Field& f : test::blurmond_fields())
        EXPECT_EQ(f.field(parameters) != nullptr, declared.count(f.name) == 1) << f.name;
}

INSTANTIATE_TEST_SUITE_P(Hosts, BlurmondParameters,
                         testing::Values(Variant{Plugin_Host::after_effects, &after_effects_rows, 51},
                                         Variant{Plugin_Host::other_host, &after_effects_rows, 51},
                                         Variant{Plugin_Host::premiere, &premiere_rows, 32}),
                         [](const testing::TestParamInfo<Variant>& info) {
                             return std::string(info.param.host == Plugin_Host::after_effects ? "AfterEffects"
                                                : info.param.host == Plugin_Host::premiere    ? "Premiere"
                                                                                              : "OtherHost");
                         });

}  // namespace
}  // namespace nb
