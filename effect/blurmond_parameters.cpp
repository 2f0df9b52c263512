// Declaration of the effect's controls, in host order, for After Effects and for Premiere.
#include "effect/blurmond_parameters.h"

#include <cfloat>
#include <string>
#include <utility>

#include "effect/blurmond_controls.h"

namespace nb {

namespace {

template <class T>
struct Range {
    T min, max;
};

constexpr Range<double> unbounded{-DBL_MAX, DBL_MAX};

consteval int64_t id(std::string_view key) { return blurmond_control_id(key); }

std::unique_ptr<Float_Parameter> declare_float(Parameter_Factory& factory, std::string name, std::string key,
                                               int64_t disc_id, double default_value, Range<double> valid,
                                               Range<double> slider, bool start_collapsed = true) {
    Float_Parameter_Description description(std::move(name), std::move(key), disc_id);
    description.precision = 2;  // every float of the effect shows two decimal places
    description.default_value = default_value;
    description.valid_min = valid.min;
    description.valid_max = valid.max;
    description.slider_min = slider.min;
    description.slider_max = slider.max;
    description.start_collapsed = start_collapsed;
    return factory.create_float(std::move(description));
}

std::unique_ptr<Int_Parameter> declare_int(Parameter_Factory& factory, std::string name, std::string key,
                                           int64_t disc_id, int32_t default_value, Range<int32_t> valid,
                                           Range<int32_t> slider) {
    Int_Parameter_Description description(std::move(name), std::move(key), disc_id);
    description.default_value = default_value;
    description.valid_min = valid.min;
    description.valid_max = valid.max;
    description.slider_min = slider.min;
    description.slider_max = slider.max;
    return factory.create_int(std::move(description));
}

// Angles keep the description's ranges; all of the effect's start at 0 degrees.
std::unique_ptr<Angle_Parameter> declare_angle(Parameter_Factory& factory, std::string name, std::string key,
                                               int64_t disc_id) {
    return factory.create_angle(Angle_Parameter_Description(std::move(name), std::move(key), disc_id));
}

std::unique_ptr<Checkbox_Parameter> declare_checkbox(Parameter_Factory& factory, std::string name, int64_t disc_id,
                                                     bool default_value) {
    Checkbox_Parameter_Description description(std::move(name), "", disc_id);
    description.default_value = default_value;
    return factory.create_checkbox(std::move(description));
}

// Every choice of the effect starts at its first entry.
std::unique_ptr<Choice_Parameter> declare_choice(Parameter_Factory& factory, std::string name, int64_t disc_id,
                                                 std::vector<std::string> entries) {
    Choice_Parameter_Description description(std::move(name), "", disc_id);
    description.entries = std::move(entries);
    return factory.create_choice(std::move(description));
}

std::unique_ptr<Layer_Parameter> declare_layer(Parameter_Factory& factory, std::string name, int64_t disc_id) {
    return factory.create_layer(Layer_Parameter_Description(std::move(name), "", disc_id));
}

std::unique_ptr<Group_Parameter> declare_group(Parameter_Factory& factory, std::string name, int64_t disc_id) {
    return factory.create_group(Group_Parameter_Description(std::move(name), "", disc_id));
}

std::unique_ptr<Group_End_Parameter> declare_group_end(Parameter_Factory& factory, int64_t disc_id) {
    return factory.create_group_end(Group_End_Parameter_Description(disc_id));
}

}  // namespace

Blurmond_Parameters::Blurmond_Parameters(Parameter_Factory& factory, Plugin_Host host_) : host(host_) {
    declare_main(factory);
    declare_iris(factory);
    declare_selection(factory);
    declare_outside(factory);
    list = factory.parameter_list();
}

void Blurmond_Parameters::declare_main(Parameter_Factory& factory) {
    show = declare_choice(factory, "show", id("show"),
                          {"normal blur", "iris", "highlight, selection", "highlight, selection only"});
    radius = declare_float(factory, "radius", "", id("radius"), 0.0, {0.0, 999.0}, {0.0, 100.0}, false);
    // Premiere users start without a highlight boost.
    preservative_highlight = declare_float(factory, "preservative highlight", "", id("preservative_highlight"),
                                           premiere() ? 0.0 : 1.0, {0.0, 9999.0}, {0.0, 5.0});
    additive_highlight =
        declare_float(factory, "additive highlight", "", id("additive_highlight"), 0.0, {0.0, 9999.0}, {0.0, 5.0});
    gamma_correction = declare_checkbox(factory, "gamma correction", id("gamma_correction"), true);
    background_layer = declare_layer(factory, premiere() ? "Background" : "background layer", id("background_layer"));
    background_distortion = declare_float(factory, "background distortion", "", id("background_distortion"), 10.0,
                                          {-9999.0, 9999.0}, {-100.0, 100.0});
    distortion_antialias =
        declare_int(factory, "distortion antialias", "", id("distortion_antialias"), 1, {0, 10}, {0, 3});
}

void Blurmond_Parameters::declare_iris(Parameter_Factory& factory) {
    const bool pr = premiere();
    iris_group = declare_group(factory, "-> Iris...", id("iris_group"));
    alternative_iris = declare_layer(factory, pr ? "Iris" : "alternative iris", id("alternative_iris"));

    // Premiere shows shorter names; its keys say "iris" so they stay distinct from other sections.
    const auto colored = [&] { colored_iris = declare_checkbox(factory, "colored iris", id("colored_iris"), false); };
    const auto soften = [&] {
        iris_soften = declare_float(factory, pr ? "soften" : "smooth", pr ? "iris soften" : "", id("iris_soften"), 0.0,
                                    {0.0, DBL_MAX}, {0.0, 50.0});
    };
    const auto facets = [&] {
        iris_facets = declare_int(factory, "facets", pr ? "iris facets" : "", id("iris_facets"), 3, {3, 999}, {3, 10});
    };
    const auto angle = [&] { iris_angle = declare_angle(factory, "angle", pr ? "iris angle" : "", id("iris_angle")); };
    const auto rounded = [&] {
        iris_rounded = declare_float(factory, pr ? "rounded" : "rounded facets", pr ? "iris rounded" : "",
                                     id("iris_rounded"), 1.0, {0.0, 1.0}, {0.0, 1.0});
    };
    const auto brightness = [&] {
        iris_border_brightness = declare_float(factory, pr ? "border brightness" : "relative border brightness",
                                               pr ? "iris border brightness" : "", id("iris_border_brightness"), 0.0,
                                               {-1.0, 1.0}, {-1.0, 1.0});
    };
    const auto thickness = [&] {
        iris_border_thickness = declare_float(factory, "border thickness", pr ? "iris border thickness" : "",
                                              id("iris_border_thickness"), 0.3, {0.0, 1.0}, {0.0, 1.0});
    };
    const auto aspect = [&] {
        iris_aspect = declare_float(factory, pr ? "x/y aspect" : "x-y aspect", pr ? "iris aspect" : "",
                                    id("iris_aspect"), 0.0, {-0.75, 0.75}, {-0.75, 0.75});
    };
    // The creation order is the order of the controls; identifiers stay the same in both.
    if (pr) {
        soften(); rounded(); facets(); angle(); thickness(); brightness(); aspect(); colored();
    } else {
        colored(); soften(); facets(); angle(); rounded(); brightness(); thickness(); aspect();
    }
    iris_group_end = declare_group_end(factory, id("iris_group_end"));
}

void Blurmond_Parameters::declare_selection(Parameter_Factory& factory) {
    selection_group = declare_group(factory, "-> Highlight Selection...", id("selection_group"));
    if (premiere()) {
        // Premiere selects by lightness alone, on a 0..1 scale, and always has the selection on.
        selection_layer = declare_layer(factory, "Highlight", id("selection_layer"));
        lightness_start =
            declare_float(factory, "lightness start", "", id("lightness_start"), 0.8, unbounded, {0.0, 1.0});
        lightness_end = declare_float(factory, "lightness end", "", id("lightness_end"), 1.0, unbounded, {0.0, 1.0});
        lightness_soften =
            declare_float(factory, "lightness soften", "", id("lightness_soften"), 0.0, {0.0, DBL_MAX}, {0.0, 3.0});
    } else {
        selection_enable = declare_checkbox(factory, "enable", id("selection_enable"), false);
        selection_layer = declare_layer(factory, "alternative Selection layer", id("selection_layer"));
        declare_selection_channels(factory);
    }
    selection_group_end = declare_group_end(factory, id("selection_group_end"));
}

void Blurmond_Parameters::declare_selection_channels(Parameter_Factory& factory) {
    constexpr Range<double> range_valid{-999999.0, 999999.0}, range_slider{0.0, 255.0};
    constexpr Range<double> climax{-1.0, 1.0}, soften_valid{0.0, 999999.0}, soften_slider{0.0, 3.0};

    lightness_group = declare_group(factory, "-> Lightness...", id("lightness_group"));
    lightness_start =
        declare_float(factory, "lightness start", "", id("lightness_start"), 200.0, range_valid, range_slider);
    lightness_end = declare_float(factory, "lightness end", "", id("lightness_end"), 255.0, range_valid, range_slider);
    lightness_climax = declare_float(factory, "lightness climax", "", id("lightness_climax"), 1.0, climax, climax);
    lightness_soften =
        declare_float(factory, "lightness soften", "", id("lightness_soften"), 0.0, soften_valid, soften_slider);
    lightness_offset = declare_angle(factory, "lightness offset", "", id("lightness_offset"));
    lightness_group_end = declare_group_end(factory, id("lightness_group_end"));

    hue_group = declare_group(factory, "-> Hue...", id("hue_group"));
    hue_start = declare_float(factory, "hue start", "", id("hue_start"), 0.0, range_valid, range_slider);
    hue_end = declare_float(factory, "hue end", "", id("hue_end"), 255.0, range_valid, range_slider);
    hue_climax = declare_float(factory, "hue climax", "", id("hue_climax"), 1.0, climax, climax);
    hue_soften = declare_float(factory, "hue soften", "", id("hue_soften"), 0.0, soften_valid, soften_slider);
    hue_offset = declare_angle(factory, "hue offset", "", id("hue_offset"));
    hue_group_end = declare_group_end(factory, id("hue_group_end"));

    saturation_group = declare_group(factory, "-> Saturation...", id("saturation_group"));
    saturation_start =
        declare_float(factory, "saturation start", "", id("saturation_start"), 0.0, range_valid, range_slider);
    saturation_end =
        declare_float(factory, "saturation end", "", id("saturation_end"), 255.0, range_valid, range_slider);
    saturation_climax = declare_float(factory, "saturation climax", "", id("saturation_climax"), 1.0, climax, climax);
    saturation_soften =
        declare_float(factory, "saturation soften", "", id("saturation_soften"), 0.0, soften_valid, soften_slider);
    saturation_offset = declare_angle(factory, "saturation offset", "", id("saturation_offset"));
    saturation_group_end = declare_group_end(factory, id("saturation_group_end"));
}

void Blurmond_Parameters::declare_outside(Parameter_Factory& factory) {
    const bool pr = premiere();
    const std::vector<std::string> assumes{"border color", "mirrored image", "repeated image", "color"};
    outside_group = declare_group(factory, "-> Outside Image...", id("outside_group"));
    outside_extend = declare_checkbox(factory, "extend", id("outside_extend"), false);
    outside_horizontal =
        declare_choice(factory, pr ? "outside horizontal" : "horizontal assume", id("outside_horizontal"), assumes);
    outside_vertical =
        declare_choice(factory, pr ? "outside vertical" : "vertical assume", id("outside_vertical"), assumes);
    Rgba_Parameter_Description color("outside color", "", id("outside_color"), id("outside_color_alpha"));
    color.alpha = 1.0;  // opaque black
    outside_color = factory.create_rgba(std::move(color));
    outside_group_end = declare_group_end(factory, id("outside_group_end"));
}

}  // namespace nb
