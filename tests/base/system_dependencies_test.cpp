// The operating-system queries, and the pure rules behind the Windows variants.
#include "base/system_dependencies.h"

#include <cstdlib>
#include <filesystem>
#include <optional>
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
    EXPECT_EQ(windows_version_name(10, 0, true, false), "Windows 10");
    EXPECT_EQ(windows_version_name(10, 0, false, false), "Windows");
    EXPECT_EQ(windows_version_name(11, 0, true, false), "Windows");
    EXPECT_EQ(windows_version_name(10, 1, true, false), "Windows");
}

// Restores one environment variable when the test ends.
class Saved_Variable {
public:
    explicit Saved_Variable(const char* name) : name_(name) {
        if (const char* value = std::getenv(name)) value_ = value;
    }
    ~Saved_Variable() {
        if (value_) {
            setenv(name_, value_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }

private:
    const char* name_;
    std::optional<std::string> value_;
};

TEST(SystemDependencies, HomeFolderComesFromHomeThenFromTheUserDatabase) {
    const Saved_Variable saved("HOME");
    setenv("HOME", "/somewhere/else", 1);
    EXPECT_EQ(home_folder(), "/somewhere/else/");
    unsetenv("HOME");
    const std::string from_database = home_folder();
    EXPECT_FALSE(from_database.empty());
    EXPECT_TRUE(from_database.ends_with("/")) << from_database;
}

// Linked statically into this test, the plug-in code lives in the test executable itself.
TEST(SystemDependencies, InstallationFolderIsTheFolderOfTheModule) {
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe");
    const std::filesystem::path folder = installation_folder();
    EXPECT_TRUE(folder.string().ends_with("/")) << folder;
    EXPECT_TRUE(std::filesystem::equivalent(folder, executable.parent_path())) << folder << " against " << executable;
}

}  // namespace
}  // namespace nb
