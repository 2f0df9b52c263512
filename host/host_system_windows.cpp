// The host's system services on Windows: LoadLibrary, and the property list as a resource of the binary.
#include "host/host_system.h"

#include <windows.h>

#include <cstdlib>
#include <random>
#include <stdexcept>

namespace nb::host::system {
namespace {

constexpr WORD pipl_resource_id = 16000;

std::string system_message(DWORD code) {
    char* text = nullptr;
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length ? std::string(text, length) : "error " + std::to_string(code);
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
    return message;
}

}  // namespace

// Loaded as an image resource only: discovery must not run the plug-in's code.
std::vector<uint8_t> read_pipl(const std::filesystem::path& library) {
    const HMODULE module =
        LoadLibraryExW(library.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (module == nullptr)
        throw std::runtime_error("cannot read " + library.string() + ": " + system_message(GetLastError()));
    std::vector<uint8_t> bytes;
    const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(pipl_resource_id), L"PiPL");
    const HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const auto* data = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
    if (data) bytes.assign(data, data + SizeofResource(module, found));
    FreeLibrary(module);
    if (!data) throw std::runtime_error(library.string() + " has no property list resource");
    return bytes;
}

void* open_library(const std::filesystem::path& library) {
    const HMODULE module = LoadLibraryW(library.c_str());
    if (module == nullptr)
        throw std::runtime_error("cannot load " + library.string() + ": " + system_message(GetLastError()));
    return module;
}

void* find_symbol(void* library, const std::string& name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name.c_str()));
}

void close_library(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }

// Windows gives large pages only to memory allocated for them, under a privilege few accounts hold.
void advise_large_pages(void*, std::size_t) {}

// Its heaps already give blocks of more than half a megabyte memory of their own.
void map_large_blocks_alone(std::size_t) {}

int64_t physical_memory() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    return GlobalMemoryStatusEx(&status) ? static_cast<int64_t>(status.ullTotalPhys) : 0;
}

// The effect reads drive and path separately, as Windows' logon sets them.
std::vector<std::pair<std::string, std::string>> home_variables(const std::filesystem::path& folder) {
    return {{"HOMEDRIVE", folder.root_name().string()},
            {"HOMEPATH", (folder.root_directory() / folder.relative_path()).string()}};
}

std::optional<std::string> environment_variable(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    return value ? std::optional<std::string>(value) : std::nullopt;
}

// An empty value removes a variable on Windows, so unsetting needs no call of its own.
void set_environment_variable(const std::string& name, const std::optional<std::string>& value) {
    _putenv_s(name.c_str(), value ? value->c_str() : "");
}

std::filesystem::path make_temporary_folder(const std::string& prefix) {
    std::random_device seed;
    std::mt19937_64 random(seed());
    const std::filesystem::path parent = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::filesystem::path folder = parent / (prefix + std::to_string(random() % 1000000000));
        if (std::filesystem::create_directory(folder)) return folder;
    }
    throw std::runtime_error("cannot create a temporary folder in " + parent.string());
}

}  // namespace nb::host::system
