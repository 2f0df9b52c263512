// Colours read back per host, colour writes, and colour-with-alpha controls acting as one.
#include "base/after_effects/after_effects_parameter_colors.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>

#include "base/exception.h"
#include "tests/support/ae_binding_rig.h"
#include "tests/support/assertion_check.h"
#include "tests/support/log_sandbox.h"

namespace nb {
namespace {

struct Color_Set {
    std::unique_ptr<Rgb_Parameter> rgb;    // host index 1
    std::unique_ptr<Rgba_Parameter> rgba;  // host indices 2 and 3
};

Color_Set declare(Parameter_Factory& factory) {
    Color_Set set;
    set.rgb = factory.create_rgb(Rgb_Parameter_Description("tint", "", 1));
    Rgba_Parameter_Description rgba("outside color", "", 2, 3);
    rgba.alpha = 1.0;
    set.rgba = factory.create_rgba(rgba);
    return set;
}

// The host holds bytes (64, 128, 255) for both colours and, under After Effects, the finer colour
// (0.25, 0.5, 0.9) behind them; the alpha slider holds 0.375.
void store_colors(test::Ae_Binding_Rig& rig) {
    for (int32_t index : {1, 2}) {
        rig.stored(index).u.cd.value = PF_Pixel{255, 64, 128, 255};
        rig.effect().parameter_state().set_float_color(index, PF_PixelFloat{1.0f, 0.25f, 0.5f, 0.9f});
    }
    rig.stored(3).u.fs_d.value = 0.375;
}

TEST(AfterEffectsParameterColors, AfterEffectsGivesTheFloatingPointColour) {
    test::Ae_Binding_Rig rig;
    Color_Set set = rig.set_up_and_bind(declare);
    store_colors(rig);
    EXPECT_EQ(set.rgb->value(), (std::array<float, 3>{0.25f, 0.5f, 0.9f}));
    EXPECT_EQ(set.rgba->value(), (std::array<float, 4>{0.25f, 0.5f, 0.9f, 0.375f}));
    EXPECT_EQ(rig.host().faults().calls("PF_GetFloatingPointColorFromColorDef"), 2);
}

TEST(AfterEffectsParameterColors, PremiereGivesTheBytesOver255) {
    test::Ae_Binding_Rig rig(test::premiere_settings());
    Color_Set set = rig.set_up_and_bind(declare);
    store_colors(rig);
    EXPECT_EQ(set.rgb->value(), (std::array<float, 3>{64 / 255.0f, 128 / 255.0f, 1.0f}));
    EXPECT_EQ(set.rgba->value(), (std::array<float, 4>{64 / 255.0f, 128 / 255.0f, 1.0f, 0.375f}));
    EXPECT_EQ(rig.host().faults().calls("PF_GetFloatingPointColorFromColorDef"), 0);
}

TEST(AfterEffectsParameterColors, WritesStoreBytesAndMarkEveryRecordTouched) {
    test::Ae_Binding_Rig rig;
    Color_Set set = rig.set_up_and_bind(declare);
    // 0.5 * 255 = 127.5 truncates; components beyond 0..1 are held to the ends.
    set.rgb->set_value(0.5f, -0.25f, 1.5f);
    const PF_Pixel& rgb = rig.command_record(1).u.cd.value;
    EXPECT_EQ((std::array<int, 3>{rgb.red, rgb.green, rgb.blue}), (std::array<int, 3>{127, 0, 255}));
    EXPECT_EQ(rig.command_record(1).uu.change_flags, PF_ChangeFlag_CHANGED_VALUE);

    set.rgba->set_value(1.0f, 0.2f, 0.0f, 0.625f);
    const PF_Pixel& rgba = rig.command_record(2).u.cd.value;
    EXPECT_EQ((std::array<int, 3>{rgba.red, rgba.green, rgba.blue}), (std::array<int, 3>{255, 51, 0}));
    EXPECT_EQ(rig.command_record(3).u.fs_d.value, 0.625);
    EXPECT_EQ(rig.command_record(2).uu.change_flags, PF_ChangeFlag_CHANGED_VALUE);
    EXPECT_EQ(rig.command_record(3).uu.change_flags, PF_ChangeFlag_CHANGED_VALUE);
}

TEST(AfterEffectsParameterColors, ColourWithAlphaIsEnabledAndShownAsOne) {
    test::Ae_Binding_Rig rig;
    Color_Set set = rig.set_up_and_bind(declare);
    Parameter& color = *set.rgba;
    color.set_enabled(false);
    color.set_visible(false);
    const auto& updates = rig.effect().parameter_state().ui_updates();
    ASSERT_EQ(updates.size(), 4u);
    EXPECT_EQ(updates[0].index, 2);  // colour first, then its alpha
    EXPECT_EQ(updates[1].index, 3);
    for (int32_t index : {2, 3})
        EXPECT_EQ(rig.stored(index).ui_flags, PF_PUI_DISABLED | PF_PUI_INVISIBLE) << "index " << index;
    color.set_enabled(true);
    EXPECT_EQ(rig.stored(3).ui_flags, PF_PUI_INVISIBLE);
}

TEST(AfterEffectsParameterColors, ColourSuiteFailures) {
    test::Log_Sandbox log;
    test::Ae_Binding_Rig rig;
    Color_Set set = rig.set_up_and_bind(declare);
    rig.host().faults().inject("PF_GetFloatingPointColorFromColorDef", PF_Interrupt_CANCEL, 1);
    EXPECT_THROW(set.rgb->value(), Exception_Abort);
    rig.host().register_suite(kPFColorParamSuite, 1, nullptr);  // success, but no table
    EXPECT_TRUE(test::throws_with<Exception_Ae_Suite>([&] { set.rgba->value(); },
                                                      "Can't AcquireSuite (PF ColorParamSuite, 1)", 0));
}

}  // namespace
}  // namespace nb
