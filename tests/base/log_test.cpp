// Tests of the process-wide log: memory bound, enabling by file, crash dumps and the environment report.
#include "base/log.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/plugin_description.h"
#include "base/system_dependencies.h"
#include "tests/support/log_sandbox.h"

namespace nb {
namespace {

using test::Log_Sandbox;

std::tm local_time(int year, int month, int day, int hour, int minute, int second) {
    std::tm time{};
    time.tm_year = year - 1900;
    time.tm_mon = month - 1;
    time.tm_mday = day;
    time.tm_hour = hour;
    time.tm_min = minute;
    time.tm_sec = second;
    return time;
}

std::string entry(int i) { return "entry " + std::to_string(i) + "\n"; }

TEST(Log, KeepsOnlyTheLast2000EntriesAndDumpsThemInOrder) {
    Log_Sandbox sandbox;
    for (int i = 0; i < 2500; ++i) log(entry(i), 1);

    const auto remembered = log_instance().remembered();
    ASSERT_EQ(remembered.size(), 2000u);
    EXPECT_EQ(remembered.front(), entry(500));
    EXPECT_EQ(remembered.back(), entry(2499));
    EXPECT_FALSE(log_instance().is_active());

    const std::tm when = local_time(2026, 1, 2, 9, 5, 3);
    log_instance().write_crash_log(when);

    std::string expected;
    for (int i = 500; i < 2500; ++i) expected += entry(i);
    EXPECT_EQ(Log_Sandbox::read(Log::crash_file_path(sandbox.base(), when)), expected);
    EXPECT_TRUE(log_instance().remembered().empty());
}

TEST(Log, CrashFileNamesLocalTimeWithoutLeadingZeros) {
    EXPECT_EQ(Log::crash_file_path("/tmp/x/blurmond_ae", local_time(2026, 1, 2, 9, 5, 3)),
              "/tmp/x/blurmond_ae(2026_1_2-9_5_3).crash");
    EXPECT_EQ(Log::crash_file_path("b", local_time(2025, 2, 14, 0, 0, 0)), "b(2025_2_14-0_0_0).crash");
}

TEST(Log, LaterEntriesOfTheProcessFollowTheCrashDumpIntoTheCrashFile) {
    Log_Sandbox sandbox;
    log("before\n", 2);
    const std::tm when = local_time(2026, 3, 4, 5, 6, 7);
    log_instance().write_crash_log(when);
    EXPECT_TRUE(log_instance().is_active());
    log("after\n", 1);
    EXPECT_EQ(Log_Sandbox::read(Log::crash_file_path(sandbox.base(), when)), "before\nafter\n");
}

TEST(Log, CreatingTheFileBetweenEntriesWritesEveryEntryOnce) {
    Log_Sandbox sandbox;
    log("first\n", 1);
    EXPECT_FALSE(log_instance().is_active());
    EXPECT_FALSE(std::filesystem::exists(sandbox.log_path())) << "the log must never create its file";

    sandbox.create_log_file();
    log("second\n", 2);
    EXPECT_TRUE(log_instance().is_active());
    log("remembered only\n", 0);

    EXPECT_EQ(Log_Sandbox::read(sandbox.log_path()), "first\nsecond\nremembered only\n");
    EXPECT_TRUE(log_instance().remembered().empty());
}

TEST(Log, AppendsToAnExistingLogFile) {
    Log_Sandbox sandbox;
    {
        std::ofstream earlier(sandbox.log_path());
        earlier << "from an earlier run\n";
    }
    log("now\n", 1);
    EXPECT_EQ(Log_Sandbox::read(sandbox.log_path()), "from an earlier run\nnow\n");
}

TEST(Log, OpenFileStaysOpenWhenTheBasePathChanges) {
    Log_Sandbox sandbox;
    sandbox.create_log_file();
    log("one\n", 1);
    log_instance().set_base_path((sandbox.folder() / "elsewhere").string());
    log("two\n", 1);
    EXPECT_EQ(log_instance().base_path(), (sandbox.folder() / "elsewhere").string());
    EXPECT_EQ(Log_Sandbox::read(sandbox.log_path()), "one\ntwo\n");
}

// A crash dump that cannot be created loses nothing and fails quietly.
TEST(Log, StaysInMemoryWithoutAUsableBasePath) {
    Log_Sandbox sandbox;
    for (const std::string& base : {std::string(), (sandbox.folder() / "missing" / "blurmond_ae").string()}) {
        log_instance().set_base_path(base);
        log("kept\n", 2);
        EXPECT_FALSE(log_instance().is_active()) << "base path '" << base << "'";
    }
    log_instance().write_crash_log();
    EXPECT_FALSE(log_instance().is_active());
    EXPECT_EQ(log_instance().remembered().size(), 2u);
    EXPECT_TRUE(std::filesystem::is_empty(sandbox.folder()));
}

TEST(Log, EnvironmentReportWritesSevenEntriesWithThePluginVersion) {
    Log_Sandbox sandbox;
    Plugin_Description plugin;
    plugin.name = "Corvala 'Blurmond'";
    plugin.version_major = 1;
    plugin.version_minor = 5;
    plugin.version_bugfix = 5;
    plugin.stage = Release_Stage::beta;  // the report never shows the stage
    log_instance().write_environment_report("After Effects 24.1", plugin);

    const auto entries = log_instance().remembered();
    const std::vector<std::string> expected = {
        "*** Environment Information ***\n",
        "    Plugin Host: After Effects 24.1\n",
        "    Plugin: Corvala 'Blurmond' 1.5.5\n",
        "    Installation folder: " + installation_folder() + "\n",
        "    Cpu Count: " + std::to_string(processor_count()) + "\n",
        "    Operating System: " + operating_system_name() + "\n",
        std::string(34, '-') + "\n",
    };
    ASSERT_EQ(entries.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(entries[i], expected[i]) << "entry " << i;
}

}  // namespace
}  // namespace nb
