// Tests of the private log home: HOME while it lives, and the last timing table cut from a log.
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
        EXPECT_NE(home.string(), before);
        EXPECT_TRUE(std::filesystem::exists(home / "nimbrel" / "blurmond_ae.log"));
        EXPECT_EQ(log_home.log_text(), "");
    }
    EXPECT_EQ(std::string(getenv("HOME") ? getenv("HOME") : ""), before);
    EXPECT_FALSE(std::filesystem::exists(home));
}

TEST(PrivateLogHome, CutsTheLastTableFromHeaderToTotal) {
    const std::string rule(152, '-');
    const std::string table = "    duration (s)\n  a (Cpu)  1.0\n" + rule + "\n  1.0 (100.00%)\n";
    const std::string log = "render path: PF_Cmd_RENDER\n\n\n" + std::string("    duration (s)\n  old\n") + rule +
                            "\n  9 (100.00%)\nrender path: PF_Cmd_RENDER\n\n\n" + table + "later entry\n";
    EXPECT_EQ(Private_Log_Home::last_timing_table(log), table);
    EXPECT_EQ(Private_Log_Home::last_timing_table("no table here\n"), "");
}

}  // namespace
}  // namespace nb::host
