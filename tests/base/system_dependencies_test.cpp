// The operating-system queries, and the pure rules behind the Windows variants.
#include "base/system_dependencies.h"

#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace nb {
namespace {

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
