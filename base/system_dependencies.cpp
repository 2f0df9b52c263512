// Operating-system queries: home and installation folders, processor count and system name.
#include "base/system_dependencies.h"

#include <cstdlib>
#include <thread>

#include "base/exception.h"

#ifdef _WIN32
#include <windows.h>
#include <shlobj.h>
#include <stdlib.h>
#else
#include <dlfcn.h>
#include <pwd.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <filesystem>
#include <vector>
#endif

namespace nb {

std::string home_folder_from_environment(const char* home_drive, const char* home, const char* home_path) {
    const char* path = home ? home : home_path;
    if (!path) return {};
    return std::string(home_drive ? home_drive : "") + path + "/";
}

std::string windows_version_name(uint32_t major, uint32_t minor, bool workstation, bool home_server) {
    const auto version = [&](uint32_t v, uint32_t w) { return major == v && minor == w; };
    std::string name = "Windows";
    if (version(10, 0) && workstation) name = "Windows 10";
    if (version(6, 3) && workstation) name = "Windows 8.1";
    if (version(6, 2) && workstation) name = "Windows 8";
    if (version(6, 2) && !workstation) name = "Windows Server 2012";
    if (version(6, 1) && workstation) name = "Windows 7";
    if (version(6, 1) && !workstation) name = "Windows Server 2008 R2";
    if (version(6, 0) && !workstation) name = "Windows Server 2008";
    if (version(6, 0) && workstation) name = "Windows Vista";
    if (version(5, 2) && workstation) {
        name = "Windows XP Professional x64";
    } else if (version(5, 2) && home_server) {
        name = "Windows Home Server";
    } else if (version(5, 2)) {
        name = "Windows Server 2003";
    }
    if (version(5, 1)) name = "Windows XP";
    if (version(5, 0)) name = "Windows 2000";
    return name;
}

int64_t processor_count() {
    const unsigned threads = std::thread::hardware_concurrency();
    return threads == 0 ? 1 : static_cast<int64_t>(threads);
}

#ifdef _WIN32

void* g_hInstance = nullptr;

std::string home_folder() {
    char profile[MAX_PATH] = {};
    if (SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_PROFILE, nullptr, 0, profile))) return std::string(profile) + "/";
    return home_folder_from_environment(std::getenv("HOMEDRIVE"), std::getenv("HOME"), std::getenv("HOMEPATH"));
}

std::string installation_folder() {
    ASSERT(g_hInstance != nullptr);
    constexpr DWORD path_capacity = 512;
    char path[path_capacity] = {};
    GetModuleFileNameA(static_cast<HMODULE>(g_hInstance), path, path_capacity);
    char drive[_MAX_DRIVE] = {};
    char directory[_MAX_DIR] = {};
    _splitpath_s(path, drive, _MAX_DRIVE, directory, _MAX_DIR, nullptr, 0, nullptr, 0);
    return std::string(drive) + directory;
}

// GetVersionEx reports at most 6.2 to a module without a compatibility manifest, and a plug-in
// cannot choose its host's manifest; the kernel's own query tells the truth.
std::string operating_system_name() {
    using Rtl_Get_Version = LONG(WINAPI*)(OSVERSIONINFOEXW*);
    OSVERSIONINFOEXW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    const auto get_version =
        ntdll ? reinterpret_cast<Rtl_Get_Version>(GetProcAddress(ntdll, "RtlGetVersion")) : nullptr;
    if (!get_version || get_version(&info) != 0) return "Windows";
    return windows_version_name(info.dwMajorVersion, info.dwMinorVersion, info.wProductType == VER_NT_WORKSTATION,
                                (info.wSuiteMask & VER_SUITE_WH_SERVER) != 0);
}

#else

std::string home_folder() {
    const char* home = std::getenv("HOME");
    if (home && *home) return std::string(home) + "/";
    long size_hint = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size_hint > 0 ? static_cast<std::size_t>(size_hint) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir &&
        *found->pw_dir)
        return std::string(found->pw_dir) + "/";
    return home_folder_from_environment(std::getenv("HOMEDRIVE"), nullptr, std::getenv("HOMEPATH"));
}

// The module that holds this very function is the plug-in (or the program it is linked into).
std::string installation_folder() {
    Dl_info info{};
    const int found = dladdr(reinterpret_cast<void*>(&installation_folder), &info);
    ASSERT(found != 0 && info.dli_fname != nullptr, "dladdr() does not know the plug-in's module");
    std::error_code failed;
    std::filesystem::path module = std::filesystem::absolute(info.dli_fname, failed);
    if (failed) module = info.dli_fname;
    std::string folder = module.parent_path().string();
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

std::string operating_system_name() {
    utsname names{};
    if (uname(&names) != 0) return "unknown";
    return std::string(names.sysname) + " " + names.release;
}

#endif

}  // namespace nb
