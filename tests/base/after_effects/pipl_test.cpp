// The property list writer against an independent reference: the published bytes of a sample effect.
#include "base/after_effects/pipl.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "base/after_effects/ae_sdk.h"
#include "base/exception.h"
#include "tests/support/log_sandbox.h"

namespace nb {
namespace {

// The properties the sample's header lists.
Pipl_Description sample() {
    return Pipl_Description{.name = "SDK_Invert_ProcAmp", .category = "Sample Plug-ins", .entry_point = "EffectMain",
                            .api_version_major = 13, .api_version_minor = 28, .effect_version = PF_VERSION(1, 1, 0, PF_Stage_DEVELOP, 1),
                            .out_flags = PF_OutFlag_PIX_INDEPENDENT | PF_OutFlag_DEEP_COLOR_AWARE,
                            .out_flags2 = PF_OutFlag2_FLOAT_COLOR_AWARE | PF_OutFlag2_SUPPORTS_SMART_RENDER |
                                          PF_OutFlag2_SUPPORTS_THREADED_RENDERING | PF_OutFlag2_SUPPORTS_GPU_RENDER_F32,
                            .match_name = "ADBE SDK_Invert_ProcAmp", .support_url = "https://www.adobe.com"};
}

// The hex dump beside the tests: '#' lines are its header, the rest two hex digits a byte.
TEST(Pipl, WritesThePublishedSampleByteForByteAndRefusesTextsLongerThanAPascalStringCanHold) {
    std::ifstream in(NB_HOST_ABI_DIR "/win64-pipl-sample.hex");
    ASSERT_TRUE(in) << "no sample property list in " NB_HOST_ABI_DIR;
    std::vector<uint8_t> expected;
    for (std::string line; std::getline(in, line);)
        for (std::size_t i = 0; line.rfind('#', 0) != 0 && i + 1 < line.size(); i += 2)
            expected.push_back(static_cast<uint8_t>(std::stoul(line.substr(i, 2), nullptr, 16)));
    EXPECT_EQ(pipl_bytes(sample()), expected);

    test::Log_Sandbox log;
    Pipl_Description d = sample();
    d.match_name = std::string(255, 'x');
    EXPECT_NO_THROW(pipl_bytes(d));
    d.match_name += 'x';
    EXPECT_THROW(pipl_bytes(d), Exception_Assert);
}

}  // namespace
}  // namespace nb
