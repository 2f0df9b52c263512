// Tests of the parameter hierarchy: one object whether reached through its kind or as a Parameter.
#include "base/parameter.h"

#include <gtest/gtest.h>

#include "tests/support/memory_parameter_factory.h"

namespace nb {
namespace {

TEST(Parameter, KindAndRootAreOneObject) {
    test::Memory_Parameter_Factory factory;
    Float_Parameter_Description description("border thickness", "iris border thickness", 17);
    description.precision = 3;
    std::unique_ptr<Float_Parameter> thickness = factory.create_float(description);
    Parameter* root = factory.parameter_list().at(0);

    // Control operations through the root reach the same object the kind interface reads.
    root->set_enabled(false);
    root->set_name("thickness");
    EXPECT_FALSE(test::memory_of(*thickness).enabled());
    EXPECT_EQ(test::memory_of(*thickness).name(), "thickness");
    EXPECT_EQ(dynamic_cast<Float_Parameter*>(root), thickness.get());

    // The root's description is the shared part of the kind's own description.
    EXPECT_EQ(&root->description(), static_cast<const Parameter_Description*>(&thickness->description()));
    EXPECT_EQ(thickness->description().precision, 3);
}

}  // namespace
}  // namespace nb
