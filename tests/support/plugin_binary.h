// The plug-in binary for one test: a private copy (fresh process-wide state: log, registration) and a
// private home folder for its log and crash files.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "host/private_log_home.h"

namespace nb::test {

// Sets HOME to a temporary folder holding "nimbrel/" for the life of the object, so the plug-in's log
// goes there; with log_file the log file is created, which switches the plug-in's file log on. Not
// thread-safe: tests run one at a time.
class Plugin_Binary {
public:
    explicit Plugin_Binary(bool log_file = true);
    Plugin_Binary(const Plugin_Binary&) = delete;
    Plugin_Binary& operator=(const Plugin_Binary&) = delete;

    // The copy of the binary (blurmond.so, its blurmond.pipl beside it; or blurmond.aex).
    const std::filesystem::path& library() const { return library_; }
    // The original in the build folder.
    static std::filesystem::path built_library();

    std::string log_text() const { return home_.log_text(); }  // as written so far; empty without one
    std::vector<std::filesystem::path> crash_files() const;
    static std::string read(const std::filesystem::path& path);

private:
    host::Private_Log_Home home_;
    std::filesystem::path library_;
};

}  // namespace nb::test
