// Reading and writing control presets.
#include "tools/control_preset.h"

#include <fstream>

#include "tools/atomic_file.h"
#include "tools/tool_error.h"

namespace nb::tools {
namespace {

std::string trimmed(const std::string& line) {
    const char* const blanks = " \t\r";
    const size_t first = line.find_first_not_of(blanks);
    return first == std::string::npos ? "" : line.substr(first, line.find_last_not_of(blanks) - first + 1);
}

}  // namespace

std::vector<Setting_Text> read_control_preset(const std::filesystem::path& path) {
    const std::string name = "preset '" + path.string() + "'";
    std::error_code error;
    std::ifstream file(path);
    if (!std::filesystem::is_regular_file(path, error) || !file) throw Tool_Error("cannot read " + name + ": no such file");
    std::vector<Setting_Text> settings;
    int number = 0;
    for (std::string line; std::getline(file, line);) {
        const std::string text = trimmed(line);
        const std::string origin = name + " line " + std::to_string(++number);
        if (text.empty() || text.front() == '#') continue;
        const size_t equals = text.find('=');
        if (equals == std::string::npos || equals == 0) throw Tool_Error(origin + ": expected KEY=VALUE, not '" + text + "'");
        // Written by hand, "radius = 20" is as plain as "radius=20".
        settings.push_back({trimmed(text.substr(0, equals)) + "=" + trimmed(text.substr(equals + 1)), origin});
    }
    return settings;
}

void write_control_preset(const std::filesystem::path& path, const std::vector<std::string>& lines) {
    write_file_atomically(path, [&](const std::filesystem::path& temporary) {
        std::ofstream file(temporary, std::ios::binary);
        for (const std::string& line : lines) file << line << "\n";
        file.close();
        if (!file) throw Tool_Error("cannot write preset '" + path.string() + "'");
    });
}

}  // namespace nb::tools
