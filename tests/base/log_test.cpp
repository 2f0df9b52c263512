// The process-wide log: memory bound, file logging switched on by the user, crash dumps.
#include "base/log.h"

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/log_sandbox.h"

namespace nb {
namespace {

using test::Log_Sandbox;

std::string entry(int i) { return "entry " + std::to_string(i) + "\n"; }

// The crash file is named by the local time without leading zeros; later entries follow the dump.
TEST(Log, CrashDumpWritesTheLast2000EntriesInOrderAndStaysOpen) {
    Log_Sandbox sandbox;
    for (int i = 0; i < 2500; ++i) log(entry(i), 1);
    ASSERT_EQ(log_instance().remembered().size(), 2000u);
    EXPECT_FALSE(log_instance().is_active());

    std::tm when{};
    when.tm_year = 2026 - 1900;
    when.tm_mon = 0;
    when.tm_mday = 2;
    when.tm_hour = 9;
    when.tm_min = 5;
    when.tm_sec = 3;
    log_instance().write_crash_log(when);
    EXPECT_TRUE(log_instance().remembered().empty());
    EXPECT_TRUE(log_instance().is_active());
    log("after\n", 1);

    std::string expected;
    for (int i = 500; i < 2500; ++i) expected += entry(i);
    EXPECT_EQ(Log_Sandbox::read(sandbox.base() + "(2026_1_2-9_5_3).crash"), expected + "after\n");
}

// The log never creates its file; once the user has, every entry reaches it once, after what an earlier
// run left there, and it stays the log's file when the base path changes.
TEST(Log, FileCreatedBetweenEntriesGetsEveryEntryOnce) {
    Log_Sandbox sandbox;
    log("first\n", 1);
    EXPECT_FALSE(log_instance().is_active());
    EXPECT_FALSE(std::filesystem::exists(sandbox.log_path()));
    std::ofstream(sandbox.log_path()) << "from an earlier run\n";
    log("second\n", 2);
    EXPECT_TRUE(log_instance().is_active());
    log_instance().set_base_path((sandbox.folder() / "elsewhere").string());
    log("third\n", 0);
    EXPECT_EQ(Log_Sandbox::read(sandbox.log_path()), "from an earlier run\nfirst\nsecond\nthird\n");
    EXPECT_TRUE(log_instance().remembered().empty());
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

}  // namespace
}  // namespace nb
