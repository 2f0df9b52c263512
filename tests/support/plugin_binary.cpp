// Copies of the plug-in binary and their home folders.
#include "tests/support/plugin_binary.h"

#include <stdlib.h>

#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

namespace nb::test {

std::filesystem::path Plugin_Binary::built_library() { return std::filesystem::path(NB_PLUGIN_FOLDER) / "blurmond.so"; }

Plugin_Binary::Plugin_Binary(bool log_file) {
    std::string pattern = (std::filesystem::temp_directory_path() / "nb_plugin_XXXXXX").string();
    if (!mkdtemp(pattern.data())) ADD_FAILURE() << "cannot create a temporary folder from " << pattern;
    folder_ = pattern;
    std::filesystem::create_directory(folder_ / "nimbrel");
    if (log_file) std::ofstream(folder_ / "nimbrel" / "blurmond_ae.log");

    // A copy of its own is loaded afresh, with none of the state an earlier test left in the process.
    const std::filesystem::path original = built_library();
    library_ = folder_ / "blurmond.so";
    std::filesystem::copy_file(original, library_);
    std::filesystem::copy_file(std::filesystem::path(original).replace_extension(".pipl"), folder_ / "blurmond.pipl");

    if (const char* home = getenv("HOME")) {
        had_home_ = true;
        previous_home_ = home;
    }
    setenv("HOME", folder_.c_str(), 1);
}

Plugin_Binary::~Plugin_Binary() {
    if (had_home_) {
        setenv("HOME", previous_home_.c_str(), 1);
    } else {
        unsetenv("HOME");
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

std::string Plugin_Binary::read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Plugin_Binary::log_text() const { return read(folder_ / "nimbrel" / "blurmond_ae.log"); }

std::vector<std::filesystem::path> Plugin_Binary::crash_files() const {
    std::vector<std::filesystem::path> found;
    for (const auto& entry : std::filesystem::directory_iterator(folder_ / "nimbrel"))
        if (entry.path().extension() == ".crash") found.push_back(entry.path());
    return found;
}

}  // namespace nb::test
