// Control presets: the KEY=VALUE texts of --set kept in a file, one a line, to be read back by --preset.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tools/render_options.h"

namespace nb::tools {

// The settings of a preset file in order, each with the file and its line as origin. Blanks around a
// line and around its first '=' are dropped; blank lines and lines starting with '#' are skipped.
// Throws Tool_Error naming the file when it cannot be read, and the line too when it is not KEY=VALUE.
std::vector<Setting_Text> read_control_preset(const std::filesystem::path& path);

// Writes `lines` as a preset file, one a line, complete or not at all (see write_file_atomically).
// Throws Tool_Error.
void write_control_preset(const std::filesystem::path& path, const std::vector<std::string>& lines);

}  // namespace nb::tools
