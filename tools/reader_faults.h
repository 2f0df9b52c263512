// Files OpenImageIO 2.4's readers cannot be trusted with: their headers or run-length data take a
// reader past its buffers or its integers, where it crashes the process or overwrites its memory. They are known by
// their content, whatever their names, and refused before the library reads them.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace nb::tools {

// Why the file must not reach the library's reader; nothing where the reader can be left to judge it.
std::optional<std::string> reader_fault(const std::filesystem::path& path);

}  // namespace nb::tools
