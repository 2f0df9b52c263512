// Reading the controls into the mode settings: choices become edge rules, degrees radians, amounts fade.
#include "effect/blurmond_kernel_settings.h"

#include <cmath>

#include "effect/blurmond_derived_values.h"

namespace nb {

namespace {

float radius_of(const Blurmond_Parameters& p) { return static_cast<float>(p.radius->value()); }

// Without an "enable" control (Premiere) the boosts always apply.
bool highlights_on(const Blurmond_Parameters& p) { return !p.selection_enable || p.selection_enable->value(); }

// The choices list the edge rules in the rules' own order.
Outside_Settings chosen_outside(const Blurmond_Parameters& p) {
    Outside_Settings s;
    s.horizontal = static_cast<Outside>(p.outside_horizontal->value());
    s.vertical = static_cast<Outside>(p.outside_vertical->value());
    s.color = p.outside_color->value();
    return s;
}

// A host keeps boosts within 0 to 9999. One that is no finite float boosts nothing, rather than make
// the selected pixels' weights infinite, which no threshold could keep out of the transform.
float boost_of(const Float_Parameter& control) {
    const auto boost = static_cast<float>(control.value());
    return std::isfinite(boost) ? boost : 0.0f;
}

}  // namespace

Iris_Settings iris_settings(const Blurmond_Parameters& p, float radius, const Layer_Description& frame) {
    Iris_Settings s;
    s.radius = radius;
    s.rounded = static_cast<float>(p.iris_rounded->value());
    s.border_thickness = static_cast<float>(p.iris_border_thickness->value());
    s.border_brightness = static_cast<float>(p.iris_border_brightness->value());
    s.aspect = static_cast<float>(p.iris_aspect->value());
    s.angle = iris_angle(p.iris_angle->value());
    s.facets = p.iris_facets->value();
    s.soften = iris_soften(p.iris_soften->value(), radius, frame);
    return s;
}

Blur_Settings blur_settings(const Blurmond_Parameters& p, const Layer_Description& frame,
                            const Highlight_Selection_Settings& selection) {
    const float radius = radius_of(p);
    Blur_Settings s;
    s.iris = iris_settings(p, radius, frame);
    s.gamma_correction = p.gamma_correction->value();
    s.colored_iris = p.colored_iris->value();
    if (highlights_on(p)) {
        s.preservative_highlight = boost_of(*p.preservative_highlight);
        s.additive_highlight = boost_of(*p.additive_highlight) * small_radius_fade(radius);
    }
    s.outside = chosen_outside(p);
    if (p.outside_extend->value()) {
        s.outside.horizontal = Outside::color;
        s.outside.vertical = Outside::color;
        s.outside.color = {0.0f, 0.0f, 0.0f, 0.0f};
    }
    s.selection_curve = selection;
    return s;
}

Distortion_Settings distortion_settings(const Blurmond_Parameters& p) {
    Distortion_Settings s;
    s.strength = static_cast<float>(p.background_distortion->value()) * small_radius_fade(radius_of(p));
    s.antialias = p.distortion_antialias->value();
    s.outside = chosen_outside(p);
    return s;
}

}  // namespace nb
