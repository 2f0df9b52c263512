// The effect's rules for greying out controls that do not apply to the current settings.
#include "effect/blurmond_parameters_ui.h"

#include <initializer_list>

#include "base/exception.h"

namespace nb {

namespace {

void set_enabled(std::initializer_list<Parameter*> parameters, bool on) {
    for (Parameter* parameter : parameters) parameter->set_enabled(on);
}

}  // namespace

void update_params_ui(const Blurmond_Parameters& p, Plugin_Host host) {
    const bool premiere = host == Plugin_Host::premiere;
    ASSERT(premiere == (p.host == Plugin_Host::premiere), "parameter set declared for another host");

    const int32_t show = p.show->value();
    // Premiere has no "enable": its selection is always on.
    const bool selection_on = premiere || p.selection_enable->value();
    const bool color_assumed =
        p.outside_horizontal->value() == assume_color || p.outside_vertical->value() == assume_color;
    const bool own_iris = p.alternative_iris->has_layer();
    const bool background = p.background_layer->has_layer();
    const bool extend = p.outside_extend->value();

    const bool blur_shown = show == show_normal_blur;
    const bool iris_shown = show == show_normal_blur || show == show_iris;
    const bool selection_shown = show != show_iris;

    set_enabled({p.preservative_highlight.get(), p.additive_highlight.get()}, blur_shown && selection_on);
    set_enabled({p.gamma_correction.get(), p.background_layer.get()}, blur_shown);
    set_enabled({p.background_distortion.get(), p.distortion_antialias.get()}, blur_shown && background);
    p.radius->set_enabled(blur_shown);

    set_enabled({p.iris_group.get(), p.alternative_iris.get()}, iris_shown);
    p.colored_iris->set_enabled(iris_shown && own_iris);
    p.iris_soften->set_enabled(iris_shown);
    // An iris taken from a layer has no drawn shape to adjust.
    set_enabled({p.iris_facets.get(), p.iris_angle.get(), p.iris_rounded.get(), p.iris_border_brightness.get(),
                 p.iris_border_thickness.get(), p.iris_aspect.get()},
                iris_shown && !own_iris);

    if (!premiere) p.selection_enable->set_enabled(selection_shown);
    p.selection_group->set_enabled(selection_shown);
    p.selection_layer->set_enabled(selection_shown && selection_on);
    if (!premiere) {
        set_enabled({p.lightness_group.get(), p.lightness_climax.get(), p.lightness_offset.get(), p.hue_group.get(),
                     p.hue_start.get(), p.hue_end.get(), p.hue_climax.get(), p.hue_soften.get(), p.hue_offset.get(),
                     p.saturation_group.get(), p.saturation_start.get(), p.saturation_end.get(),
                     p.saturation_climax.get(), p.saturation_soften.get(), p.saturation_offset.get()},
                    selection_shown && selection_on);
    }
    set_enabled({p.lightness_start.get(), p.lightness_end.get(), p.lightness_soften.get()},
                selection_shown && selection_on);

    // With "extend" the blur continues the image as transparent, so the edge rules are greyed out.
    p.outside_extend->set_enabled(blur_shown);
    set_enabled({p.outside_group.get(), p.outside_horizontal.get(), p.outside_vertical.get()}, blur_shown && !extend);
    p.outside_color->set_enabled(blur_shown && !extend && color_assumed);
}

}  // namespace nb
