// Early checks of output files.
#include "tools/output_check.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>

#include <OpenImageIO/imageio.h>
#include <OpenImageIO/strutil.h>

#include "tools/tool_error.h"

namespace nb::tools {
namespace {

namespace fs = std::filesystem;

[[noreturn]] void refuse(const fs::path& path, const std::string& why) {
    throw Tool_Error("cannot write '" + path.string() + "': " + why);
}

// Permission bits do not tell (a read-only mount; root passes every permission check), so a file is
// made and removed again. Returns the reason it cannot be made, or an empty text.
std::string refusal_of_new_files(const fs::path& folder) {
    const fs::path probe = folder / (".blurmond-render-probe-" + std::to_string(::getpid()));
    const int file = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (file < 0) return std::strerror(errno);
    ::close(file);
    ::unlink(probe.c_str());
    return "";
}

// The format OpenImageIO reads files with this name's extension as; empty for none.
std::string reading_format(const fs::path& path) {
    const std::string extension = OIIO::Strutil::lower(path.extension().string());
    for (const auto& [format, extensions] : OIIO::get_extension_map())
        if (!extension.empty() && std::ranges::find(extensions, extension.substr(1)) != extensions.end()) return format;
    return "";
}

}  // namespace

void check_writable_file(const fs::path& path) {
    const fs::path folder = path.parent_path().empty() ? fs::path(".") : path.parent_path();
    std::error_code error;
    if (fs::is_directory(path, error)) refuse(path, "it is a folder");
    if (!fs::is_directory(folder, error)) refuse(path, "folder '" + folder.string() + "' does not exist");
    if (const std::string reason = refusal_of_new_files(folder); !reason.empty())
        refuse(path, "folder '" + folder.string() + "' takes no new file (" + reason + ")");
}

void check_image_output(const fs::path& path) {
    check_writable_file(path);
    if (OIIO::ImageOutput::create(path.string())) return;
    OIIO::geterror();
    // A format known by its reader alone deserves a clearer word than an unknown one.
    const std::string format = reading_format(path);
    refuse(path, format.empty() ? "unsupported image format" : "OpenImageIO reads " + format + " files but cannot write them");
}

}  // namespace nb::tools
