// What the host knows about an effect's parameters beyond their records: control refreshes asked
// for, animation, full-precision colours, and layers chosen.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "base/after_effects/ae_sdk.h"

namespace nb::host {

// One refresh the plug-in asked for, with the record as it passed it.
struct Parameter_Ui_Update {
    PF_ParamIndex index = 0;
    PF_ParamDef record{};
};

// Owned by one Effect_Instance and used on the thread driving it.
class Effect_Parameter_State {
public:
    // Gives the texts a newly added record points to (popup entries, button and checkbox labels) host-owned
    // copies, as the host keeps them after the plug-in's own have gone.
    void keep_texts(PF_ParamDef& stored);

    // Refreshes in the order asked for.
    const std::vector<Parameter_Ui_Update>& ui_updates() const { return ui_updates_; }
    // Records the refresh and takes over what a control shows into the host's record: name, flags,
    // interface flags and, for a float slider, its ranges and precision.
    void update_ui(PF_ParamDef& stored, PF_ParamIndex index, const PF_ParamDef& record);

    // The stream of the parameter at index gets keyframes (0: none) and, separately, an expression.
    void set_animation(PF_ParamIndex index, A_long keyframes, bool expression);
    A_long keyframes(PF_ParamIndex index) const;
    bool time_varying(PF_ParamIndex index) const;

    // The colour of the colour control at index at full precision; without one the host derives it
    // from the record's bytes.
    void set_float_color(PF_ParamIndex index, const PF_PixelFloat& color);
    const PF_PixelFloat* float_color(PF_ParamIndex index) const;

private:
    struct Animation {
        A_long keyframes = 0;
        bool expression = false;
    };

    std::deque<std::string> texts_;  // a deque, so kept texts never move
    std::vector<Parameter_Ui_Update> ui_updates_;
    std::map<PF_ParamIndex, Animation> animation_;
    std::map<PF_ParamIndex, PF_PixelFloat> float_colors_;
};

}  // namespace nb::host

namespace nb::host {

// Puts world into the stored record of a layer parameter as the host does when the user picks a layer:
// the pixels for checkouts, and the record's leading reference set, which newer hosts leave non-null
// exactly while a layer is chosen.
void choose_layer(PF_ParamDef& stored, const PF_EffectWorld& world);
// Leaves the layer parameter without a layer.
void clear_layer(PF_ParamDef& stored);

}  // namespace nb::host
