// Copies of the plug-in binary and their home folders.
#include "tests/support/plugin_binary.h"

#include <fstream>
#include <iterator>

namespace nb::test {

std::filesystem::path Plugin_Binary::built_library() {
    return std::filesystem::path(NB_PLUGIN_FOLDER) / NB_PLUGIN_FILE_NAME;
}

// A copy of its own is loaded afresh, with none of the state an earlier test left in the process. The
// Windows binary holds its property list; elsewhere it lies beside the binary.
Plugin_Binary::Plugin_Binary(bool log_file) : home_(log_file), library_(home_.folder() / NB_PLUGIN_FILE_NAME) {
    const std::filesystem::path original = built_library();
    std::filesystem::copy_file(original, library_);
    const std::filesystem::path pipl = std::filesystem::path(original).replace_extension(".pipl");
    if (std::filesystem::exists(pipl)) std::filesystem::copy_file(pipl, home_.folder() / "blurmond.pipl");
}

std::string Plugin_Binary::read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::filesystem::path> Plugin_Binary::crash_files() const {
    std::vector<std::filesystem::path> found;
    for (const auto& entry : std::filesystem::directory_iterator(home_.folder() / "nimbrel"))
        if (entry.path().extension() == ".crash") found.push_back(entry.path());
    return found;
}

}  // namespace nb::test
