// Tests of parameter descriptions: the key each one derives from its name.
#include "base/parameter_description.h"

#include <gtest/gtest.h>

#include "base/parameter_kind_description.h"

namespace nb {
namespace {

TEST(ParameterDescription, KeyIsTheGivenKeyOrTheNameWithSpacesAsUnderscores) {
    const struct {
        const char* name;
        const char* key;
        const char* expected;
    } cases[] = {
        {"background layer", "", "background_layer"},
        {"x-y aspect", "", "x-y_aspect"},            // only spaces change
        {"soften", "iris soften", "iris_soften"},    // an explicit key wins
        {" two  spaces ", "", "_two__spaces_"},      // every space, ends included
        {"tab\there", "", "tab\there"},              // other white space stays
        {"", "", ""},
    };
    for (const auto& c : cases) {
        const Parameter_Description description(c.name, c.key, 7);
        EXPECT_EQ(description.key, c.expected) << "name \"" << c.name << "\", key \"" << c.key << "\"";
        EXPECT_EQ(description.name, c.name) << "the name keeps its spaces";
    }
    // The kinds derive theirs through the shared part.
    EXPECT_EQ(Rgba_Parameter_Description("outside color", "", 49, 50).key, "outside_color");
    EXPECT_EQ(Group_End_Parameter_Description(19).key, "");
}

}  // namespace
}  // namespace nb
