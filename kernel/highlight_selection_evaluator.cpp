// Preparation of the highlight selection evaluator from the user's settings.
#include "kernel/highlight_selection_evaluator.h"

#include <algorithm>
#include <cmath>

namespace nb {

namespace {

using Range = Highlight_Selection_Evaluator::Range;

// fold moves the range by whole turns until lo lies in 0..1 (an exact negative integer lands on 1),
// then caps a range of a full turn or more at just above one turn: with the wrap-around test every
// value passes it, including both ends of the turn.
Range prepare_range(double start, double end, double climax, double soften, double offset, bool fold) {
    Range range;
    range.lo = std::min(start, end) + offset;
    range.hi = std::max(start, end) + offset;
    if (fold) {
        const double turns = range.lo < 0.0 ? std::trunc(range.lo - 1.0) : std::trunc(range.lo);
        range.lo -= turns;
        range.hi -= turns;
        if (range.hi >= range.lo + 1.0) range.hi = range.lo + 1.00001;
    }
    range.inv_width = range.hi == range.lo ? 1.0 : 1.0 / (range.hi - range.lo);
    range.peak = (climax + 1.0) * 0.5;
    range.soften = soften;
    return range;
}

}  // namespace

Highlight_Selection_Evaluator Highlight_Selection_Evaluator::prepare(const Highlight_Selection_Settings& s,
                                                                     bool is_float_pixel_type) {
    Highlight_Selection_Evaluator evaluator;
    evaluator.enabled_ = s.selection_enabled;
    evaluator.hue_ = prepare_range(s.hue_start, s.hue_end, s.hue_climax, s.hue_soften, s.hue_offset, true);
    evaluator.saturation_ = prepare_range(s.saturation_start, s.saturation_end, s.saturation_climax,
                                          s.saturation_soften, s.saturation_offset, true);
    evaluator.lightness_ = prepare_range(s.lightness_start, s.lightness_end, s.lightness_climax,
                                         s.lightness_soften, s.lightness_offset, !is_float_pixel_type);
    return evaluator;
}

}  // namespace nb
