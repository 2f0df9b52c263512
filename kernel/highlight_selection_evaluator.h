// Turns highlight selection settings and a pixel into a highlight weight between 0 and 1.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <type_traits>

#include "kernel/highlight_selection_settings.h"
#include "util/pixel/pixel.h"

namespace nb {

// Prepared once per row task from the settings, then read-only: a copy may be used on any thread.
// weight() is meant for inner pixel loops and allocates nothing.
class Highlight_Selection_Evaluator {
public:
    // One of hue, saturation, lightness: a value passes when it lies in [lo, hi] (hue and saturation
    // wrap around by one), then contributes tent(value)^soften to the weight.
    struct Range {
        double lo = 0.0;
        double hi = 1.0;
        double inv_width = 1.0;
        double peak = 1.0;  // position of the tent's top inside the range, 0..1
        double soften = 0.0;
    };

    Highlight_Selection_Evaluator() = default;

    // Float images may be lighter than white, so their lightness range is not folded into 0..1.
    static Highlight_Selection_Evaluator prepare(const Highlight_Selection_Settings& settings,
                                                 bool is_float_pixel_type);

    template <class P>
    static Highlight_Selection_Evaluator prepare_for(const Highlight_Selection_Settings& settings) {
        return prepare(settings, std::is_same_v<typename P::component, float>);
    }

    // Weight of a pixel whose colour is judged as it is stored.
    template <class P>
    double weight(const P& pixel) const {
        return weight_rgb(static_cast<double>(to_unit(pixel.r())), static_cast<double>(to_unit(pixel.g())),
                          static_cast<double>(to_unit(pixel.b())));
    }

    // Weight of a pixel read from a selection layer: a straight colour is premultiplied first, in the
    // pixel's own type (8 and 16 bits: trunc(c * a / white)), because highlights are judged by their
    // premultiplied colour.
    template <class P>
    double weight_of_layer_pixel(const P& pixel, bool premultiplied) const {
        if (premultiplied) return weight(pixel);
        return weight(premultiplied_color(pixel));
    }

    // Weight of a colour with white 1.0. A channel that is not finite gives 0: such a pixel has no
    // meaningful hue, and a NaN weight would poison every pixel it is blurred into.
    double weight_rgb(double r, double g, double b) const {
        if (!enabled_) return 0.0;
        if (!(std::isfinite(r) && std::isfinite(g) && std::isfinite(b))) return 0.0;
        const double max = std::max(std::max(r, g), b);
        const double min = std::min(std::min(r, g), b);
        double lightness = (max + min) * 0.5;
        double saturation = 0.0;
        double hue = 0.0;
        if (max != min) {
            const double d = max - min;
            saturation = lightness <= 0.5 ? d / (max + min) : d / (2.0 - max - min);
            if (r == max) hue = (g - b) / d;
            else if (g == max) hue = (b - r) / d + 2.0;
            else hue = (r - g) / d + 4.0;
            if (hue < 0.0) hue += 6.0;
            hue *= 0.16666666666666666;
        }
        // A zero denominator above gives an infinite saturation, which the clamp turns into 1.
        lightness = std::max(0.0, lightness);
        saturation = std::clamp(saturation, 0.0, 1.0);
        hue = std::clamp(hue, 0.0, 1.0);

        if (!wrap(hue_, hue) || !wrap(saturation_, saturation)) return 0.0;
        if (!(lightness_.lo <= lightness && lightness <= lightness_.hi)) return 0.0;
        return tent(hue_, hue) * tent(saturation_, saturation) * tent(lightness_, lightness);
    }

private:
    // A value below the range is moved up by one turn and must then lie strictly below hi.
    static bool wrap(const Range& range, double& value) {
        if (value >= range.lo) return value <= range.hi;
        value += 1.0;
        return value < range.hi;
    }

    // The range's factor for a value inside it: 1 for a hard range, else tent(value)^soften.
    static double tent(const Range& range, double value) {
        if (!(range.soften > 0.0)) return 1.0;
        const double t = (value - range.lo) * range.inv_width;
        double base = 1.0;
        if (t < range.peak) base = t / range.peak;
        else if (range.peak != 1.0) base = 1.0 - (t - range.peak) / (1.0 - range.peak);
        // A climax beyond -1..1 would put the tent outside 0..1, where pow() may return NaN.
        if (!(base > 0.0)) return 0.0;
        return std::pow(std::min(base, 1.0), range.soften);
    }

    template <class P>
    static P premultiplied_color(P pixel) {
        using T = typename P::component;
        if constexpr (std::is_same_v<T, float>) {
            pixel.r() *= pixel.a();
            pixel.g() *= pixel.a();
            pixel.b() *= pixel.a();
        } else {
            const int64_t white = static_cast<int64_t>(P::white);
            const int64_t a = pixel.a();
            pixel.r() = static_cast<T>(std::min<int64_t>(pixel.r() * a / white, white));
            pixel.g() = static_cast<T>(std::min<int64_t>(pixel.g() * a / white, white));
            pixel.b() = static_cast<T>(std::min<int64_t>(pixel.b() * a / white, white));
        }
        return pixel;
    }

    bool enabled_ = false;
    Range hue_;
    Range saturation_;
    Range lightness_;
};

}  // namespace nb
