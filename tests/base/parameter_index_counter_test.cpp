// Tests of host numbering and creation order, through the in-memory factory that uses the counter.
#include "base/parameter_index_counter.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/support/memory_parameter_factory.h"

namespace nb {
namespace {

using test::memory_of;

// One of every kind in creator order; only the colour with alpha and the custom control take two.
TEST(ParameterIndexCounter, EveryKindAdvancesByItsHostControls) {
    test::Memory_Parameter_Factory factory;
    std::vector<int32_t> indices;
    const auto index_of = [&](Parameter& p) { indices.push_back(memory_of(p).host_index()); };
    index_of(*factory.create_custom(Custom_Parameter_Description("custom", "", 1)));
    index_of(*factory.create_layer(Layer_Parameter_Description("layer", "", 2)));
    index_of(*factory.create_point_2d(Point_2d_Parameter_Description("point", "", 3)));
    index_of(*factory.create_choice(Choice_Parameter_Description("choice", "", 4)));
    index_of(*factory.create_button(Button_Parameter_Description("button", "", 5)));
    index_of(*factory.create_checkbox(Checkbox_Parameter_Description("checkbox", "", 6)));
    index_of(*factory.create_angle(Angle_Parameter_Description("angle", "", 7)));
    index_of(*factory.create_float(Float_Parameter_Description("float", "", 8)));
    index_of(*factory.create_int(Int_Parameter_Description("int", "", 9)));
    index_of(*factory.create_rgba(Rgba_Parameter_Description("rgba", "", 10, 11)));
    index_of(*factory.create_rgb(Rgb_Parameter_Description("rgb", "", 12)));
    index_of(*factory.create_group_end(Group_End_Parameter_Description(13)));
    index_of(*factory.create_group(Group_Parameter_Description("group", "", 14)));
    // 0 is the input layer.
    EXPECT_EQ(indices, (std::vector<int32_t>{1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 14, 15}));
    EXPECT_EQ(factory.next_index(), 16);
}

TEST(ParameterIndexCounter, ListIsEmptyThenInCreationOrderWithGroupEnds) {
    test::Memory_Parameter_Factory factory;
    EXPECT_TRUE(factory.parameter_list().empty());

    auto group = factory.create_group(Group_Parameter_Description("g", "", 1));
    auto choice = factory.create_choice(Choice_Parameter_Description("c", "", 2));
    auto end = factory.create_group_end(Group_End_Parameter_Description(3));
    auto layer = factory.create_layer(Layer_Parameter_Description("l", "", 4));
    const std::vector<Parameter*> expected{group.get(), choice.get(), end.get(), layer.get()};
    EXPECT_EQ(factory.parameter_list(), expected);

    // A copy: later creations do not change a list already taken.
    const std::vector<Parameter*> taken = factory.parameter_list();
    auto more = factory.create_float(Float_Parameter_Description("f", "", 5));
    EXPECT_EQ(taken, expected);
    EXPECT_EQ(factory.parameter_list().back(), more.get());
}

TEST(ParameterIndexCounter, FailedCreationNeitherCountsNorLists) {
    Parameter_Index_Counter counter;
    EXPECT_THROW(counter.create<Float_Parameter>([](int32_t) -> std::unique_ptr<Float_Parameter> {
        throw std::runtime_error("host refused");
    }),
                 std::runtime_error);
    EXPECT_THROW(counter.create<Float_Parameter>([](int32_t) { return std::unique_ptr<Float_Parameter>(); }),
                 Exception_Assert);
    EXPECT_EQ(counter.next_index(), 1);
    EXPECT_TRUE(counter.created().empty());
}

}  // namespace
}  // namespace nb
