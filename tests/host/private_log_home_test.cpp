// The private log home: HOME points at a folder holding the log while it lives, and is given back after.
#include "host/private_log_home.h"

#include <stdlib.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace nb::host {
namespace {

TEST(PrivateLogHome, PointsHomeAtAFolderWithTheLogFileAndRestoresIt) {
    const std::string before = getenv("HOME") ? getenv("HOME") : "";
    std::filesystem::path home;
    {
        Private_Log_Home log_home;
        home = getenv("HOME");
        EXPECT_EQ(home, log_home.folder());
        EXPECT_TRUE(std::filesystem::exists(home / "nimbrel" / "blurmond_ae.log"));
        EXPECT_FALSE(std::filesystem::exists(Private_Log_Home(false).folder() / "nimbrel" / "blurmond_ae.log"));
        EXPECT_EQ(std::string(getenv("HOME")), home.string()) << "an inner home gives back the outer one";
    }
    EXPECT_EQ(std::string(getenv("HOME") ? getenv("HOME") : ""), before);
    EXPECT_FALSE(std::filesystem::exists(home));
}

}  // namespace
}  // namespace nb::host
