// Numbering and listing of the bound parameters the factory creates.
#include "base/after_effects/after_effects_parameter_factory.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "base/after_effects/after_effects_parameter.h"
#include "base/after_effects/after_effects_parameter_custom.h"
#include "tests/support/ae_binding_rig.h"

namespace nb {
namespace {

int32_t host_index_of(Parameter* parameter) { return dynamic_cast<Parameter_AE&>(*parameter).host_index(); }

TEST(AfterEffectsParameterFactory, ColoursWithAlphaAndCustomControlsTakeTwoIndices) {
    test::Ae_Binding_Rig rig;
    Parameter_Factory_After_Effects factory(rig.in_data(), nullptr, nullptr);
    EXPECT_TRUE(factory.parameter_list().empty());
    std::vector<std::unique_ptr<Parameter>> owned;
    owned.push_back(factory.create_float(Float_Parameter_Description("f", "", 1)));
    owned.push_back(factory.create_rgba(Rgba_Parameter_Description("c", "", 2, 3)));
    owned.push_back(factory.create_group(Group_Parameter_Description("g", "", 4)));
    owned.push_back(factory.create_layer(Layer_Parameter_Description("l", "", 5)));
    owned.push_back(factory.create_custom(Custom_Parameter_Description("u", "", 6)));
    owned.push_back(factory.create_group_end(Group_End_Parameter_Description(8)));
    const std::vector<Parameter*> list = factory.parameter_list();
    ASSERT_EQ(list.size(), owned.size());
    const int32_t expected[] = {1, 2, 4, 5, 6, 8};
    for (size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(list[i], owned[i].get()) << "position " << i;
        EXPECT_EQ(host_index_of(list[i]), expected[i]) << "position " << i;
    }
}

TEST(AfterEffectsParameterFactory, CustomControlsSeeTheEventContext) {
    test::Ae_Binding_Rig rig;
    PF_EventExtra event{};
    event.contextH = reinterpret_cast<PF_ContextH>(0x1234);
    Parameter_Factory_After_Effects during_event(rig.in_data(), nullptr, &event);
    EXPECT_EQ(during_event.create_custom(Custom_Parameter_Description("u", "", 1))->event_context(), event.contextH);
    Parameter_Factory_After_Effects otherwise(rig.in_data(), nullptr, nullptr);
    EXPECT_EQ(otherwise.create_custom(Custom_Parameter_Description("u", "", 1))->event_context(), nullptr);
}

}  // namespace
}  // namespace nb
