// Tests of parameter descriptions: key derivation and the construction defaults of every kind.
#include "base/parameter_description.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cstdint>

#include "base/parameter_kind_description.h"

namespace nb {
namespace {

struct Key_Case {
    const char* name;
    const char* key;
    const char* expected;
};

class ParameterDescriptionKey : public testing::TestWithParam<Key_Case> {};

TEST_P(ParameterDescriptionKey, IsTheGivenKeyOrTheNameWithSpacesAsUnderscores) {
    const Key_Case& c = GetParam();
    const Parameter_Description description(c.name, c.key, 7);
    EXPECT_EQ(description.key, c.expected) << "name \"" << c.name << "\", key \"" << c.key << "\"";
    EXPECT_EQ(description.name, c.name) << "the name keeps its spaces";
    EXPECT_EQ(description.disc_id, 7);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParameterDescriptionKey,
    testing::Values(Key_Case{"background layer", "", "background_layer"},
                    Key_Case{"x-y aspect", "", "x-y_aspect"},                 // only spaces change
                    Key_Case{"soften", "iris soften", "iris_soften"},         // an explicit key wins
                    Key_Case{"radius", "radius_px", "radius_px"},
                    Key_Case{"-> Iris...", "", "->_Iris..."},
                    Key_Case{" two  spaces ", "", "_two__spaces_"},           // every space, ends included
                    Key_Case{"tab\there", "", "tab\there"},                   // other white space stays
                    Key_Case{"x/y aspect", "", "x/y_aspect"},
                    Key_Case{"", "", ""}));

TEST(ParameterDescription, SharedFlagsDefaultToAnAnimatableVisibleEnabledCollapsedControl) {
    const Parameter_Description d("radius", "", 2);
    EXPECT_TRUE(d.animatable);
    EXPECT_FALSE(d.supervise);
    EXPECT_FALSE(d.interface_only);
    EXPECT_TRUE(d.start_collapsed);
    EXPECT_TRUE(d.enabled);
    EXPECT_TRUE(d.visible);
}

TEST(ParameterDescription, KindsDeriveTheirKeyLikeTheSharedPart) {
    EXPECT_EQ(Float_Parameter_Description("border thickness", "", 1).key, "border_thickness");
    EXPECT_EQ(Rgba_Parameter_Description("outside color", "", 49, 50).key, "outside_color");
    EXPECT_EQ(Layer_Parameter_Description("Iris", "", 10).key, "Iris");
}

TEST(ParameterDescription, NumericKindsDefaultToUnboundedRangesExceptTheAngleSlider) {
    const Float_Parameter_Description f("f", "", 1);
    EXPECT_FALSE(f.pixel);
    EXPECT_FALSE(f.percent);
    EXPECT_EQ(f.precision, 2);
    EXPECT_EQ(f.default_value, 0.0);
    EXPECT_EQ(f.valid_min, -DBL_MAX);
    EXPECT_EQ(f.valid_max, DBL_MAX);
    EXPECT_EQ(f.slider_min, -DBL_MAX);
    EXPECT_EQ(f.slider_max, DBL_MAX);

    // One turn on the slider, anything typed in.
    const Angle_Parameter_Description a("a", "", 2);
    EXPECT_EQ(a.default_value, 0.0);
    EXPECT_EQ(a.valid_min, -DBL_MAX);
    EXPECT_EQ(a.valid_max, DBL_MAX);
    EXPECT_EQ(a.slider_min, 0.0);
    EXPECT_EQ(a.slider_max, 360.0);

    const Int_Parameter_Description i("i", "", 3);
    EXPECT_EQ(i.default_value, 0);
    EXPECT_EQ(i.valid_min, INT32_MIN);
    EXPECT_EQ(i.valid_max, INT32_MAX);
    EXPECT_EQ(i.slider_min, INT32_MIN);
    EXPECT_EQ(i.slider_max, INT32_MAX);
}

TEST(ParameterDescription, OtherKindsDefaultToOffFirstEntryBlackAndTransparent) {
    EXPECT_FALSE(Checkbox_Parameter_Description("c", "", 1).default_value);

    const Choice_Parameter_Description choice("c", "", 1);
    EXPECT_TRUE(choice.entries.empty());
    EXPECT_EQ(choice.default_index, 0);

    const Layer_Parameter_Description layer("l", "", 1);
    EXPECT_FALSE(layer.reserved_option_1);
    EXPECT_FALSE(layer.reserved_option_2);

    const Rgb_Parameter_Description rgb("c", "", 1);
    EXPECT_EQ(rgb.red + rgb.green + rgb.blue, 0.0);

    const Rgba_Parameter_Description rgba("c", "", 49, 50);
    EXPECT_EQ(rgba.red + rgba.green + rgba.blue + rgba.alpha, 0.0);
    EXPECT_EQ(rgba.disc_id, 49);
    EXPECT_EQ(rgba.disc_id_alpha, 50);
}

TEST(ParameterDescription, GroupEndHasNoNameAndNoKey) {
    const Group_End_Parameter_Description end(19);
    EXPECT_EQ(end.name, "");
    EXPECT_EQ(end.key, "");
    EXPECT_EQ(end.disc_id, 19);
}

}  // namespace
}  // namespace nb
