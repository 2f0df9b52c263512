// The user's highlight selection: ranges of hue, saturation and lightness that mark a pixel as a highlight.
#pragma once

namespace nb {

// Filled by the render pipeline from the parameters; judged per pixel by Highlight_Selection_Evaluator.
// Ranges are fractions (hue 0..1 for a full turn). start may exceed end; the range is then taken
// from the smaller to the larger end. The defaults select every pixel with weight 1 once enabled.
struct Highlight_Selection_Settings {
    bool selection_only = false;     // the preview shows the weight itself instead of the weighted image
    bool selection_enabled = false;  // off: every weight is 0
    double hue_start = 0.0;
    double hue_end = 1.0;
    double hue_climax = 1.0;  // -1..1: where inside the range the weight peaks (-1 start, 1 end)
    double hue_soften = 0.0;  // exponent of the tent over the range; 0 gives a hard range
    double saturation_start = 0.0;
    double saturation_end = 1.0;
    double saturation_climax = 1.0;
    double saturation_soften = 0.0;
    double lightness_start = 0.0;
    double lightness_end = 1.0;
    double lightness_climax = 1.0;
    double lightness_soften = 0.0;
    double hue_offset = 0.0;  // added to both ends of the hue range
    double saturation_offset = 0.0;
    double lightness_offset = 0.0;
};

}  // namespace nb
