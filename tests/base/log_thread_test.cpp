// The process-wide log: many threads logging at once lose and split no entry, file logging switched on
// by the user, the memory bound, crash dumps; and the operating-system queries behind its paths.
#include "base/log.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "base/system_dependencies.h"
#include "tests/support/log_sandbox.h"

namespace nb {
namespace {

using test::Log_Sandbox;

constexpr int thread_count = 6, entries_per_thread = 300;

std::string entry(int thread, int i) {
    return "thread " + std::to_string(thread) + " entry " + std::to_string(i) + " " + std::string(40, 'x') + "\n";
}

// Half the threads log before the user creates the file and half after, so the switch happens while
// entries arrive: every line must be one whole entry, each thread's in its own order, none lost, after
// what an earlier run left in the file. A new base path leaves the open file the log's.
TEST(LogThreads, ConcurrentEntriesReachTheFileWholeInOrderAndOnce) {
    Log_Sandbox sandbox;
    std::vector<std::thread> threads;
    for (int t = 0; t < thread_count; ++t) {
        // Written aside and renamed into place: the log may append the moment the name exists.
        if (t == thread_count / 2) {
            std::ofstream(sandbox.log_path() + ".new") << "earlier\n";
            std::filesystem::rename(sandbox.log_path() + ".new", sandbox.log_path());
        }
        threads.emplace_back([t] {
            for (int i = 0; i < entries_per_thread; ++i) {
                log(entry(t, i), i % 4);
                (void)log_instance().is_active();
            }
        });
    }
    for (auto& thread : threads) thread.join();
    log_instance().set_base_path((sandbox.folder() / "elsewhere").string());
    log("last\n", 1);  // flushes what was remembered before the file existed

    std::istringstream lines(Log_Sandbox::read(sandbox.log_path()));
    std::string line;
    ASSERT_TRUE(std::getline(lines, line) && line == "earlier") << line;
    std::vector<int> next(thread_count, 0);
    int count = 0;
    for (int t = -1, i = -1; std::getline(lines, line) && line != "last"; ++count) {
        ASSERT_TRUE(std::sscanf(line.c_str(), "thread %d entry %d", &t, &i) == 2 && t >= 0 && t < thread_count) << line;
        EXPECT_EQ(std::pair(line + "\n", i), std::pair(entry(t, i), next[t])) << "line " << count << ", whole and in its thread's order";
        next[t] = i + 1;
    }
    EXPECT_EQ(count, thread_count * entries_per_thread);
    EXPECT_TRUE(log_instance().remembered().empty());
}

// Without a usable base path the log stays in memory and a crash dump fails quietly, losing nothing. The
// crash file is named by the local time without leading zeros; later entries follow the dump.
TEST(Log, CrashDumpWritesTheLast2000EntriesInOrderAndStaysOpenGivenAUsableBasePath) {
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

    log_instance().set_base_path(sandbox.base());
    for (int i = 0; i < 2500; ++i) log("entry " + std::to_string(i) + "\n", 1);
    ASSERT_EQ(log_instance().remembered().size(), 2000u);
    EXPECT_FALSE(log_instance().is_active());

    std::tm when{};
    std::tie(when.tm_year, when.tm_mon, when.tm_mday, when.tm_hour, when.tm_min, when.tm_sec) = std::tuple(2026 - 1900, 0, 2, 9, 5, 3);
    log_instance().write_crash_log(when);
    EXPECT_TRUE(log_instance().remembered().empty() && log_instance().is_active());
    log("after\n", 1);

    std::string expected;
    for (int i = 500; i < 2500; ++i) expected += "entry " + std::to_string(i) + "\n";
    EXPECT_EQ(Log_Sandbox::read(sandbox.base() + "(2026_1_2-9_5_3).crash"), expected + "after\n");
}

// HOME wins over HOMEPATH; with neither the base path becomes relative. Names need major and minor.
TEST(SystemDependencies, RulesOfTheWindowsVariants) {
    EXPECT_EQ(home_folder_from_environment("C:", nullptr, "\\Users\\x"), "C:\\Users\\x/");
    EXPECT_EQ(home_folder_from_environment("C:", "/home/x", "\\Users\\y"), "C:/home/x/");
    EXPECT_EQ(home_folder_from_environment(nullptr, "/home/x", nullptr), "/home/x/");
    EXPECT_EQ(home_folder_from_environment("C:", nullptr, nullptr), "");
    for (const auto& [major, minor, workstation, name] : {std::tuple(10, 0, true, "Windows 10"), {10, 0, false, "Windows"},
                                                          {11, 0, true, "Windows"}, {10, 1, true, "Windows"}})
        EXPECT_EQ(windows_version_name(major, minor, workstation, false), name) << major << "." << minor;
}

// The plug-in binary's tests find their logs under HOME; without it the user database answers. Linked
// statically into this test, the plug-in code lives in the test executable itself.
TEST(SystemDependencies, HomeFromTheUserDatabaseAndTheModulesFolder) {
    const char* home = std::getenv("HOME");
    const std::string saved = home ? home : "";
    unsetenv("HOME");
    const std::string from_database = home_folder();
    if (home) setenv("HOME", saved.c_str(), 1);
    EXPECT_TRUE(from_database.size() > 1 && from_database.ends_with("/")) << from_database;
    const std::string folder = installation_folder();
    EXPECT_TRUE(folder.ends_with("/") && std::filesystem::equivalent(folder, std::filesystem::read_symlink("/proc/self/exe").parent_path()))
        << folder;
}

}  // namespace
}  // namespace nb
