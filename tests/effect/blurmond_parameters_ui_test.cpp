// Tests of the enabling rules: which controls are greyed out for given settings, under both hosts.
#include "effect/blurmond_parameters_ui.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "tests/support/blurmond_parameter_fields.h"
#include "tests/support/memory_parameter_factory.h"

namespace nb {
namespace {

using Names = std::vector<std::string>;

Names join(std::initializer_list<Names> parts) {
    Names all;
    for (const Names& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// Groups of field names, written out independently of the rules.
const Names highlight_amounts{"preservative_highlight", "additive_highlight"};
const Names distortion{"background_distortion", "distortion_antialias"};
const Names blur_only{"radius", "gamma_correction", "background_layer"};
const Names outside_rules{"outside_group", "outside_horizontal", "outside_vertical"};
const Names iris_shape{"iris_facets",           "iris_angle",           "iris_rounded",
                       "iris_border_brightness", "iris_border_thickness", "iris_aspect"};
const Names iris_section = join({{"iris_group", "alternative_iris", "colored_iris", "iris_soften"}, iris_shape});
// Everything in the highlight selection that follows "enable" under After Effects.
const Names ae_selection_controls{
    "selection_layer", "lightness_group",   "lightness_start",   "lightness_end",     "lightness_climax",
    "lightness_soften", "lightness_offset", "hue_group",         "hue_start",         "hue_end",
    "hue_climax",      "hue_soften",        "hue_offset",        "saturation_group",  "saturation_start",
    "saturation_end",  "saturation_climax", "saturation_soften", "saturation_offset"};
const Names pr_selection_controls{"selection_layer", "lightness_start", "lightness_end", "lightness_soften"};

// Controls no rule touches: "show" always applies, group ends have no control.
const std::set<std::string> untouched{"show",          "iris_group_end",       "lightness_group_end",
                                      "hue_group_end", "saturation_group_end", "selection_group_end",
                                      "outside_group_end"};

struct Scenario {
    std::string label;
    Plugin_Host host;
    int32_t show = show_normal_blur;
    bool enable = false;  // After Effects only
    bool alternative_iris = false;
    bool background = false;
    bool extend = false;
    int32_t horizontal = assume_border_color;
    int32_t vertical = assume_border_color;
    Names disabled = {};  // every other declared control must end up enabled
};

std::ostream& operator<<(std::ostream& out, const Scenario& s) { return out << s.label; }

void apply(const Scenario& s, Blurmond_Parameters& p) {
    p.show->set_value(s.show);
    if (p.selection_enable) p.selection_enable->set_value(s.enable);
    test::memory_of(*p.alternative_iris).set_has_layer(s.alternative_iris);
    test::memory_of(*p.background_layer).set_has_layer(s.background);
    p.outside_extend->set_value(s.extend);
    p.outside_horizontal->set_value(s.horizontal);
    p.outside_vertical->set_value(s.vertical);
}

Scenario ae(std::string label) { return Scenario{label, Plugin_Host::after_effects}; }
Scenario pr(std::string label) { return Scenario{label, Plugin_Host::premiere}; }

// Settings as chained edits keep each table line close to the case it describes.
struct Edit {
    Scenario s;
    Edit show(int32_t v) { s.show = v; return *this; }
    Edit enable() { s.enable = true; return *this; }
    Edit iris_layer() { s.alternative_iris = true; return *this; }
    Edit background() { s.background = true; return *this; }
    Edit extend() { s.extend = true; return *this; }
    Edit assumes(int32_t h, int32_t v) {
        s.horizontal = h;
        s.vertical = v;
        return *this;
    }
    Scenario disabled(Names names) { s.disabled = std::move(names); return s; }
};

const Names ae_iris_display = join({{"selection_enable", "selection_group"}, ae_selection_controls, blur_only,
                                    highlight_amounts, distortion, {"outside_extend", "outside_color"},
                                    outside_rules});

const std::vector<Scenario> scenarios{
    // A new instance: selection off, no layers, border rules.
    Edit{ae("AeNewInstance")}.disabled(join({highlight_amounts, distortion, {"colored_iris", "outside_color"},
                                             ae_selection_controls})),
    Edit{ae("AeSelectionEnabled")}.enable().disabled(join({distortion, {"colored_iris", "outside_color"}})),
    Edit{ae("AeIrisDisplay")}.show(show_iris).enable().disabled(join({ae_iris_display, {"colored_iris"}})),
    Edit{ae("AeIrisDisplayWithIrisLayer")}
        .show(show_iris).iris_layer().background().disabled(join({ae_iris_display, iris_shape})),
    Edit{ae("AeSelectionDisplayEnabled")}
        .show(show_highlight_selection).enable().background()
        .disabled(join({iris_section, blur_only, highlight_amounts, distortion, {"outside_extend", "outside_color"},
                        outside_rules})),
    Edit{ae("AeSelectionOnlyDisplayDisabled")}
        .show(show_highlight_selection_only).iris_layer()
        .disabled(join({iris_section, blur_only, highlight_amounts, distortion, ae_selection_controls,
                        {"outside_extend", "outside_color"}, outside_rules})),
    Edit{ae("AeBothLayersChosen")}.enable().iris_layer().background().disabled(join({iris_shape, {"outside_color"}})),
    Edit{ae("AeExtendOverridesColorAssumes")}
        .enable().extend().assumes(assume_color, assume_color)
        .disabled(join({distortion, {"colored_iris", "outside_color"}, outside_rules})),
    Edit{ae("AeHorizontalColorEnablesColor")}
        .enable().assumes(assume_color, assume_border_color).disabled(join({distortion, {"colored_iris"}})),
    Edit{ae("AeVerticalColorEnablesColor")}
        .enable().assumes(assume_mirrored_image, assume_color).disabled(join({distortion, {"colored_iris"}})),
    Edit{ae("AeOtherAssumesKeepColorOff")}
        .enable().assumes(assume_repeated_image, assume_mirrored_image)
        .disabled(join({distortion, {"colored_iris", "outside_color"}})),
    Edit{Scenario{"OtherHostFollowsAfterEffects", Plugin_Host::other_host}}
        .disabled(join({highlight_amounts, distortion, {"colored_iris", "outside_color"}, ae_selection_controls})),

    // Premiere has no "enable": the selection always counts as on.
    Edit{pr("PrNewInstance")}.disabled(join({distortion, {"colored_iris", "outside_color"}})),
    Edit{pr("PrIrisDisplay")}
        .show(show_iris)
        .disabled(join({{"selection_group", "colored_iris", "outside_extend", "outside_color"}, pr_selection_controls,
                        blur_only, highlight_amounts, distortion, outside_rules})),
    Edit{pr("PrSelectionDisplay")}
        .show(show_highlight_selection)
        .disabled(join({iris_section, blur_only, highlight_amounts, distortion, {"outside_extend", "outside_color"},
                        outside_rules})),
    Edit{pr("PrLayersAndExtend")}
        .iris_layer().background().extend().assumes(assume_color, assume_color)
        .disabled(join({iris_shape, {"outside_color"}, outside_rules})),
};

class BlurmondParametersUi : public testing::TestWithParam<Scenario> {};

TEST_P(BlurmondParametersUi, GreysOutExactlyTheControlsThatDoNotApply) {
    const Scenario& s = GetParam();
    test::Memory_Parameter_Factory factory;
    Blurmond_Parameters parameters(factory, s.host);
    apply(s, parameters);
    update_params_ui(parameters, s.host);

    for (const std::string& name : s.disabled)
        EXPECT_NE(test::blurmond_field(parameters, name), nullptr) << name << " is not declared under this host";
    for (const test::Named_Blurmond_Field& f : test::blurmond_fields()) {
        Parameter* p = f.field(parameters);
        if (!p) continue;
        const test::Memory_Parameter& m = test::memory_of(*p);
        if (untouched.count(f.name)) {
            EXPECT_EQ(m.set_enabled_calls(), 0) << f.name;
            continue;
        }
        EXPECT_EQ(m.set_enabled_calls(), 1) << f.name;
        const bool expected = std::find(s.disabled.begin(), s.disabled.end(), f.name) == s.disabled.end();
        EXPECT_EQ(m.enabled(), expected) << f.name << (expected ? " should be enabled" : " should be greyed out");
    }
}

INSTANTIATE_TEST_SUITE_P(Scenarios, BlurmondParametersUi, testing::ValuesIn(scenarios),
                         [](const testing::TestParamInfo<Scenario>& info) { return info.param.label; });

// Controls Premiere lacks are filled with stand-ins from another factory; the rules must neither read
// nor change any of them, whatever the settings.
TEST(BlurmondParametersUiPremiere, NeverTouchesControlsPremiereLacks) {
    test::Memory_Parameter_Factory factory, stand_in_factory;
    Blurmond_Parameters p(factory, Plugin_Host::premiere);
    std::vector<std::unique_ptr<Parameter>> keep;
    const auto stand_in = [&]<class Kind>(std::unique_ptr<Kind>& handle, std::unique_ptr<Kind> made) {
        ASSERT_EQ(handle, nullptr);
        handle = std::move(made);
    };
    stand_in(p.selection_enable, stand_in_factory.create_checkbox(Checkbox_Parameter_Description("enable", "", 21)));
    for (auto* group : {&p.lightness_group, &p.hue_group, &p.saturation_group})
        stand_in(*group, stand_in_factory.create_group(Group_Parameter_Description("g", "", 1)));
    for (auto* value : {&p.lightness_climax, &p.hue_start, &p.hue_end, &p.hue_climax, &p.hue_soften,
                        &p.saturation_start, &p.saturation_end, &p.saturation_climax, &p.saturation_soften})
        stand_in(*value, stand_in_factory.create_float(Float_Parameter_Description("f", "", 1)));
    for (auto* offset : {&p.lightness_offset, &p.hue_offset, &p.saturation_offset})
        stand_in(*offset, stand_in_factory.create_angle(Angle_Parameter_Description("a", "", 1)));

    for (int32_t show : {show_normal_blur, show_iris, show_highlight_selection, show_highlight_selection_only}) {
        p.show->set_value(show);
        update_params_ui(p, Plugin_Host::premiere);
        // "lightness start", "end" and "soften" follow "show" alone.
        EXPECT_EQ(test::memory_of(*p.lightness_start).enabled(), show != show_iris) << "show " << show;
    }
    for (Parameter* s : stand_in_factory.parameter_list()) {
        EXPECT_EQ(test::memory_of(*s).reads(), 0) << s->description().name;
        EXPECT_EQ(test::memory_of(*s).set_enabled_calls(), 0) << s->description().name;
    }
}

TEST(BlurmondParametersUiHost, RefusesASetDeclaredForTheOtherHost) {
    test::Memory_Parameter_Factory ae_factory, pr_factory;
    const Blurmond_Parameters ae_set(ae_factory, Plugin_Host::after_effects);
    const Blurmond_Parameters pr_set(pr_factory, Plugin_Host::premiere);
    EXPECT_THROW(update_params_ui(ae_set, Plugin_Host::premiere), Exception_Assert);
    EXPECT_THROW(update_params_ui(pr_set, Plugin_Host::after_effects), Exception_Assert);
    EXPECT_NO_THROW(update_params_ui(ae_set, Plugin_Host::other_host));
}

}  // namespace
}  // namespace nb
