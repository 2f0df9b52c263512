// The process-wide log: memory bound, crash dumps, no file without a usable base path; the threaded test
// switches file logging on.
#include "base/log.h"

#include <filesystem>
#include <string>
#include <tuple>

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
    std::tie(when.tm_year, when.tm_mon, when.tm_mday, when.tm_hour, when.tm_min, when.tm_sec) = std::tuple(2026 - 1900, 0, 2, 9, 5, 3);
    log_instance().write_crash_log(when);
    EXPECT_TRUE(log_instance().remembered().empty() && log_instance().is_active());
    log("after\n", 1);

    std::string expected;
    for (int i = 500; i < 2500; ++i) expected += entry(i);
    EXPECT_EQ(Log_Sandbox::read(sandbox.base() + "(2026_1_2-9_5_3).crash"), expected + "after\n");
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
