// Construction of the plug-in's exceptions: each writes its log entry before it is thrown.
#include "base/exception.h"

#include <algorithm>
#include <cstdlib>
#include <source_location>

#include "base/error_names.h"
#include "base/log.h"
#include "base/system_dependencies.h"

namespace nb {
namespace {

constexpr std::string_view own_path = "base/exception.cpp";

// The repository root as this file was compiled: empty when the build already maps __FILE__ to
// repository-relative paths, else the absolute prefix in front of this file's own relative path.
std::string_view compiled_root() {
    const std::string_view own = std::source_location::current().file_name();
    if (own.size() >= own_path.size() && own.substr(own.size() - own_path.size()) == own_path)
        return own.substr(0, own.size() - own_path.size());
    return {};
}

constexpr const char* top_folders[] = {"base", "util", "kernel", "effect", "host", "tests", "bench", "tools", "sdk"};

// For a path compiled elsewhere: start at the first top-level folder of the repository.
std::string strip_to_top_folder(const std::string& path) {
    for (const char* folder : top_folders) {
        if (path.starts_with(std::string(folder) + "/")) return path;
    }
    std::size_t first = std::string::npos;
    for (const char* folder : top_folders) first = std::min(first, path.find(std::string("/").append(folder).append("/")));
    return first == std::string::npos ? path : path.substr(first + 1);
}

std::string without_extension(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t name_start = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot <= name_start) return path;
    return path.substr(0, dot);
}

void log_code_warning(std::string_view lead, const std::string& name, int32_t code, std::string_view file,
                      int64_t line, const std::string& message) {
    std::ostringstream text;
    text << warning_prefix << lead << name << " (" << code << "). Thrown in file " << file << " line " << line
         << ". " << message << "\n";
    log(text.str(), 2);
}

}  // namespace

std::string source_path(std::string_view file) {
    std::string path(file);
    for (char& c : path) {
        if (c == '\\') c = '/';
    }
    std::string root(compiled_root());
    for (char& c : root) {
        if (c == '\\') c = '/';
    }
    if (!root.empty() && path.starts_with(root)) path.erase(0, root.size());
    return without_extension(strip_to_top_folder(path));
}

Exception_Abort::Exception_Abort() : Exception_Runtime("abort computation exception") {}

Exception_After_Effects::Exception_After_Effects(const std::string& message, int32_t code, std::string_view file,
                                                 int64_t line)
    : Exception_Runtime(message), code(code) {
    constexpr int32_t interrupt_cancel = 517;  // a user's cancel is not a warning
    if (code != interrupt_cancel)
        log_code_warning("After Effects Error: ", pf_err_name(code), code, file, line, message);
}

Exception_Ae_Suite::Exception_Ae_Suite(const std::string& message, int32_t code, std::string_view file,
                                       int64_t line)
    : Exception_Runtime(message), code(code) {
    log_code_warning("After Effects Suite Error: ", sp_err_name(code), code, file, line, message);
}

Exception_Premiere::Exception_Premiere(const std::string& message, int32_t code, std::string_view file,
                                       int64_t line)
    : Exception_Runtime(message), code(code) {
    log_code_warning("Premiere Error with code: ", pr_suite_error_name(code), code, file, line, message);
}

Exception_Assert::Exception_Assert(const std::string& message, std::string_view expression, std::string_view file,
                                   int64_t line)
    : Exception_Runtime(message) {
    std::ostringstream text;
    text << error_prefix << "-**### ASSERTION FAILED ###** (" << expression << ") in " << file << " line " << line
         << ". " << message << "\n"
         << call_stack() << "\n";
    log(text.str(), 3);
}

}  // namespace nb
