// The host records the parameter setup adds: each kind's form, the description's flags, refusals.
#include "base/after_effects/after_effects_parameter_setup.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "base/after_effects/after_effects_arbitrary_data.h"
#include "base/after_effects/after_effects_parameter_custom.h"
#include "base/after_effects/after_effects_parameter_factory.h"
#include "tests/support/ae_binding_rig.h"
#include "tests/support/assertion_check.h"
#include "tests/support/log_sandbox.h"

namespace nb {
namespace {

using Owned = std::vector<std::unique_ptr<Parameter>>;

// Declares through the binding's factory as the entry point does at PF_Cmd_PARAMS_SETUP, then sets up.
PF_OutData set_up(test::Ae_Binding_Rig& rig, const std::function<void(Parameter_Factory&, Owned&)>& declare) {
    Parameter_Factory_After_Effects factory(rig.in_data(), nullptr, nullptr);
    Owned owned;
    declare(factory, owned);
    PF_OutData out{};
    parameter_setup(rig.in_data(), &out, factory.parameter_list());
    return out;
}

TEST(AfterEffectsParameterSetup, EachKindHasItsHostForm) {
    test::Ae_Binding_Rig rig;
    const PF_OutData out = set_up(rig, [](Parameter_Factory& factory, Owned& owned) {
        Angle_Parameter_Description angle("angle", "", 1);
        angle.default_value = 90.0;
        owned.push_back(factory.create_angle(angle));
        Checkbox_Parameter_Description check("check", "", 2);
        check.default_value = true;
        owned.push_back(factory.create_checkbox(check));
        Button_Parameter_Description button("button", "", 3);
        button.label = "press";
        owned.push_back(factory.create_button(button));
        Point_2d_Parameter_Description point("point", "", 4);
        point.x = -0.5;
        point.y = 0.255;  // whole percent: 25
        point.restrict_bounds = true;
        owned.push_back(factory.create_point_2d(point));
        owned.push_back(factory.create_layer(Layer_Parameter_Description("input", "", 0)));
        Int_Parameter_Description count("count", "", 5);
        count.default_value = 3;
        count.valid_min = 1;
        count.valid_max = 9;
        count.slider_max = 8;
        owned.push_back(factory.create_int(count));
        Rgb_Parameter_Description rgb("rgb", "", 6);
        rgb.red = 0.5;  // 127.5 truncates to 127
        rgb.green = 1.0;
        rgb.blue = 2.0;  // held to 255
        owned.push_back(factory.create_rgb(rgb));
        Choice_Parameter_Description choice("show", "", 7);
        choice.entries = {"normal", "iris", "selection"};
        choice.default_index = 1;
        owned.push_back(factory.create_choice(choice));
        Float_Parameter_Description thickness("thickness", "", 8);  // the host keeps 32-bit floats
        thickness.default_value = 0.3;
        thickness.valid_max = std::numeric_limits<double>::max();
        thickness.slider_max = 50.0;
        owned.push_back(factory.create_float(thickness));
        Float_Parameter_Description free("free", "", 9);  // every range ±DBL_MAX
        free.percent = true;
        free.pixel = true;
        owned.push_back(factory.create_float(free));
        Rgba_Parameter_Description color("a colour named at length, 28", "", 10, 11);
        color.alpha = 0.5;
        owned.push_back(factory.create_rgba(color));
    });
    // The layer with identifier 0 is the input: counted, not added. The colour adds its alpha slider.
    EXPECT_EQ(out.num_params, 13);
    ASSERT_EQ(rig.effect().parameters().size(), 12u);
    EXPECT_EQ(rig.stored(1).u.ad.value, 90 * 65536);
    EXPECT_EQ(rig.stored(2).u.bd.value, 1);
    EXPECT_EQ(rig.stored(3).ui_flags, PF_PUI_STD_CONTROL_ONLY);
    EXPECT_STREQ(rig.stored(3).u.button_d.u.namesptr, "press");
    const PF_PointDef& p = rig.stored(4).u.td;
    EXPECT_EQ(p.x_value, -50 * 65536);
    EXPECT_EQ(p.y_value, 25 * 65536);
    EXPECT_EQ(p.restrict_bounds, 1);
    const PF_SliderDef& s = rig.stored(5).u.sd;
    EXPECT_EQ(s.value, 3);
    EXPECT_EQ(s.valid_min, 1);
    EXPECT_EQ(s.valid_max, 9);
    EXPECT_EQ(s.slider_max, 8);
    const PF_Pixel rgb{255, 127, 255, 255};
    EXPECT_EQ(std::memcmp(&rig.stored(6).u.cd.value, &rgb, sizeof rgb), 0);
    const PF_PopupDef& show = rig.stored(7).u.pd;
    EXPECT_EQ(show.num_choices, 3);
    EXPECT_EQ(show.value, 2);
    EXPECT_STREQ(show.u.namesptr, "normal|iris|selection|");
    constexpr float infinity = std::numeric_limits<float>::infinity();
    const PF_FloatSliderDef& thickness = rig.stored(8).u.fs_d;
    EXPECT_EQ(thickness.dephault, 0.3f);
    EXPECT_EQ(thickness.value, static_cast<double>(0.3f));
    EXPECT_EQ(thickness.valid_max, infinity);
    EXPECT_EQ(thickness.slider_max, 50.0f);
    const PF_FloatSliderDef& free = rig.stored(9).u.fs_d;
    EXPECT_EQ(free.valid_min, -infinity);
    EXPECT_EQ(free.slider_max, infinity);
    EXPECT_EQ(free.display_flags, PF_ValueDisplayFlag_PERCENT | PF_ValueDisplayFlag_PIXEL);
    const PF_ParamDef& alpha = rig.stored(11);
    EXPECT_STREQ(alpha.name, "a colour named at length, 28 (a") << "names are cut to 31 characters";
    EXPECT_EQ(alpha.uu.id, 11);
    EXPECT_EQ(alpha.flags, rig.stored(10).flags);
    EXPECT_EQ(alpha.u.fs_d.value, 0.5);
    EXPECT_EQ(alpha.u.fs_d.valid_max, 1.0f);
}

TEST(AfterEffectsParameterSetup, DescriptionFlagsMapOntoTheRecord) {
    const struct {
        const char* name;
        void (*change)(Parameter_Description&);
        PF_ParamFlags flags;
        PF_ParamUIFlags ui_flags;
    } cases[] = {
        {"defaults", [](Parameter_Description&) {}, PF_ParamFlag_COLLAPSE_TWIRLY, 0},
        {"not animatable", [](Parameter_Description& d) { d.animatable = false; },
         PF_ParamFlag_COLLAPSE_TWIRLY | PF_ParamFlag_CANNOT_TIME_VARY, 0},
        {"supervised", [](Parameter_Description& d) { d.supervise = true; },
         PF_ParamFlag_COLLAPSE_TWIRLY | PF_ParamFlag_SUPERVISE, 0},
        {"interface only", [](Parameter_Description& d) { d.interface_only = true; },
         PF_ParamFlag_COLLAPSE_TWIRLY | PF_ParamFlag_CANNOT_TIME_VARY, PF_PUI_STD_CONTROL_ONLY},
        {"open", [](Parameter_Description& d) { d.start_collapsed = false; }, 0, 0},
        {"disabled", [](Parameter_Description& d) { d.enabled = false; }, PF_ParamFlag_COLLAPSE_TWIRLY,
         PF_PUI_DISABLED},
        {"hidden", [](Parameter_Description& d) { d.visible = false; }, PF_ParamFlag_COLLAPSE_TWIRLY,
         PF_PUI_INVISIBLE | PF_PUI_NO_ECW_UI},
    };
    for (const auto& c : cases) {
        test::Ae_Binding_Rig rig;
        set_up(rig, [&](Parameter_Factory& factory, Owned& owned) {
            Float_Parameter_Description description("flagged", "", 0x100000007);  // the host keeps 32 bits
            c.change(description);
            owned.push_back(factory.create_float(description));
        });
        EXPECT_EQ(rig.stored(1).flags, c.flags) << c.name;
        EXPECT_EQ(rig.stored(1).ui_flags, c.ui_flags) << c.name;
        EXPECT_EQ(rig.stored(1).uu.id, 7) << c.name;
    }
}

// Default data of one 32-bit word holding 42 (the control) or 7 (its interface data).
class Word_Data : public Arbitrary_Data_Functions {
public:
    explicit Word_Data(int32_t word) : word_(word) {}
    PF_Handle new_default(PF_InData* in_data) const override {
        PF_Handle handle = in_data->utils->host_new_handle(sizeof word_);
        std::memcpy(in_data->utils->host_lock_handle(handle), &word_, sizeof word_);
        in_data->utils->host_unlock_handle(handle);
        return handle;
    }

private:
    int32_t word_;
};

PF_CustomUIInfo registered_interface{};
PF_Err register_interface(PF_ProgPtr, PF_CustomUIInfo* info) {
    registered_interface = *info;
    return PF_Err_NONE;
}

std::unique_ptr<Custom_Parameter> declare_custom(Parameter_Factory& factory) {
    Custom_Parameter_Description custom("drawn", "", 7);
    custom.ui_height = 40;
    custom.disc_id_gui_data = 8;
    custom.data_functions = std::make_shared<Word_Data>(42);
    custom.gui_data_functions = std::make_shared<Word_Data>(7);
    return factory.create_custom(custom);
}

const auto one_custom = [](Parameter_Factory& factory, Owned& owned) { owned.push_back(declare_custom(factory)); };

int32_t word_at(void* data) {
    int32_t word = 0;
    std::memcpy(&word, data, sizeof word);
    return word;
}

// The drawn control and the hidden record of its interface data. A command with the records has their
// data locked once and kept; one without checks the records out until the parameter goes.
TEST(AfterEffectsParameterSetup, CustomControlAddsItsHiddenInterfaceDataAndLocksBoth) {
    test::Ae_Binding_Rig rig;
    rig.in_data()->inter.register_ui = register_interface;
    EXPECT_EQ(set_up(rig, one_custom).num_params, 3);
    const PF_ParamDef& control = rig.stored(1);
    EXPECT_EQ(control.param_type, PF_Param_ARBITRARY_DATA);
    EXPECT_EQ(control.ui_flags, PF_PUI_CONTROL | PF_PUI_DONT_ERASE_CONTROL);
    EXPECT_EQ(control.ui_height, 40);
    EXPECT_EQ(control.u.arb_d.id, 7);
    EXPECT_EQ(registered_interface.events, PF_CustomEFlag_EFFECT);
    const PF_ParamDef& hidden = rig.stored(2);
    EXPECT_STREQ(hidden.name, "drawn_gui_data");
    EXPECT_EQ(hidden.uu.id, 8);
    EXPECT_EQ(hidden.ui_flags, PF_PUI_INVISIBLE | PF_PUI_NO_ECW_UI);
    EXPECT_NE(hidden.flags & PF_ParamFlag_CANNOT_TIME_VARY, 0);

    for (int32_t index : {1, 2}) rig.stored(index).u.arb_d.value = rig.stored(index).u.arb_d.dephault;
    {
        Parameter_Factory_After_Effects command(rig.in_data(), rig.command_params(), nullptr);
        auto custom = declare_custom(command);
        void* data = custom->data();
        EXPECT_EQ(word_at(data), 42);
        EXPECT_EQ(custom->data(), data);
        EXPECT_EQ(word_at(custom->gui_data()), 7);
        custom->gui_data_changed();
        EXPECT_EQ(rig.command_record(2).uu.change_flags, PF_ChangeFlag_CHANGED_VALUE);
        custom->data_changed();
        EXPECT_EQ(rig.command_record(1).uu.change_flags, PF_ChangeFlag_CHANGED_VALUE);
        custom->redraw();
        EXPECT_EQ(rig.effect().parameter_state().ui_updates().size(), 2u);
        EXPECT_EQ(rig.host().faults().calls("checkout_param"), 0);
    }
    Parameter_Factory_After_Effects command(rig.in_data(), nullptr, nullptr);
    {
        auto custom = declare_custom(command);
        EXPECT_EQ(word_at(custom->data()), 42);
        EXPECT_EQ(word_at(custom->gui_data()), 7);
        EXPECT_EQ(rig.effect().checked_out(), 2);
    }
    EXPECT_EQ(rig.effect().checked_out(), 0);
}

// A refused record is thrown with the host's code and leaks no default data.
TEST(AfterEffectsParameterSetup, RefusedRecordsAreThrown) {
    test::Log_Sandbox log;
    const auto one_float = [](Parameter_Factory& factory, Owned& owned) {
        owned.push_back(factory.create_float(Float_Parameter_Description("f", "", 1)));
    };
    test::Ae_Binding_Rig cancelled;
    cancelled.host().faults().inject("add_param", PF_Interrupt_CANCEL);
    EXPECT_THROW(set_up(cancelled, one_float), Exception_Abort);
    test::Ae_Binding_Rig refused;
    refused.in_data()->inter.register_ui = register_interface;
    refused.host().faults().inject("add_param", PF_Err_INVALID_INDEX);
    EXPECT_TRUE(test::throws_with<Exception_After_Effects>([&] { set_up(refused, one_custom); },
                                                           "After Effects api Error (PF_Err)", PF_Err_INVALID_INDEX));
    EXPECT_EQ(refused.host().handles().live_handles(), 0);
    test::Ae_Binding_Rig unregistered;
    EXPECT_TRUE(test::fails_assertion([&] { set_up(unregistered, one_custom); }, "in_data->inter.register_ui != nullptr",
                                      "base/after_effects/after_effects_parameter_setup"));
}

}  // namespace
}  // namespace nb
