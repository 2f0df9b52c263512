// Tests of the suggestions offered for a mistyped parameter name.
#include "tools/closest_names.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace nb::tools {
namespace {

using Names = std::vector<std::string>;

TEST(ClosestNames, EditDistanceCountsEachKindOfSlipOnce) {
    const struct {
        const char* a;
        const char* b;
        size_t distance;
    } cases[] = {{"radius", "radius", 0}, {"radus", "radius", 1},     {"raduis", "radius", 1},  // swapped neighbours
                 {"radiuss", "radius", 1}, {"rodius", "radius", 1},   {"Iris Blades", "iris_blades", 0},
                 {"iris-blades", "iris blades", 0}, {"", "abc", 3},   {"abc", "", 3},
                 {"kitten", "sitting", 3}, {"ca", "abc", 3}};         // no edit of a swapped pair twice
    for (const auto& c : cases) EXPECT_EQ(edit_distance(c.a, c.b), c.distance) << c.a << " / " << c.b;
}

const std::vector<Known_Name> effect_names = {
    {"radius", "Radius"},         {"iris_blades", "Blades"},      {"iris_rotation", "Rotation"},
    {"gamma", "Gamma"},           {"highlight_boost", "Boost"},   {"background", "Background Layer"},
    {"show", "Show"},             {"radius_y", "Vertical Radius"}};

TEST(ClosestNames, SuggestsTheNearestSpellingsFirst) {
    const struct {
        const char* typed;
        Names expected;
    } cases[] = {
        {"radus", {"radius"}},                   // radius_y is three edits away: too far for its length
        {"Raduis", {"radius"}},
        {"radius_x", {"radius_y", "radius"}},    // one edit, then two
        {"blade", {"Blades"}},                   // one spelling per parameter: the nearer display name
        {"irisblades", {"iris_blades"}},
        {"rotaton", {"Rotation"}},
        {"rot", {"Rotation"}},                   // too far by edits, but a part of the name
        {"backgrnd", {"background"}},
        {"gama", {"gamma"}},                     // key and display name tie: the key
        {"zzzzzz", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(closest_names(c.typed, effect_names), c.expected) << c.typed;
}

TEST(ClosestNames, OffersAtMostTheLimit) {
    const std::vector<Known_Name> known = {{"aa1", ""}, {"aa2", ""}, {"aa3", ""}, {"aa4", ""}};
    EXPECT_EQ(closest_names("aa", known).size(), 3u);
    EXPECT_EQ(closest_names("aa", known, 1), Names{"aa1"});
}

TEST(ClosestNames, MessageReadsAsASentence) {
    EXPECT_EQ(unknown_name_message("parameter", "radus", {"radius"}), "unknown parameter 'radus'; did you mean: radius?");
    EXPECT_EQ(unknown_name_message("parameter", "radus", {"radius", "radius_y"}),
              "unknown parameter 'radus'; did you mean: radius, radius_y?");
    EXPECT_EQ(unknown_name_message("option", "--fast", {}), "unknown option '--fast'");
}

}  // namespace
}  // namespace nb::tools
