// Bound parameters against the host's records: values read and written per kind and host, the control
// operations, custom data, the animation query, and how the host's failures reach the caller.
#include "base/after_effects/after_effects_parameter.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <memory>
#include <string>
#include <tuple>

#include "base/after_effects/after_effects_parameter_colors.h"
#include "base/after_effects/after_effects_parameter_values.h"
#include "base/after_effects/helper/ae_host.h"
#include "base/exception.h"
#include "host/host_aegp_suites.h"
#include "tests/support/ae_binding_rig.h"
#include "tests/support/assertion_check.h"
#include "tests/support/log_sandbox.h"

namespace nb {
namespace {

// One parameter of each kind, in host order 1 to 10 (the colour with alpha takes 9 and 10).
struct Value_Set {
    std::unique_ptr<Float_Parameter> amount;
    std::unique_ptr<Angle_Parameter> angle;
    std::unique_ptr<Int_Parameter> count;
    std::unique_ptr<Checkbox_Parameter> check;
    std::unique_ptr<Choice_Parameter> choice;
    std::unique_ptr<Point_2d_Parameter> point;
    std::unique_ptr<Layer_Parameter> layer;
    std::unique_ptr<Rgb_Parameter> rgb;
    std::unique_ptr<Rgba_Parameter> rgba;
};

Value_Set declare(Parameter_Factory& factory) {
    Value_Set set;
    Float_Parameter_Description amount("amount", "", 1);
    amount.default_value = 0.25;
    amount.slider_min = -2.0;
    amount.slider_max = 3.0;
    set.amount = factory.create_float(amount);
    set.angle = factory.create_angle(Angle_Parameter_Description("angle", "", 2));
    set.count = factory.create_int(Int_Parameter_Description("count", "", 3));
    set.check = factory.create_checkbox(Checkbox_Parameter_Description("check", "", 4));
    Choice_Parameter_Description choice("choice", "", 5);
    choice.entries = {"first", "second", "third", "fourth"};
    set.choice = factory.create_choice(choice);
    set.point = factory.create_point_2d(Point_2d_Parameter_Description("point", "", 6));
    set.layer = factory.create_layer(Layer_Parameter_Description("layer", "", 7));
    set.rgb = factory.create_rgb(Rgb_Parameter_Description("tint", "", 8));
    set.rgba = factory.create_rgba(Rgba_Parameter_Description("outside color", "", 9, 10));
    return set;
}

// The host holds bytes (64, 128, 255) for both colours and, under After Effects, the finer colour (0.25,
// 0.5, 0.9) behind them: After Effects gives that one, Premiere the bytes over 255.
TEST(AfterEffectsParameterValues, ReadsConvertTheHostsCurrentRecords) {
    for (const bool premiere : {false, true}) {
        test::Ae_Binding_Rig rig(premiere ? test::premiere_settings() : host::Effect_Settings{});
        Value_Set set = rig.set_up_and_bind(declare);
        rig.stored(1).u.fs_d.value = 0.1;
        rig.stored(2).u.ad.value = 45 * 65536 + 32768;  // 45.5 degrees in 16.16
        rig.stored(3).u.sd.value = -7;
        rig.stored(4).u.bd.value = 1;
        rig.stored(5).u.pd.value = 4;  // the host's first entry is 1
        rig.stored(6).u.td.x_value = -32768;
        rig.stored(6).u.td.y_value = 3 * 65536;
        for (int32_t index : {8, 9}) {
            rig.stored(index).u.cd.value = PF_Pixel{255, 64, 128, 255};
            rig.effect().parameter_state().set_float_color(index, PF_PixelFloat{1.0f, 0.25f, 0.5f, 0.9f});
        }
        rig.stored(10).u.fs_d.value = 0.375;
        EXPECT_EQ(set.amount->value(), 0.1);
        EXPECT_EQ(set.angle->value(), 45.5);
        EXPECT_EQ(set.count->value(), -7);
        EXPECT_TRUE(set.check->value());
        EXPECT_EQ(set.choice->value(), 3);
        EXPECT_EQ(set.point->value(), std::make_pair(-0.5, 3.0));
        const std::array<float, 3> rgb = premiere ? std::array<float, 3>{64 / 255.0f, 128 / 255.0f, 1.0f}
                                                  : std::array<float, 3>{0.25f, 0.5f, 0.9f};
        EXPECT_EQ(set.rgb->value(), rgb) << "premiere " << premiere;
        EXPECT_EQ(set.rgba->value(), (std::array<float, 4>{rgb[0], rgb[1], rgb[2], 0.375f})) << "premiere " << premiere;
        EXPECT_EQ(rig.host().faults().calls("PF_GetFloatingPointColorFromColorDef"), premiere ? 0 : 2);
        EXPECT_EQ(rig.host().faults().calls("checkout_param"), rig.host().faults().calls("checkin_param"));
        // Slider ends come from the call's record, without a checkout.
        const int64_t checkouts = rig.host().faults().calls("checkout_param");
        EXPECT_EQ(set.amount->slider_min(), -2.0);
        EXPECT_EQ(set.amount->slider_max(), 3.0);
        EXPECT_EQ(rig.host().faults().calls("checkout_param"), checkouts);
    }
}

// Colour components are truncated to bytes and held to 0..1: 0.5 * 255 = 127.5 gives 127, 0.2 * 255 = 51.
TEST(AfterEffectsParameterValues, WritesMarkTheCallsRecordsChangedWithoutARefresh) {
    test::Ae_Binding_Rig rig;
    Value_Set set = rig.set_up_and_bind(declare);
    set.amount->set_value(0.125);
    set.check->set_value(true);
    set.choice->set_value(2);
    set.rgb->set_value(0.5f, -0.25f, 1.5f);
    set.rgba->set_value(1.0f, 0.2f, 0.0f, 0.625f);
    EXPECT_EQ(rig.command_record(1).u.fs_d.value, 0.125);
    EXPECT_EQ(rig.command_record(4).u.bd.value, 1);
    EXPECT_EQ(rig.command_record(5).u.pd.value, 3);
    const PF_Pixel& rgb = rig.command_record(8).u.cd.value;
    EXPECT_EQ((std::array<int, 3>{rgb.red, rgb.green, rgb.blue}), (std::array<int, 3>{127, 0, 255}));
    const PF_Pixel& rgba = rig.command_record(9).u.cd.value;
    EXPECT_EQ((std::array<int, 3>{rgba.red, rgba.green, rgba.blue}), (std::array<int, 3>{255, 51, 0}));
    EXPECT_EQ(rig.command_record(10).u.fs_d.value, 0.625);
    for (int32_t index : {1, 4, 5, 8, 9, 10})
        EXPECT_EQ(rig.command_record(index).uu.change_flags, PF_ChangeFlag_CHANGED_VALUE) << "index " << index;
    EXPECT_TRUE(rig.effect().parameter_state().ui_updates().empty());
}

// Each step flips one flag and refreshes; the host takes the refreshed record over. A colour with alpha
// is enabled and shown as one, its alpha slider refreshed after it.
TEST(AfterEffectsParameterValues, ControlOperationsRefreshTheControl) {
    test::Ae_Binding_Rig rig;
    Value_Set set = rig.set_up_and_bind(declare);
    const auto& updates = rig.effect().parameter_state().ui_updates();
    const struct {
        void (*apply)(Parameter&);
        PF_ParamUIFlags ui_flags;
    } steps[] = {
        {[](Parameter& p) { p.set_enabled(false); }, PF_PUI_DISABLED},
        {[](Parameter& p) { p.set_visible(false); }, PF_PUI_DISABLED | PF_PUI_INVISIBLE},
        {[](Parameter& p) { p.set_enabled(true); }, PF_PUI_INVISIBLE},
        {[](Parameter& p) { p.set_visible(true); }, 0},
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        steps[i].apply(*set.amount);
        steps[i].apply(*set.rgba);
        ASSERT_EQ(updates.size(), 3 * (i + 1));
        EXPECT_EQ(updates[3 * i].index, 1);
        EXPECT_EQ(updates[3 * i + 1].index, 9);
        EXPECT_EQ(updates[3 * i + 2].index, 10);
        for (int32_t index : {1, 9, 10}) EXPECT_EQ(rig.stored(index).ui_flags, steps[i].ui_flags) << "step " << i;
    }
    EXPECT_EQ(rig.command_record(1).uu.change_flags & PF_ChangeFlag_CHANGED_VALUE, 0);

    // Renaming and expanding also mark the value; names are cut to the host's 31 characters.
    set.amount->set_name("a new name that runs past the host's limit");
    EXPECT_STREQ(rig.command_record(1).name, "a new name that runs past the h");
    set.amount->set_expanded(true);
    EXPECT_EQ(rig.command_record(1).flags & PF_ParamFlag_COLLAPSE_TWIRLY, 0);
    EXPECT_NE(rig.command_record(1).uu.change_flags & PF_ChangeFlag_CHANGED_VALUE, 0);
    set.amount->set_expanded(false);
    EXPECT_NE(rig.command_record(1).flags & PF_ParamFlag_COLLAPSE_TWIRLY, 0);

    set.amount->set_valid_range(-1.0, std::numeric_limits<double>::max());
    set.amount->set_slider_range(0.0, 0.3);
    set.amount->set_precision(4);
    EXPECT_EQ(updates.size(), 18u);
    const PF_FloatSliderDef& slider = rig.stored(1).u.fs_d;
    EXPECT_EQ(slider.valid_min, -1.0f);
    EXPECT_EQ(slider.valid_max, std::numeric_limits<float>::infinity());
    EXPECT_EQ(slider.slider_max, 0.3f);
    EXPECT_EQ(slider.precision, 4);
}

TEST(AfterEffectsParameterValues, InterfaceOnlyControlsReadTheCallsRecordAndRefreshOnWrites) {
    test::Ae_Binding_Rig rig;
    auto control = rig.set_up_and_bind([](Parameter_Factory& factory) {
        Float_Parameter_Description description("amount", "", 1);
        description.interface_only = true;
        return factory.create_float(description);
    });
    rig.command_record(1).u.fs_d.value = 0.75;  // what the host passed with this command
    EXPECT_EQ(control->value(), 0.75);
    EXPECT_EQ(rig.host().faults().calls("checkout_param"), 0);
    control->set_value(0.5);
    ASSERT_EQ(rig.effect().parameter_state().ui_updates().size(), 1u);
    EXPECT_EQ(rig.effect().parameter_state().ui_updates().back().record.u.fs_d.value, 0.5);
    EXPECT_EQ(rig.command_record(1).uu.change_flags & PF_ChangeFlag_CHANGED_VALUE, 0);
}

TEST(AfterEffectsParameterValues, HostFailuresAreThrown) {
    test::Log_Sandbox log;
    test::Ae_Binding_Rig rig;
    Value_Set set = rig.set_up_and_bind(declare);
    for (PF_Err error : {PF_Interrupt_CANCEL, PF_Err_INVALID_INDEX}) {
        rig.host().faults().inject("checkout_param", error, 1);
        EXPECT_TRUE(test::throws_with<Exception_After_Effects>([&] { set.amount->value(); }, "PF_CHECKOUT_PARAM() failed",
                                                               error));
    }
    rig.host().faults().inject("PF_UpdateParamUI", PF_Interrupt_CANCEL, 1);
    EXPECT_THROW(set.amount->set_enabled(false), Exception_Abort);
    rig.host().faults().inject("PF_UpdateParamUI", PF_Err_BAD_CALLBACK_PARAM, 1);
    EXPECT_THROW(set.amount->set_enabled(false), Exception_After_Effects);
    rig.host().faults().inject("PF_GetFloatingPointColorFromColorDef", PF_Interrupt_CANCEL, 1);
    EXPECT_THROW(set.rgb->value(), Exception_Abort);
    rig.host().withdraw_suite(kPFParamUtilsSuite, 2);
    EXPECT_THROW(set.amount->set_visible(false), Exception_Ae_Suite);
    rig.host().register_suite(kPFColorParamSuite, 1, nullptr);  // success, but no table
    EXPECT_TRUE(test::throws_with<Exception_Ae_Suite>([&] { set.rgba->value(); },
                                                      "Can't AcquireSuite (PF ColorParamSuite, 1)", 0));
    // Without the call's records there is nothing to refresh.
    Parameter_Factory_After_Effects factory(rig.in_data(), nullptr, nullptr);
    EXPECT_THROW(factory.create_float(Float_Parameter_Description("b", "", 2))->set_enabled(false), Exception_Assert);
}

struct Layer_Case {
    A_long appl_id;
    A_short major, minor;
    bool chosen;
    bool expected;
    int64_t checkouts;  // what telling it took
};

class AfterEffectsParameterValuesLayer : public ::testing::TestWithParam<Layer_Case> {};

// Recent After Effects tells from the call's record, older versions and Premiere check the layer out.
TEST_P(AfterEffectsParameterValuesLayer, HasLayerByHostAndApiVersion) {
    const Layer_Case c = GetParam();
    test::Ae_Binding_Rig rig(host::Effect_Settings{.appl_id = c.appl_id, .version_major = c.major, .version_minor = c.minor});
    int pixel = 0;
    PF_EffectWorld world{};
    world.data = reinterpret_cast<PF_PixelPtr>(&pixel);
    world.width = world.height = 1;
    Value_Set set = rig.set_up_and_bind(declare);
    if (c.chosen) {
        host::choose_layer(rig.stored(7), world);
        host::choose_layer(rig.command_record(7), world);
    }
    EXPECT_EQ(set.layer->has_layer(), c.expected);
    EXPECT_EQ(rig.host().faults().calls("checkout_param"), c.checkouts);
}

INSTANTIATE_TEST_SUITE_P(Cases, AfterEffectsParameterValuesLayer,
                         ::testing::Values(Layer_Case{host::app_id_after_effects, 13, 9, true, true, 0},
                                           Layer_Case{host::app_id_after_effects, 13, 9, false, false, 0},
                                           Layer_Case{host::app_id_after_effects, 13, 8, true, true, 1},
                                           Layer_Case{host::app_id_premiere, 13, 28, false, false, 1},
                                           Layer_Case{host::app_id_after_effects, 12, 11, true, true, 1},
                                           Layer_Case{host::app_id_after_effects, 12, 10, true, false, 0}));

// Keyframes or an expression animate. The handles taken are disposed of even when a later call fails; a
// refused disposal is only logged.
TEST(AfterEffectsParameterAnimation, KeyframesOrAnExpressionAnimateAndHandlesAreAlwaysDisposedOf) {
    test::Log_Sandbox log;
    aegp_plugin_id = 17;
    test::Ae_Binding_Rig rig;
    Value_Set set = rig.set_up_and_bind(declare);
    for (const auto& [keyframes, expression, animated] : {std::tuple{0, false, false}, {2, false, true}, {0, true, true}}) {
        rig.effect().parameter_state().set_animation(1, keyframes, expression);
        EXPECT_EQ(set.amount->is_animated(), animated) << keyframes << " keyframes, expression " << expression;
    }
    EXPECT_EQ(rig.host().aegp_suites().last_plugin_id(), 17);
    aegp_plugin_id = 0;
    for (const char* call : {"AEGP_GetNewEffectForEffect", "AEGP_GetNewEffectStreamByIndex", "AEGP_GetStreamNumKFs",
                             "AEGP_IsStreamTimevarying"}) {
        rig.host().faults().inject(call, A_Err_GENERIC, 1);
        EXPECT_TRUE(test::throws_with<Exception_After_Effects>([&] { set.amount->is_animated(); },
                                                               "After Effects Suite Error (A_Err)", A_Err_GENERIC))
            << call;
        EXPECT_EQ(rig.host().aegp_suites().live_streams(), 0) << call;
        EXPECT_EQ(rig.host().aegp_suites().live_effects(), 0) << call;
    }
    rig.host().faults().inject("AEGP_DisposeStream", A_Err_PARAMETER, 1);
    EXPECT_NO_THROW(set.amount->is_animated());
    EXPECT_EQ(log_instance().remembered().back(), "-**### WARNING ###**-: AEGP_DisposeStream failed. Error code: 3\n");
    EXPECT_EQ(rig.host().aegp_suites().live_effects(), 0);
    rig.expect_leftovers();  // the host kept the stream it refused to dispose of
}

}  // namespace
}  // namespace nb
