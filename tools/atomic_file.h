// Writes a file under a temporary name beside it and renames it, so no reader ever sees half a file.
#pragma once

#include <filesystem>
#include <functional>

namespace nb::tools {

// Calls `write` with a temporary path in the target's folder (same extension, hidden name), then
// renames that file onto `target`, replacing an existing file. When `write` throws or the rename
// fails, the temporary file is removed, `target` is left as it was, and the failure propagates
// (a failed rename as Tool_Error). Throws Tool_Error when the target's folder does not exist, and
// drops the file the same way when an interrupting signal came (see check_interrupt). The temporary
// name stays within the file system's name limit for any legal target name.
void write_file_atomically(const std::filesystem::path& target,
                           const std::function<void(const std::filesystem::path& temporary)>& write);

}  // namespace nb::tools
