// Filling the highlight selection settings from the controls each host variant offers.
#include "effect/blurmond_highlight_selection.h"

#include "base/exception.h"

namespace nb {

namespace {

// The After Effects controls give colour ranges on a 0..255 scale.
constexpr double range_scale = 1.0 / 255.0;
constexpr double turn_degrees = 360.0;

Highlight_Selection_Settings after_effects_settings(const Blurmond_Parameters& p) {
    Highlight_Selection_Settings s;
    s.selection_enabled = p.selection_enable->value();
    s.hue_start = p.hue_start->value() * range_scale;
    s.hue_end = p.hue_end->value() * range_scale;
    s.hue_climax = p.hue_climax->value();
    s.hue_soften = p.hue_soften->value();
    s.saturation_start = p.saturation_start->value() * range_scale;
    s.saturation_end = p.saturation_end->value() * range_scale;
    s.saturation_climax = p.saturation_climax->value();
    s.saturation_soften = p.saturation_soften->value();
    s.lightness_start = p.lightness_start->value() * range_scale;
    s.lightness_end = p.lightness_end->value() * range_scale;
    s.lightness_climax = p.lightness_climax->value();
    s.lightness_soften = p.lightness_soften->value();
    s.hue_offset = p.hue_offset->value() / turn_degrees;
    s.saturation_offset = p.saturation_offset->value() / turn_degrees;
    s.lightness_offset = p.lightness_offset->value() / turn_degrees;
    return s;
}

// Premiere has no "enable": a highlight amount above 0 or a selection preview switches the selection on.
Highlight_Selection_Settings premiere_settings(const Blurmond_Parameters& p, int32_t show) {
    Highlight_Selection_Settings s;
    const bool previewed = show == show_highlight_selection || show == show_highlight_selection_only;
    s.selection_enabled =
        previewed || p.preservative_highlight->value() > 0.0 || p.additive_highlight->value() > 0.0;
    s.hue_start = 0.0;
    s.hue_end = 1.0;
    s.hue_climax = 1.0;
    s.hue_soften = 0.0;
    s.saturation_start = 0.0;
    s.saturation_end = 1.0;
    s.saturation_climax = 1.0;
    s.saturation_soften = 0.0;
    s.lightness_start = p.lightness_start->value();
    s.lightness_end = p.lightness_end->value();
    s.lightness_climax = 1.0;
    s.lightness_soften = p.lightness_soften->value();
    s.hue_offset = 0.0;
    s.saturation_offset = 0.0;
    s.lightness_offset = 0.0;
    return s;
}

}  // namespace

Highlight_Selection_Settings highlight_selection_settings(const Blurmond_Parameters& parameters, Plugin_Host host,
                                                          int32_t show) {
    // The two hosts' sets hold different controls; reading one as the other would reach missing ones.
    const bool premiere = host == Plugin_Host::premiere;
    ASSERT(premiere == (parameters.host == Plugin_Host::premiere), "parameter set declared for another host");
    Highlight_Selection_Settings s =
        premiere ? premiere_settings(parameters, show) : after_effects_settings(parameters);
    s.selection_only = show == show_highlight_selection_only;
    return s;
}

}  // namespace nb
