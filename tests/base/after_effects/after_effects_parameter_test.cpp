// The host binding of parameters against the host's records: each kind's record at setup and its value
// in the host's units, the control operations, custom data, the animation query, host failures, the
// numbering of layers, and clearing a world.
#include "base/after_effects/after_effects_parameter.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "base/after_effects/after_effects_arbitrary_data.h"
#include "base/after_effects/after_effects_layers.h"
#include "base/after_effects/helper/ae_host.h"
#include "base/exception.h"
#include "base/host_context.h"
#include "base/parameter_kind.h"
#include "host/host_aegp_suites.h"
#include "tests/support/ae_binding_rig.h"
#include "tests/support/assertion_check.h"
#include "tests/support/log_sandbox.h"

namespace nb {
namespace {

// One parameter of each kind, most with one description flag changed, at host indices 1 to 11 in order
// (the colour's alpha at 10); the effect's input layer ends the controls and adds no record.
struct Kinds {
    std::unique_ptr<Float_Parameter> amount; std::unique_ptr<Angle_Parameter> angle; std::unique_ptr<Int_Parameter> count;
    std::unique_ptr<Checkbox_Parameter> check; std::unique_ptr<Choice_Parameter> choice; std::unique_ptr<Point_2d_Parameter> point;
    std::unique_ptr<Layer_Parameter> layer; std::unique_ptr<Rgb_Parameter> rgb; std::unique_ptr<Rgba_Parameter> rgba;
    std::unique_ptr<Button_Parameter> button; std::unique_ptr<Layer_Parameter> input;
};

template <class Description, class Change>
Description with(Description d, Change change) { return change(d), d; }

// Angles and points in 16.16, choices from 1, colour components truncated to bytes and held to 0..1.
Kinds declare(Parameter_Factory& f) {
    return Kinds{
        f.create_float(with(Float_Parameter_Description("amount", "", 0x100000001), [](auto& d) {  // the host keeps 32 bits
            std::tie(d.default_value, d.slider_min, d.slider_max) = std::tuple(0.3, -2.0, 50.0);
            std::tie(d.percent, d.pixel, d.start_collapsed) = std::tuple(true, true, false);
        })),
        f.create_angle(with(Angle_Parameter_Description("angle", "", 2), [](auto& d) { d.default_value = 90.5; d.animatable = false; })),
        f.create_int(with(Int_Parameter_Description("count", "", 3), [](auto& d) {
            std::tie(d.default_value, d.valid_min, d.valid_max, d.slider_max, d.supervise) = std::tuple(3, 1, 9, 8, true);
        })),
        f.create_checkbox(with(Checkbox_Parameter_Description("check", "", 4), [](auto& d) { d.default_value = d.interface_only = true; })),
        f.create_choice(with(Choice_Parameter_Description("choice", "", 5), [](auto& d) {
            d.entries = {"first", "second", "third", "fourth"};
            std::tie(d.default_index, d.enabled) = std::tuple(1, false);
        })),
        f.create_point_2d(with(Point_2d_Parameter_Description("point", "", 6), [](auto& d) {
            std::tie(d.x, d.y, d.restrict_bounds, d.visible) = std::tuple(-0.5, 0.255, true, false);  // whole percent: -50, 25
        })),
        f.create_layer(Layer_Parameter_Description("layer", "", 7)),
        f.create_rgb(with(Rgb_Parameter_Description("tint", "", 8), [](auto& d) { d.red = 0.5; d.green = 1.0; d.blue = 2.0; })),
        f.create_rgba(with(Rgba_Parameter_Description("a colour named at length, 28", "", 9, 10), [](auto& d) { d.alpha = 0.5; })),
        f.create_button(with(Button_Parameter_Description("button", "", 11), [](auto& d) { d.label = "press"; })),
        f.create_layer(Layer_Parameter_Description("input", "", 0)),
    };
}

// The name and the kind's own fields of a host record, values before defaults.
std::string values_text(const PF_ParamDef& d) {
    std::ostringstream s;
    s.precision(9);
    s << d.name << ":";
    const auto& [f, i, t] = std::tie(d.u.fs_d, d.u.sd, d.u.td);
    const auto put = [&](const auto&... values) { return ((s << ' ' << values), ...), s.str(); };
    switch (d.param_type) {
        case PF_Param_FLOAT_SLIDER:
            return put(f.value, f.dephault, f.valid_min, f.valid_max, f.slider_min, f.slider_max, f.precision, f.display_flags);
        case PF_Param_SLIDER: return put(i.value, i.dephault, i.valid_min, i.valid_max, i.slider_min, i.slider_max);
        case PF_Param_ANGLE: return put(d.u.ad.value, d.u.ad.dephault);
        case PF_Param_CHECKBOX: return put(d.u.bd.value, int{d.u.bd.dephault});
        case PF_Param_POPUP: return put(d.u.pd.value, d.u.pd.dephault, d.u.pd.num_choices, d.u.pd.u.namesptr);
        case PF_Param_POINT: return put(t.x_value, t.y_value, t.x_dephault, t.y_dephault, int{t.restrict_bounds});
        case PF_Param_LAYER: return put(d.u.ld.dephault);
        case PF_Param_BUTTON: return put(d.u.button_d.u.namesptr);
        default:
            for (const PF_Pixel& p : {d.u.cd.value, d.u.cd.dephault})
                s << ' ' << int{p.alpha} << ',' << int{p.red} << ',' << int{p.green} << ',' << int{p.blue};
            return s.str();
    }
}

constexpr PF_ParamFlags collapsed = PF_ParamFlag_COLLAPSE_TWIRLY;
constexpr PF_ParamFlags fixed = PF_ParamFlag_CANNOT_TIME_VARY;

// Angles and points in 16.16 (90.5 degrees: 5931008; -50 percent: -3276800), choices from 1, colours
// as bytes with alpha first, unbounded float ranges as infinities.
TEST(AfterEffectsParameter, EachKindAddsItsHostRecord) {
    test::Ae_Binding_Rig rig;
    rig.set_up_and_bind(declare);
    EXPECT_EQ(rig.setup_out().num_params, 13) << "the input layer is counted, not added; the colour adds its alpha";
    ASSERT_EQ(rig.effect().parameters().size(), 12u);
    const std::tuple<PF_ParamType, int64_t, int64_t, const char*> rows[] = {
        {PF_Param_FLOAT_SLIDER, 0, 0, "amount: 0.300000012 0.300000012 -inf inf -2 50 2 3"},
        {PF_Param_ANGLE, collapsed | fixed, 0, "angle: 5931008 5931008"},
        {PF_Param_SLIDER, collapsed | PF_ParamFlag_SUPERVISE, 0, "count: 3 3 1 9 -2147483648 8"},
        {PF_Param_CHECKBOX, collapsed | fixed, PF_PUI_STD_CONTROL_ONLY, "check: 1 1"},
        {PF_Param_POPUP, collapsed, PF_PUI_DISABLED, "choice: 2 2 4 first|second|third|fourth|"},
        {PF_Param_POINT, collapsed, PF_PUI_INVISIBLE | PF_PUI_NO_ECW_UI, "point: -3276800 1638400 -3276800 1638400 1"},
        {PF_Param_LAYER, collapsed, 0, "layer: 0"},
        {PF_Param_COLOR, collapsed, 0, "tint: 255,127,255,255 255,127,255,255"},
        {PF_Param_COLOR, collapsed, 0, "a colour named at length, 28: 255,0,0,0 255,0,0,0"},
        {PF_Param_FLOAT_SLIDER, collapsed, 0, "a colour named at length, 28 (a: 0.5 0.5 0 1 0 1 2 0"},
        {PF_Param_BUTTON, PF_ParamFlag_SUPERVISE | fixed, PF_PUI_STD_CONTROL_ONLY, "button: press"},
    };
    for (int32_t index = 1; index <= 11; ++index) {
        const PF_ParamDef& d = rig.stored(index);
        const auto& [type, flags, ui_flags, values] = rows[index - 1];
        EXPECT_EQ(std::tuple(int64_t{d.param_type}, int64_t{d.flags}, int64_t{d.ui_flags}, d.uu.id, values_text(d)),
                  std::tuple(int64_t{type}, flags, ui_flags, index, std::string(values)));
    }
}

// The host holds bytes (64, 128, 255) for both colours and, under After Effects, the finer colour (0.25,
// 0.5, 0.9) behind them: After Effects gives that one, Premiere the bytes over 255. The interface-only
// checkbox is read from the call's record, without a checkout, as are the slider's ends. Writes go to
// the call's records, marked changed; the interface-only control is refreshed instead. A count outside
// its valid range (-7 of 1..9) reads as the nearer end.
TEST(AfterEffectsParameter, ValuesAreReadAndWrittenInTheHostsUnits) {
    for (const bool premiere : {false, true}) {
        test::Ae_Binding_Rig rig(host::Effect_Settings{.appl_id = premiere ? host::app_id_premiere : host::app_id_after_effects});
        const Kinds k = rig.set_up_and_bind(declare);
        std::tie(rig.stored(1).u.fs_d.value, rig.stored(2).u.ad.value, rig.stored(3).u.sd.value) = std::tuple(0.1, 45 * 65536 + 32768, -7);
        std::tie(rig.command_record(4).u.bd.value, rig.stored(5).u.pd.value, rig.stored(10).u.fs_d.value) = std::tuple(0, 4, 0.375);
        std::tie(rig.stored(6).u.td.x_value, rig.stored(6).u.td.y_value) = std::pair(-32768, 3 * 65536);
        for (int32_t index : {8, 9}) {
            rig.stored(index).u.cd.value = PF_Pixel{255, 64, 128, 255};
            rig.effect().parameter_state().set_float_color(index, PF_PixelFloat{1.0f, 0.25f, 0.5f, 0.9f});
        }
        const std::array<float, 3> rgb = premiere ? std::array{64 / 255.0f, 128 / 255.0f, 1.0f} : std::array{0.25f, 0.5f, 0.9f};
        EXPECT_EQ(std::tuple(k.amount->value(), k.angle->value(), k.count->value(), k.choice->value(), k.point->value()),
                  std::tuple(0.1, 45.5, 1, 3, std::pair(-0.5, 3.0)));
        EXPECT_EQ(std::pair(k.rgb->value(), k.rgba->value()), std::pair(rgb, std::array<float, 4>{rgb[0], rgb[1], rgb[2], 0.375f}));
        const auto calls = [&](const char* name) { return rig.host().faults().calls(name); };
        EXPECT_EQ(std::tuple(calls("PF_GetFloatingPointColorFromColorDef"), k.check->value(), k.amount->slider_min(),
                             k.amount->slider_max(), calls("checkout_param"), calls("checkin_param")),
                  std::tuple(premiere ? 0 : 2, false, -2.0, 50.0, 8, 8));

        k.amount->set_value(0.125);
        k.choice->set_value(2);
        k.rgb->set_value(0.5f, -0.25f, 1.5f);
        k.rgba->set_value(1.0f, 0.2f, 0.0f, 0.625f);  // 0.2 * 255 = 51
        k.check->set_value(true);
        EXPECT_EQ(std::tuple(rig.command_record(1).u.fs_d.value, rig.command_record(5).u.pd.value, rig.command_record(10).u.fs_d.value),
                  std::tuple(0.125, 3, 0.625));
        EXPECT_EQ(values_text(rig.command_record(8)) + "; " + values_text(rig.command_record(9)),
                  "tint: 255,127,0,255 255,127,255,255; a colour named at length, 28: 255,255,51,0 255,0,0,0");
        for (int32_t index : {1, 5, 8, 9, 10})
            EXPECT_EQ(rig.command_record(index).uu.change_flags, PF_ChangeFlag_CHANGED_VALUE) << "index " << index;
        const auto& updates = rig.effect().parameter_state().ui_updates();
        ASSERT_EQ(updates.size(), 1u);
        EXPECT_EQ(std::tuple(updates[0].index, updates[0].record.u.bd.value, rig.command_record(4).uu.change_flags),
                  std::tuple(4, 1, PF_ChangeFlag_NONE));
    }
}

// Each step changes the call's record and refreshes the control, whose record the host takes over; a
// colour with alpha is enabled and shown as one, its alpha refreshed after it. Renaming and expanding
// also mark the value. Names are cut to the host's 31 characters.
TEST(AfterEffectsParameter, ControlOperationsRefreshTheControl) {
    test::Ae_Binding_Rig rig;
    const Kinds k = rig.set_up_and_bind(declare);
    const std::tuple<int32_t, void (*)(Parameter&), PF_ParamFlags, PF_ParamUIFlags> steps[] = {
        {1, [](Parameter& p) { p.set_enabled(false); }, 0, PF_PUI_DISABLED},
        {9, [](Parameter& p) { p.set_enabled(false); }, collapsed, PF_PUI_DISABLED},
        {9, [](Parameter& p) { p.set_visible(false); }, collapsed, PF_PUI_DISABLED | PF_PUI_INVISIBLE},
        {9, [](Parameter& p) { p.set_enabled(true); }, collapsed, PF_PUI_INVISIBLE},
        {1, [](Parameter& p) { p.set_visible(false); }, 0, PF_PUI_DISABLED | PF_PUI_INVISIBLE},
        {1, [](Parameter& p) { p.set_enabled(true); }, 0, PF_PUI_INVISIBLE},
        {1, [](Parameter& p) { p.set_visible(true); }, 0, 0},
        {1, [](Parameter& p) { p.set_expanded(false); }, collapsed, 0},
        {1, [](Parameter& p) { p.set_expanded(true); }, 0, 0},
    };
    const auto& updates = rig.effect().parameter_state().ui_updates();
    for (const auto& [index, apply, flags, ui_flags] : steps) {
        const size_t before = updates.size();
        apply(index == 9 ? static_cast<Parameter&>(*k.rgba) : *k.amount);
        ASSERT_EQ(updates.size(), before + (index == 9 ? 2 : 1)) << "after update " << before;
        EXPECT_EQ(std::pair(updates[before].index, updates.back().index), std::pair(index, index == 9 ? 10 : 1)) << before;
        for (int32_t refreshed = index; refreshed <= (index == 9 ? 10 : 1); ++refreshed)
            EXPECT_EQ(std::pair(rig.stored(refreshed).flags, rig.stored(refreshed).ui_flags), std::pair(flags, ui_flags))
                << "after update " << before << " index " << refreshed;
    }
    EXPECT_EQ(std::pair(rig.command_record(1).uu.change_flags, rig.command_record(9).uu.change_flags),
              (std::pair<PF_ChangeFlags, PF_ChangeFlags>(PF_ChangeFlag_CHANGED_VALUE, PF_ChangeFlag_NONE)));
    k.amount->set_name("a new name that runs past the host's limit");
    k.amount->set_valid_range(-1.0, std::numeric_limits<double>::max());
    k.amount->set_slider_range(0.0, 0.3);
    k.amount->set_precision(4);
    EXPECT_EQ(values_text(rig.stored(1)), "a new name that runs past the h: 0.300000012 0.300000012 -1 inf 0 0.300000012 4 3");
    EXPECT_EQ(updates.size(), 16u);
}

// Keyframes or an expression animate. The handles taken are disposed of even when a later call fails; a
// refused disposal is only logged.
TEST(AfterEffectsParameter, KeyframesOrAnExpressionAnimateAndHandlesAreAlwaysDisposedOf) {
    test::Log_Sandbox log;
    aegp_plugin_id = 17;
    test::Ae_Binding_Rig rig;
    const Kinds k = rig.set_up_and_bind(declare);
    for (const auto& [keyframes, expression, animated] : {std::tuple{0, false, false}, {1, false, true}, {0, true, true}}) {
        rig.effect().parameter_state().set_animation(1, keyframes, expression);
        EXPECT_EQ(k.amount->is_animated(), animated) << keyframes << " keyframes, expression " << expression;
    }
    EXPECT_EQ(rig.host().aegp_suites().last_plugin_id(), 17);
    aegp_plugin_id = 0;
    for (const char* call : {"AEGP_GetNewEffectForEffect", "AEGP_GetNewEffectStreamByIndex", "AEGP_GetStreamNumKFs",
                             "AEGP_IsStreamTimevarying"}) {
        rig.host().faults().inject(call, A_Err_GENERIC, 1);
        EXPECT_TRUE(test::throws_with<Exception_After_Effects>([&] { k.amount->is_animated(); }, "After Effects Suite Error (A_Err)",
                                                               A_Err_GENERIC)) << call;
        EXPECT_EQ(rig.host().aegp_suites().live_streams() + rig.host().aegp_suites().live_effects(), 0) << call;
    }
    rig.host().faults().inject("AEGP_DisposeStream", A_Err_PARAMETER, 1);
    EXPECT_NO_THROW(k.amount->is_animated());
    EXPECT_EQ(log_instance().remembered().back(), "-**### WARNING ###**-: AEGP_DisposeStream failed. Error code: 3\n");
    EXPECT_EQ(rig.host().aegp_suites().live_effects(), 0);
    rig.expect_leftovers();  // the host kept the stream it refused to dispose of
}

// Default data of one 32-bit word holding 42 (the control) or 7 (its interface data).
struct Word_Data : Arbitrary_Data_Functions {
    explicit Word_Data(int32_t word) : word(word) {}
    PF_Handle new_default(PF_InData* in_data) const override {
        PF_Handle handle = in_data->utils->host_new_handle(sizeof word);
        std::memcpy(in_data->utils->host_lock_handle(handle), &word, sizeof word);
        in_data->utils->host_unlock_handle(handle);
        return handle;
    }
    int32_t word;
};

PF_CustomUIInfo registered_interface{};
PF_Err register_interface(PF_ProgPtr, PF_CustomUIInfo* info) { return registered_interface = *info, PF_Err_NONE; }

std::unique_ptr<Custom_Parameter> declare_custom(Parameter_Factory& factory) {
    return factory.create_custom(with(Custom_Parameter_Description("drawn", "", 7), [](auto& d) {
        std::tie(d.ui_height, d.disc_id_gui_data) = std::tuple(40, 8);
        std::tie(d.data_functions, d.gui_data_functions) = std::pair(std::make_shared<Word_Data>(42), std::make_shared<Word_Data>(7));
    }));
}

int32_t word_at(void* data) { return *static_cast<int32_t*>(data); }

// The drawn control and the hidden record of its interface data. A command with the records has their
// data locked once and kept; one without checks the records out until the parameter goes.
TEST(AfterEffectsParameter, CustomControlAddsItsHiddenInterfaceDataAndLocksBoth) {
    test::Ae_Binding_Rig rig;
    rig.in_data()->inter.register_ui = register_interface;
    std::unique_ptr<Custom_Parameter> custom = rig.set_up_and_bind(declare_custom);
    const PF_ParamDef& control = rig.stored(1);
    EXPECT_EQ(std::tuple(control.param_type, control.ui_flags, control.ui_height, control.u.arb_d.id, registered_interface.events),
              std::tuple(PF_Param_ARBITRARY_DATA, PF_PUI_CONTROL | PF_PUI_DONT_ERASE_CONTROL, 40, 7, PF_CustomEFlag_EFFECT));
    const PF_ParamDef& hidden = rig.stored(2);
    EXPECT_EQ(std::tuple(std::string(hidden.name), hidden.uu.id, hidden.ui_flags, hidden.flags & fixed),
              std::tuple(std::string("drawn_gui_data"), 8, PF_PUI_INVISIBLE | PF_PUI_NO_ECW_UI, fixed));

    custom.reset();
    for (int32_t index : {1, 2}) rig.stored(index).u.arb_d.value = rig.stored(index).u.arb_d.dephault;
    custom = rig.set_up_and_bind(declare_custom);
    void* data = custom->data();
    EXPECT_EQ(std::tuple(word_at(data), custom->data(), word_at(custom->gui_data())), std::tuple(42, data, 7));
    custom->gui_data_changed();
    custom->data_changed();
    custom->redraw();
    EXPECT_EQ(std::tuple(rig.command_record(1).uu.change_flags, rig.command_record(2).uu.change_flags,
                         rig.effect().parameter_state().ui_updates().size(), rig.host().faults().calls("checkout_param")),
              std::tuple(PF_ChangeFlag_CHANGED_VALUE, PF_ChangeFlag_CHANGED_VALUE, size_t{2}, int64_t{0}));

    Parameter_Factory_After_Effects command(rig.in_data(), nullptr, nullptr);
    custom = declare_custom(command);
    EXPECT_EQ(std::pair(word_at(custom->data()), word_at(custom->gui_data())), std::pair(42, 7));
    EXPECT_EQ(rig.effect().checked_out(), 2);
    custom.reset();  // the rig checks they are all back
}

// A refused record is thrown with the host's code and leaks no default data; so are refused refreshes and
// colour queries. The plug-in binary's tests refuse checkouts.
TEST(AfterEffectsParameter, HostFailuresAreThrown) {
    test::Log_Sandbox log;
    test::Ae_Binding_Rig refused;
    refused.in_data()->inter.register_ui = register_interface;
    refused.host().faults().inject("add_param", PF_Err_INVALID_INDEX);
    EXPECT_TRUE(test::throws_with<Exception_After_Effects>([&] { refused.set_up_and_bind(declare_custom); },
                                                           "After Effects api Error (PF_Err)", PF_Err_INVALID_INDEX));
    EXPECT_EQ(refused.host().handles().live_handles(), 0);
    EXPECT_TRUE(test::fails_assertion([] { test::Ae_Binding_Rig().set_up_and_bind(declare_custom); },
                                      "in_data->inter.register_ui != nullptr", "base/after_effects/after_effects_parameter_setup"));

    test::Ae_Binding_Rig rig;
    const Kinds k = rig.set_up_and_bind(declare);
    rig.host().faults().inject("PF_UpdateParamUI", PF_Err_BAD_CALLBACK_PARAM, 1);
    EXPECT_THROW(k.amount->set_enabled(false), Exception_After_Effects);
    rig.host().faults().inject("PF_GetFloatingPointColorFromColorDef", PF_Interrupt_CANCEL, 1);
    EXPECT_THROW(k.rgb->value(), Exception_Abort);
    rig.host().withdraw_suite(kPFParamUtilsSuite, 2);
    EXPECT_THROW(k.amount->set_visible(false), Exception_Ae_Suite);
    rig.host().register_suite(kPFColorParamSuite, 1, nullptr);  // success, but no table
    EXPECT_TRUE(test::throws_with<Exception_Ae_Suite>([&] { k.rgba->value(); }, "Can't AcquireSuite (PF ColorParamSuite, 1)", 0));
    // Without the call's records there is nothing to refresh.
    Parameter_Factory_After_Effects factory(rig.in_data(), nullptr, nullptr);
    EXPECT_THROW(factory.create_float(Float_Parameter_Description("b", "", 2))->set_enabled(false), Exception_Assert);
}

struct Numbered_Plugin : Plugin {
    explicit Numbered_Plugin(const std::vector<Parameter*>& list) : Plugin(make_host_context(Plugin_Host::after_effects)), list(list) {}
    const std::vector<Parameter*>& parameters() const override { return list; }
    Rect layer_extent(const Context&, const Layer_Extents&) const override { return {}; }
    Rect layer_extent_for_name(const Context&, const std::string&, const Rect&, const Layer_Extents&) const override { return {}; }
    std::vector<Parameter*> list;
};

// A layer (host index 1), a colour with alpha (2 and 3), the input layer (4), which ends the extra
// layers, and another layer (5).
TEST(AfterEffectsLayers, NumberingCountsTwoForAColourWithAlphaAndStopsAtTheInputLayer) {
    PF_InData in_data{};
    Parameter_Factory_After_Effects f(&in_data, nullptr, nullptr);
    const std::unique_ptr<Parameter> made[] = {
        f.create_layer(Layer_Parameter_Description("first", "", 5)), f.create_rgba(Rgba_Parameter_Description("color", "", 6, 7)),
        f.create_layer(Layer_Parameter_Description("input", "", 0)), f.create_layer(Layer_Parameter_Description("second", "", 8))};
    const Numbered_Plugin plugin(f.parameter_list());
    const std::vector<Extra_Layer> layers = extra_layers(plugin);
    EXPECT_EQ(std::pair(layers.size(), layers.empty() ? 0 : layers[0].host_index), std::pair(size_t{1}, 1));
    const Parameter* expected[] = {nullptr, made[0].get(), made[1].get(), nullptr, made[2].get(), made[3].get(), nullptr};
    for (int32_t index = 0; index < 7; ++index) EXPECT_EQ(parameter_at_host_index(plugin, index), expected[index]) << index;
}

TEST(AfterEffectsLayers, ClearingAWorldLeavesItsRowPaddingAlone) {
    constexpr int64_t pixel_bytes = 8, width = 3, height = 2, row_bytes = width * pixel_bytes + 5;
    std::vector<unsigned char> memory(row_bytes * height, 0xab);
    PF_EffectWorld world{};
    world.data = reinterpret_cast<PF_PixelPtr>(memory.data());
    std::tie(world.width, world.height, world.rowbytes) = std::tuple(width, height, row_bytes);
    clear_world(world, pixel_bytes);
    for (int64_t i = 0; i < row_bytes * height; ++i) EXPECT_EQ(memory[i], i % row_bytes < width * pixel_bytes ? 0 : 0xab) << "byte " << i;
}

}  // namespace
}  // namespace nb
