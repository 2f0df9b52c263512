// The few operating-system queries of the log, the crash report and the environment report: the one
// place that knows which system the plug-in runs on.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

// Marks the one symbol the plug-in binary offers its host.
#ifdef _WIN32
#define NB_EXPORT __declspec(dllexport)
#else
#define NB_EXPORT __attribute__((visibility("default")))
#endif

// Code between these two compiles for AVX2 with FMA whatever the build's baseline; its caller checks
// the processor before running it. Each compiler spells such a region its own way.
// The same for AVX-512 (its foundation set) besides AVX2 and FMA.
#if defined(__clang__)
#define NB_BEGIN_AVX2_FMA \
    _Pragma("clang attribute push(__attribute__((target(\"avx2,fma\"))), apply_to = function)")
#define NB_END_AVX2_FMA _Pragma("clang attribute pop")
#define NB_BEGIN_AVX512 \
    _Pragma("clang attribute push(__attribute__((target(\"avx512f,avx2,fma\"))), apply_to = function)")
#define NB_END_AVX512 _Pragma("clang attribute pop")
#else
#define NB_BEGIN_AVX2_FMA _Pragma("GCC push_options") _Pragma("GCC target(\"avx2,fma\")")
#define NB_END_AVX2_FMA _Pragma("GCC pop_options")
#define NB_BEGIN_AVX512 _Pragma("GCC push_options") _Pragma("GCC target(\"avx512f,avx2,fma\")")
#define NB_END_AVX512 _Pragma("GCC pop_options")
#endif

namespace nb {

// The user's home folder ending in "/", or empty when the system names none.
std::string home_folder();
// Folder of the plug-in's own module file, ending in the directory separator.
std::string installation_folder();
// Hardware threads; 1 when the system reports none.
int64_t processor_count();
// Size of a memory page; 4096 when the system reports none.
int64_t page_size();
// The broken-down local time of a moment.
std::tm local_time(std::time_t moment);
// The caller's call stack, one frame per line, innermost first; a line saying so where the system
// offers none.
std::string call_stack();
// A short name of the running system, e.g. "Windows 10" or "Linux 6.1.0".
std::string operating_system_name();

// The home folder from the environment when the shell cannot give it: drive (empty when unset),
// then home or, when home is unset, the home path, then "/"; empty when neither is set.
// A null pointer stands for an unset variable.
std::string home_folder_from_environment(const char* home_drive, const char* home, const char* home_path);

// Windows' marketing name for a version; "Windows" when the version has none.
std::string windows_version_name(uint32_t major, uint32_t minor, bool workstation, bool home_server);

}  // namespace nb
