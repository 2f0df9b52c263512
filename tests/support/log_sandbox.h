// Gives a test the process-wide log fresh, with its files in a private temporary folder.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "base/log.h"

namespace nb::test {

// The log outlives every test, so each test starts it afresh and leaves it empty and inactive;
// its files never land in the real home folder.
class Log_Sandbox {
public:
    Log_Sandbox() {
        std::string pattern = (std::filesystem::temp_directory_path() / "nb_log_XXXXXX").string();
        const char* made = mkdtemp(pattern.data());
        if (!made) ADD_FAILURE() << "cannot create a temporary folder from " << pattern;
        folder_ = pattern;
        log_instance().reset_for_tests();
        log_instance().set_base_path(base());
    }
    ~Log_Sandbox() {
        log_instance().reset_for_tests();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    Log_Sandbox(const Log_Sandbox&) = delete;
    Log_Sandbox& operator=(const Log_Sandbox&) = delete;

    const std::filesystem::path& folder() const { return folder_; }
    std::string base() const { return (folder_ / "blurmond_ae").string(); }
    std::string log_path() const { return base() + ".log"; }

    // What the user does to switch file logging on.
    void create_log_file() const { std::ofstream created(log_path()); }

    static std::string read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::filesystem::path folder_;
};

}  // namespace nb::test
