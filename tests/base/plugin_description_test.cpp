// Tests of the release stages: their stored values and about-text suffixes.
#include "base/plugin_description.h"

#include <cstdint>
#include <string>

#include <gtest/gtest.h>

namespace nb {
namespace {

TEST(PluginDescription, ReleaseStagesKeepTheirValuesAndSuffixes) {
    const struct {
        Release_Stage stage;
        int32_t value;
        const char* suffix;
    } cases[] = {
        {Release_Stage::pre_alpha, 0, " - pre alpha"},
        {Release_Stage::alpha, 1, " - alpha"},
        {Release_Stage::beta, 2, " - beta"},
        {Release_Stage::release, 3, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(static_cast<int32_t>(c.stage), c.value);
        EXPECT_EQ(std::string(release_stage_suffix(c.stage)), c.suffix) << "stage " << c.value;
    }
}

}  // namespace
}  // namespace nb
