// The host's parameter state: kept texts, refreshes taken over, animation and channels.
#include "host/effect_parameter_state.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace nb::host {
namespace {

TEST(EffectParameterState, AddedTextsOutliveThePluginsCopies) {
    Effect_Parameter_State state;
    PF_ParamDef popup{};
    popup.param_type = PF_Param_POPUP;
    PF_ParamDef button{};
    button.param_type = PF_Param_BUTTON;
    {
        std::string names = "a|b|";
        std::string label = "press";
        popup.u.pd.u.namesptr = names.c_str();
        button.u.button_d.u.namesptr = label.c_str();
        state.keep_texts(popup);
        state.keep_texts(button);
        names.assign(names.size(), 'x');
        label.assign(label.size(), 'x');
    }
    EXPECT_STREQ(popup.u.pd.u.namesptr, "a|b|");
    EXPECT_STREQ(button.u.button_d.u.namesptr, "press");
}

TEST(EffectParameterState, RefreshTakesOverWhatTheControlShows) {
    Effect_Parameter_State state;
    PF_ParamDef stored{};
    stored.param_type = PF_Param_FLOAT_SLIDER;
    stored.u.fs_d.value = 0.5;
    PF_ParamDef passed = stored;
    passed.ui_flags = PF_PUI_DISABLED;
    passed.flags = PF_ParamFlag_COLLAPSE_TWIRLY;
    std::strcpy(passed.name, "renamed");
    passed.u.fs_d.slider_max = 9.0f;
    passed.u.fs_d.precision = 3;
    passed.u.fs_d.value = 0.75;  // a value comes back only through change flags, not a refresh
    state.update_ui(stored, 4, passed);
    EXPECT_EQ(stored.ui_flags, PF_PUI_DISABLED);
    EXPECT_EQ(stored.flags, PF_ParamFlag_COLLAPSE_TWIRLY);
    EXPECT_STREQ(stored.name, "renamed");
    EXPECT_EQ(stored.u.fs_d.slider_max, 9.0f);
    EXPECT_EQ(stored.u.fs_d.precision, 3);
    EXPECT_EQ(stored.u.fs_d.value, 0.5);
    ASSERT_EQ(state.ui_updates().size(), 1u);
    EXPECT_EQ(state.ui_updates()[0].index, 4);
}

TEST(EffectParameterState, KeyframesAndExpressionsBothVary) {
    Effect_Parameter_State state;
    EXPECT_EQ(state.keyframes(3), 0);
    EXPECT_FALSE(state.time_varying(3));
    state.set_animation(3, 0, true);
    EXPECT_TRUE(state.time_varying(3));
    state.set_animation(3, 5, false);
    EXPECT_EQ(state.keyframes(3), 5);
    EXPECT_TRUE(state.time_varying(3));
}

TEST(EffectParameterState, ChosenLayerSetsTheLeadingReference) {
    int pixel = 0;
    PF_EffectWorld world{};
    world.data = reinterpret_cast<PF_PixelPtr>(&pixel);
    PF_ParamDef layer{};
    choose_layer(layer, world);
    EXPECT_NE(layer.u.ld.reserved0, nullptr);
    EXPECT_EQ(layer.u.ld.data, world.data);
    clear_layer(layer);
    EXPECT_EQ(layer.u.ld.reserved0, nullptr);
    EXPECT_EQ(layer.u.ld.data, nullptr);
}

}  // namespace
}  // namespace nb::host
