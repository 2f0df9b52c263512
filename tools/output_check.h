// Checks that an output can be written where and as asked, made before any work that would be lost.
#pragma once

#include <filesystem>

namespace nb::tools {

// Throws Tool_Error with one line naming `path` when it is a folder, or when its folder does not exist
// or takes no new file (permissions, a read-only file system).
void check_writable_file(const std::filesystem::path& path);

// As check_writable_file, and when OpenImageIO has no writer for the format the name calls for. A frame
// pattern stands for its frames: they share its folder and extension.
void check_image_output(const std::filesystem::path& path);

}  // namespace nb::tools
