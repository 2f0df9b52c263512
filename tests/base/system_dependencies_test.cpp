// Tests of the operating-system queries and of the pure rules behind the Windows variants.
#include "base/system_dependencies.h"

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include <gtest/gtest.h>

namespace nb {
namespace {

TEST(SystemDependencies, HomeFolderFromEnvironment) {
    const struct {
        const char* drive;
        const char* home;
        const char* home_path;
        const char* expected;
    } cases[] = {
        {"C:", nullptr, "\\Users\\x", "C:\\Users\\x/"},
        {nullptr, "/home/x", nullptr, "/home/x/"},
        {"C:", "/home/x", "\\Users\\y", "C:/home/x/"},  // HOME wins over HOMEPATH
        {"C:", nullptr, nullptr, ""},                   // no folder: the base path becomes relative
    };
    for (const auto& c : cases) {
        EXPECT_EQ(home_folder_from_environment(c.drive, c.home, c.home_path), c.expected)
            << "drive " << (c.drive ? c.drive : "unset") << ", home " << (c.home ? c.home : "unset")
            << ", home path " << (c.home_path ? c.home_path : "unset");
    }
}

TEST(SystemDependencies, WindowsVersionNames) {
    const struct {
        uint32_t major, minor;
        bool workstation, home_server;
        const char* expected;
    } cases[] = {
        {10, 0, true, false, "Windows 10"},
        {10, 0, false, false, "Windows"},
        {6, 0, true, false, "Windows Vista"},
        {5, 2, true, true, "Windows XP Professional x64"},  // a workstation is never the home server
        {5, 2, false, true, "Windows Home Server"},
        {5, 2, false, false, "Windows Server 2003"},
        {11, 0, true, false, "Windows"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(windows_version_name(c.major, c.minor, c.workstation, c.home_server), c.expected)
            << c.major << "." << c.minor << (c.workstation ? " workstation" : " server")
            << (c.home_server ? " home server" : "");
    }
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

TEST(SystemDependencies, InstallationFolderIsTheFolderOfTheModule) {
#ifdef __linux__
    // Linked statically into this test, the plug-in code lives in the test executable itself.
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe");
    const std::filesystem::path folder = installation_folder();
    EXPECT_TRUE(folder.string().ends_with("/")) << folder;
    EXPECT_TRUE(std::filesystem::equivalent(folder, executable.parent_path()))
        << folder << " against " << executable.parent_path();
#else
    GTEST_SKIP() << "needs /proc";
#endif
}

}  // namespace
}  // namespace nb
