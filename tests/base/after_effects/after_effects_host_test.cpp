// The plug-in binary's entry point, driven by the headless host: global setup on each host, the about
// text, dynamic flags, commands that need nothing, and how failures reach the host.
#include "base/after_effects/after_effects_host.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "effect/blurmond_description.h"
#include "host/effect_session.h"
#include "host/host_project_suites.h"
#include "tests/support/plugin_binary.h"

namespace nb {
namespace {

using host::Effect_Session;

host::Session_Settings settings_for(A_long appl_id, A_short major = 13, A_short minor = 28) {
    return host::Session_Settings{.effect = {.appl_id = appl_id, .version_major = major, .version_minor = minor}, .threads = 2};
}

constexpr PF_OutFlags2 flags2_before = 0x40000000;  // a bit the plug-in never sets

struct Global_Case {
    const char* name;
    A_long appl_id;
    A_short major, minor;
    bool sets_flags2, negotiates, registers;  // negotiates Premiere's pixel formats, registers After Effects' AEGP
    const char* host_line;
};

class AfterEffectsHostGlobalSetup : public testing::TestWithParam<Global_Case> {};

TEST_P(AfterEffectsHostGlobalSetup, ReportsVersionAndFlagsAndTalksOnlyToItsOwnHost) {
    const Global_Case& c = GetParam();
    test::Plugin_Binary binary;
    Effect_Session session(binary.library(), settings_for(c.appl_id, c.major, c.minor));
    session.out_data().out_flags2 = flags2_before;
    ASSERT_EQ(session.global_setup(), PF_Err_NONE);
    EXPECT_EQ(std::tuple(session.out_data().my_version, session.out_data().out_flags, session.out_data().out_flags2),
              std::tuple(0x000aae00u, 0x06000004, c.sets_flags2 ? 0x08001489 : flags2_before));

    const host::Effect_Records& records = session.effect().records();
    const std::vector<PrPixelFormat> negotiated{PrPixelFormat_BGRA_4444_32f, PrPixelFormat_BGRA_4444_16u, PrPixelFormat_BGRA_4444_8u};
    EXPECT_EQ(std::tuple(records.supported_formats, records.format_clears, records.frames_match_render_format),
              std::tuple(c.negotiates ? negotiated : std::vector<PrPixelFormat>{}, c.negotiates ? 1 : 0, c.negotiates));
    EXPECT_EQ(session.host().project_suites().registered_plugins(),
              c.registers ? std::vector<std::string>{"Corvala 'Blurmond'"} : std::vector<std::string>{});
    EXPECT_EQ(session.host().outstanding_suites(), 0) << "every suite acquired is released";

    const std::string log = binary.log_text();
    const std::string environment = std::string("*** Environment Information ***\n    Plugin Host: ") + c.host_line + "\n";
    EXPECT_NE(log.find(environment + "    Plugin: Corvala 'Blurmond' 1.5.5\n"), std::string::npos) << log;

    // Frames never vary without a parameter change.
    ASSERT_EQ(session.command(PF_Cmd_QUERY_DYNAMIC_FLAGS), PF_Err_NONE);
    EXPECT_EQ(session.out_data().out_flags, 0x06000000);
}

INSTANTIATE_TEST_SUITE_P(
    Hosts, AfterEffectsHostGlobalSetup,
    testing::Values(
        Global_Case{"AfterEffects", host::app_id_after_effects, 13, 28, true, false, true, "After Effects v13.28(app id: FXTC)"},
        Global_Case{"AfterEffectsApi12_5", host::app_id_after_effects, 12, 5, true, false, true, "After Effects v12.5(app id: FXTC)"},
        Global_Case{"AfterEffectsApi12_4", host::app_id_after_effects, 12, 4, false, false, true, "After Effects v12.4(app id: FXTC)"},
        Global_Case{"Premiere", host::app_id_premiere, 13, 28, true, true, false, "Premiere v14.0.0(app id: PrMr)"},
        Global_Case{"OtherHost", 0x58585858 /* 'XXXX' */, 13, 28, true, false, false, "(app id: XXXX)"}),
    [](const testing::TestParamInfo<Global_Case>& info) { return std::string(info.param.name); });

// The about text names the effect, its version, the notice and the build date, the compiler's "Feb 14
// 2025"; a prerelease adds its stage and the build time.
TEST(AfterEffectsHost, AboutAndCommandsWithoutWorkLeaveTheOutputRecordAlone) {
    test::Plugin_Binary binary;
    Effect_Session session(binary.library(), settings_for(host::app_id_after_effects));
    const std::string text = session.about();
    const std::string last = text.substr(text.rfind('\n', text.size() - 2) + 1);
    EXPECT_TRUE(text.starts_with("Corvala 'Blurmond' - V1.5.5\nSimulates a camera's blurmond effect.\n\n") &&
                last.starts_with("build date: ") && last.size() == 24) << text;

    Plugin_Description beta = blurmond_description();
    beta.stage = Release_Stage::beta;
    beta.description.clear();
    const std::string prerelease = about_text(beta);  // no description, no empty line; the time " - 12:17:15" added
    EXPECT_TRUE(prerelease.starts_with("Corvala 'Blurmond' - V1.5.5 - beta\n") && prerelease.find("\n\n") == std::string::npos &&
                prerelease.substr(prerelease.rfind('\n') + 1).size() == 34u) << prerelease;

    ASSERT_EQ(session.global_setup(), PF_Err_NONE);
    ASSERT_EQ(session.params_setup(), PF_Err_NONE);
    for (const PF_Cmd cmd : std::initializer_list<PF_Cmd>{PF_Cmd_GLOBAL_SETDOWN, PF_Cmd_SEQUENCE_SETUP, PF_Cmd_SEQUENCE_RESETUP,
                             PF_Cmd_SEQUENCE_SETDOWN, PF_Cmd_DO_DIALOG, PF_Cmd_FRAME_SETUP, PF_Cmd_FRAME_SETDOWN, PF_Cmd_EVENT,
                             PF_Cmd_ARBITRARY_CALLBACK, PF_Cmd_GET_EXTERNAL_DEPENDENCIES, PF_Cmd_AUDIO_RENDER,
                             PF_Cmd_GPU_DEVICE_SETDOWN, PF_Cmd_GPU_DEVICE_SETUP, 40}) {
        std::memset(&session.out_data(), 0x5a, sizeof(PF_OutData));
        const PF_OutData before = session.out_data();
        EXPECT_TRUE(session.command(cmd) == PF_Err_NONE && std::memcmp(&before, &session.out_data(), sizeof before) == 0) << cmd;
    }
    EXPECT_NE(binary.log_text().find("selector gpu setup\n"), std::string::npos);

    for (PF_UserChangedParamExtra changed : {PF_UserChangedParamExtra{2}, PF_UserChangedParamExtra{999}})
        EXPECT_EQ(session.command(PF_Cmd_USER_CHANGED_PARAM, &changed), PF_Err_NONE) << "parameter " << changed.param_index;
    // The effect's rules reach the host's records: with the selection off its controls are greyed out.
    EXPECT_EQ(session.command(PF_Cmd_UPDATE_PARAMS_UI), PF_Err_NONE);
    EXPECT_NE(session.effect().parameter(session.index_of("lightness soften")).ui_flags & PF_PUI_DISABLED, 0);
    EXPECT_EQ(session.effect().parameter(session.index_of("radius")).ui_flags & PF_PUI_DISABLED, 0);
    EXPECT_EQ(session.effect().checked_out(), 0);
}

// A host error returns its code; an unknown failure writes the crash log and reaches the host.
TEST(AfterEffectsHost, FailuresReachTheHost) {
    test::Plugin_Binary binary(false);
    Effect_Session session(binary.library(), settings_for(host::app_id_after_effects));
    session.host().faults().inject("AEGP_RegisterWithAEGP", 7, 1);
    EXPECT_EQ(session.global_setup(), 7) << "an AEGP error carries its own code";
    EXPECT_EQ(session.host().outstanding_suites(), 0);
    session.host().faults().inject("add_param", PF_Interrupt_CANCEL, 1);
    EXPECT_EQ(session.params_setup(), PF_Interrupt_CANCEL);
    EXPECT_TRUE(binary.crash_files().empty());
    session.host().withdraw_suite(kAEGPUtilitySuite, kAEGPUtilitySuiteVersion3);
    EXPECT_THROW(session.global_setup(), std::exception);
    ASSERT_EQ(binary.crash_files().size(), 1u);
    const std::string crash = test::Plugin_Binary::read(binary.crash_files()[0]);
    for (const char* line : {"Can't AcquireSuite (AEGP Utility Suite, 7)",
                             "-**###  ERROR  ###**-: Unknown Exception escaped. Writing Error Log. Crashing now.\n"})
        EXPECT_NE(crash.find(line), std::string::npos) << crash;
}

}  // namespace
}  // namespace nb
