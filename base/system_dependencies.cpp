// Operating-system queries: folders, processor count, page size, local time, call stack and system name.
#include "base/system_dependencies.h"

#include <cstdlib>
#include <thread>

#include "base/exception.h"

#ifdef _WIN32
#include <windows.h>

#include <filesystem>
#include <sstream>
#else
#include <cxxabi.h>
#include <dlfcn.h>
#include <execinfo.h>
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

namespace {

// Recorded by the system's load notification below, before the host can call the entry point.
HMODULE g_hInstance = nullptr;

std::string utf8(const std::u8string& text) { return std::string(text.begin(), text.end()); }

}  // namespace

// The profile folder's variables, as the host's own process inherited them.
std::string home_folder() {
    return home_folder_from_environment(std::getenv("HOMEDRIVE"), nullptr, std::getenv("HOMEPATH"));
}

std::string installation_folder() {
    ASSERT(g_hInstance != nullptr, "the plug-in's module handle was not recorded when it was loaded");
    const HMODULE module = g_hInstance;
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        ASSERT(length != 0, "the system does not name the plug-in's module file");
        // A full buffer means the name was cut short.
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return utf8((std::filesystem::path(path).parent_path() / "").u8string());
}

int64_t page_size() {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info.dwPageSize > 0 ? static_cast<int64_t>(info.dwPageSize) : int64_t{4096};
}

std::tm local_time(std::time_t moment) {
    std::tm local{};
    localtime_s(&local, &moment);
    return local;
}

// Addresses only: naming them needs the debug-help library and symbol files a user's machine lacks; the
// offset of each address in its module is what addr2line resolves against the unstripped build.
[[gnu::noinline]] std::string call_stack() {
    constexpr ULONG max_frames = 62;
    void* frames[max_frames];
    const USHORT count = CaptureStackBackTrace(1, max_frames, frames, nullptr);
    if (count == 0) return "(the system gave no call stack)";
    std::ostringstream text;
    for (USHORT i = 0; i < count; ++i) {
        HMODULE module = nullptr;
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           static_cast<LPCWSTR>(frames[i]), &module);
        wchar_t name[MAX_PATH] = {};
        if (module == nullptr || GetModuleFileNameW(module, name, MAX_PATH) == 0) {
            text << (i > 0 ? "\n" : "") << "? [" << frames[i] << "]";
            continue;
        }
        const auto offset = static_cast<char*>(frames[i]) - reinterpret_cast<char*>(module);
        text << (i > 0 ? "\n" : "") << utf8(std::filesystem::path(name).filename().u8string()) << "+0x" << std::hex
             << offset << std::dec << " [" << frames[i] << "]";
    }
    return text.str();
}

// GetVersionEx reports at most 6.2 to a module without a compatibility manifest, and a plug-in
// cannot choose its host's manifest; the kernel's own query tells the truth.
std::string operating_system_name() {
    using Rtl_Get_Version = LONG(WINAPI*)(OSVERSIONINFOEXW*);
    OSVERSIONINFOEXW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    // Through void (*)(): the generic function type the compiler accepts casts from and to.
    const auto get_version = ntdll ? reinterpret_cast<Rtl_Get_Version>(
                                         reinterpret_cast<void (*)()>(GetProcAddress(ntdll, "RtlGetVersion")))
                                   : nullptr;
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

int64_t page_size() {
    const long reported = sysconf(_SC_PAGESIZE);
    return reported > 0 ? static_cast<int64_t>(reported) : int64_t{4096};
}

std::tm local_time(std::time_t moment) {
    std::tm local{};
    localtime_r(&moment, &local);
    return local;
}

namespace {

// backtrace_symbols gives "module(mangled+offset) [address]"; the demangled name reads better.
std::string readable_frame(const char* frame) {
    std::string text(frame);
    const std::size_t open = text.find('(');
    const std::size_t plus = text.find('+', open);
    if (open == std::string::npos || plus == std::string::npos || plus == open + 1) return text;
    const std::string mangled = text.substr(open + 1, plus - open - 1);
    int status = -1;
    char* demangled = abi::__cxa_demangle(mangled.c_str(), nullptr, nullptr, &status);
    if (status == 0 && demangled) text.replace(open + 1, mangled.size(), demangled);
    std::free(demangled);
    return text;
}

}  // namespace

[[gnu::noinline]] std::string call_stack() {
    constexpr int max_frames = 64;
    void* frames[max_frames];
    const int count = backtrace(frames, max_frames);
    char** symbols = backtrace_symbols(frames, count);
    std::string text;
    for (int i = 1; i < count; ++i) {
        if (i > 1) text += "\n";
        text += symbols ? readable_frame(symbols[i]) : "?";
    }
    std::free(symbols);
    return text;
}

std::string operating_system_name() {
    utsname names{};
    if (uname(&names) != 0) return "unknown";
    return std::string(names.sysname) + " " + names.release;
}

#endif

}  // namespace nb

#ifdef _WIN32
// The host loads the plug-in as a DLL; its module handle names the installation folder.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) nb::g_hInstance = instance;
    return TRUE;
}
#endif
