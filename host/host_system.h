// What the headless host asks of the operating system: loading a plug-in binary the way the system's
// real host does, and the process environment the effect reads its home folder from. One source file
// per system (host_system_posix.cpp, host_system_windows.cpp) answers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace nb::host::system {

// The property list of a plug-in binary, read without running any of its code: on POSIX systems the
// ".pipl" file beside it, on Windows the binary's "PiPL" resource 16000. Throws std::runtime_error when
// there is none.
std::vector<uint8_t> read_pipl(const std::filesystem::path& library);

// Opens the binary with its symbols private to it; throws std::runtime_error with the system's reason.
void* open_library(const std::filesystem::path& library);
// The exported function of that name, or null.
void* find_symbol(void* library, const std::string& name);
void close_library(void* library);

// The environment variables the effect takes its home folder from, set so that it is folder.
std::vector<std::pair<std::string, std::string>> home_variables(const std::filesystem::path& folder);
// nullopt for an unset variable.
std::optional<std::string> environment_variable(const std::string& name);
// nullopt unsets it.
void set_environment_variable(const std::string& name, const std::optional<std::string>& value);

// Bytes of physical memory the machine has; 0 when the system does not say.
int64_t physical_memory();

// Asks for [data, data + bytes), not yet touched, to be backed by the system's large pages: a frame
// then costs tens of page faults instead of thousands. Advice only: where there are none, nothing changes.
void advise_large_pages(void* data, std::size_t bytes);

// Has the process's allocator map every block of at least bytes on its own and unmap it when freed, as
// it does at first: by default it raises that bound to the largest block freed and keeps smaller ones
// in its heap, where a frame freed stays resident beside the next.
void map_large_blocks_alone(std::size_t bytes);

// A vector of count values, its storage advised as above before the values are written.
template <class T>
std::vector<T> large_vector(std::size_t count, const T& value = T()) {
    std::vector<T> values;
    values.reserve(count);
    advise_large_pages(values.data(), count * sizeof(T));
    values.resize(count, value);
    return values;
}

// A new empty folder of its own below the system's temporary folder, its name starting with prefix.
std::filesystem::path make_temporary_folder(const std::string& prefix);

}  // namespace nb::host::system
