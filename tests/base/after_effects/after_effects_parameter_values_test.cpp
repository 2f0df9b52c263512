// Values read back through the binding for the value kinds, and what their writes leave for the host.
#include "base/after_effects/after_effects_parameter_values.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>

#include "base/exception.h"
#include "tests/support/ae_binding_rig.h"

namespace nb {
namespace {

// One parameter of each value kind, in host order 1 to 7.
struct Value_Set {
    std::unique_ptr<Float_Parameter> amount;
    std::unique_ptr<Angle_Parameter> angle;
    std::unique_ptr<Int_Parameter> count;
    std::unique_ptr<Checkbox_Parameter> check;
    std::unique_ptr<Choice_Parameter> choice;
    std::unique_ptr<Point_2d_Parameter> point;
    std::unique_ptr<Layer_Parameter> layer;
};

Value_Set declare(Parameter_Factory& factory) {
    Value_Set set;
    Float_Parameter_Description amount("amount", "", 1);
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
    return set;
}

TEST(AfterEffectsParameterValues, ReadsConvertTheHostsCurrentRecords) {
    test::Ae_Binding_Rig rig;
    Value_Set set = rig.set_up_and_bind(declare);
    // What the user set since the setup, as the host stores it.
    rig.stored(1).u.fs_d.value = 0.1;
    rig.stored(2).u.ad.value = 45 * 65536 + 32768;  // 45.5 degrees in 16.16
    rig.stored(3).u.sd.value = -7;
    rig.stored(4).u.bd.value = 1;
    rig.stored(6).u.td.x_value = -32768;
    rig.stored(6).u.td.y_value = 3 * 65536;
    EXPECT_EQ(set.amount->value(), 0.1);
    EXPECT_EQ(set.angle->value(), 45.5);
    EXPECT_EQ(set.count->value(), -7);
    EXPECT_TRUE(set.check->value());
    EXPECT_EQ(set.choice->value(), 0);  // the host's first entry is 1
    rig.stored(5).u.pd.value = 4;
    EXPECT_EQ(set.choice->value(), 3);
    EXPECT_EQ(set.point->value(), std::make_pair(-0.5, 3.0));
    EXPECT_EQ(rig.host().faults().calls("checkout_param"), rig.host().faults().calls("checkin_param"));
    // Slider ends come from the call's record, without a checkout.
    const int64_t checkouts = rig.host().faults().calls("checkout_param");
    EXPECT_EQ(set.amount->slider_min(), -2.0);
    EXPECT_EQ(set.amount->slider_max(), 3.0);
    EXPECT_EQ(rig.host().faults().calls("checkout_param"), checkouts);
}

TEST(AfterEffectsParameterValues, WritesMarkTheCallsRecordsChanged) {
    test::Ae_Binding_Rig rig;
    Value_Set set = rig.set_up_and_bind(declare);
    set.amount->set_value(0.125);
    set.check->set_value(true);
    set.choice->set_value(2);
    EXPECT_EQ(rig.command_record(1).u.fs_d.value, 0.125);
    EXPECT_EQ(rig.command_record(4).u.bd.value, 1);
    EXPECT_EQ(rig.command_record(5).u.pd.value, 3);
    for (int32_t index : {1, 4, 5})
        EXPECT_EQ(rig.command_record(index).uu.change_flags, PF_ChangeFlag_CHANGED_VALUE) << "index " << index;
    EXPECT_TRUE(rig.effect().parameter_state().ui_updates().empty());
}

TEST(AfterEffectsParameterValues, RangeAndPrecisionChangesRefreshTheSlider) {
    test::Ae_Binding_Rig rig;
    Value_Set set = rig.set_up_and_bind(declare);
    set.amount->set_valid_range(-1.0, std::numeric_limits<double>::max());
    set.amount->set_slider_range(0.0, 0.3);
    set.amount->set_precision(4);
    EXPECT_EQ(rig.effect().parameter_state().ui_updates().size(), 3u);
    const PF_FloatSliderDef& slider = rig.stored(1).u.fs_d;  // as the host took it over
    EXPECT_EQ(slider.valid_min, -1.0f);
    EXPECT_EQ(slider.valid_max, std::numeric_limits<float>::infinity());
    EXPECT_EQ(slider.slider_max, 0.3f);
    EXPECT_EQ(slider.precision, 4);
}

struct Layer_Case {
    A_long appl_id;
    A_short major, minor;
    bool chosen;
    bool expected;
    int64_t checkouts;  // what telling it took
};

class AfterEffectsParameterValuesLayer : public ::testing::TestWithParam<Layer_Case> {};

TEST_P(AfterEffectsParameterValuesLayer, HasLayerByHostAndApiVersion) {
    const Layer_Case c = GetParam();
    host::Effect_Settings settings;
    settings.appl_id = c.appl_id;
    settings.version_major = c.major;
    settings.version_minor = c.minor;
    test::Ae_Binding_Rig rig(settings);
    int pixel = 0;
    PF_EffectWorld world{};
    world.data = reinterpret_cast<PF_PixelPtr>(&pixel);
    world.width = world.height = 1;
    Value_Set set = rig.set_up_and_bind(declare);
    if (c.chosen) {
        // The host's own record, and the copy it passed with the command.
        host::choose_layer(rig.stored(7), world);
        host::choose_layer(rig.command_record(7), world);
    }
    EXPECT_EQ(set.layer->has_layer(), c.expected);
    EXPECT_EQ(rig.host().faults().calls("checkout_param"), c.checkouts);
}

const Layer_Case layer_cases[] = {
    {host::app_id_after_effects, 13, 9, true, true, 0},   {host::app_id_after_effects, 13, 9, false, false, 0},
    {host::app_id_after_effects, 13, 8, true, true, 1},   {host::app_id_after_effects, 13, 8, false, false, 1},
    {host::app_id_premiere, 13, 28, true, true, 1},       {host::app_id_premiere, 13, 28, false, false, 1},
    {host::app_id_after_effects, 12, 10, true, false, 0},
};

INSTANTIATE_TEST_SUITE_P(Cases, AfterEffectsParameterValuesLayer, ::testing::ValuesIn(layer_cases),
                         [](const auto& info) {
                             const Layer_Case& c = info.param;
                             return std::string(c.appl_id == host::app_id_premiere ? "Premiere" : "AfterEffects") +
                                    std::to_string(c.major) + "_" + std::to_string(c.minor) +
                                    (c.chosen ? "Chosen" : "Empty");
                         });

}  // namespace
}  // namespace nb
