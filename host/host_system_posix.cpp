// The host's system services on POSIX systems: dlopen, and the property list in a file beside the binary.
#include "host/host_system.h"

#include <dlfcn.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <stdlib.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <limits>
#include <stdexcept>

#include "host/plugin_module.h"

namespace nb::host::system {

std::vector<uint8_t> read_pipl(const std::filesystem::path& library) {
    const std::filesystem::path path = Plugin_Module::pipl_path(library);
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read the property list " + path.string());
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Local binding keeps the plug-in's symbols out of the host's and of every other plug-in's way.
void* open_library(const std::filesystem::path& library) {
    void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) throw std::runtime_error("cannot load " + library.string() + ": " + dlerror());
    return handle;
}

void* find_symbol(void* library, const std::string& name) { return dlsym(library, name.c_str()); }

int64_t physical_memory() {
    const long pages = sysconf(_SC_PHYS_PAGES), page = sysconf(_SC_PAGE_SIZE);
    return pages > 0 && page > 0 ? static_cast<int64_t>(pages) * page : 0;
}

// Only whole pages can take advice; the partial pages at either end keep the default. Less than 2 MiB,
// one large page on x86-64 and on ARM with 4 KiB pages, could not use one, and advising small blocks
// would split the heap's mapping into many.
void advise_large_pages(void* data, std::size_t bytes) {
#ifdef MADV_HUGEPAGE
    if (bytes < std::size_t{2} << 20) return;
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGE_SIZE));
    const auto begin = (reinterpret_cast<std::uintptr_t>(data) + page - 1) / page * page;
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + bytes) / page * page;
    if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)data;
    (void)bytes;
#endif
}

void map_large_blocks_alone(std::size_t bytes) {
#ifdef M_MMAP_THRESHOLD
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(std::min<std::size_t>(bytes, std::numeric_limits<int>::max())));
#else
    (void)bytes;
#endif
}

void close_library(void* library) { dlclose(library); }

std::vector<std::pair<std::string, std::string>> home_variables(const std::filesystem::path& folder) {
    return {{"HOME", folder.string()}};
}

std::optional<std::string> environment_variable(const std::string& name) {
    const char* value = getenv(name.c_str());
    return value ? std::optional<std::string>(value) : std::nullopt;
}

void set_environment_variable(const std::string& name, const std::optional<std::string>& value) {
    if (value) {
        setenv(name.c_str(), value->c_str(), 1);
    } else {
        unsetenv(name.c_str());
    }
}

std::filesystem::path make_temporary_folder(const std::string& prefix) {
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "XXXXXX")).string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder " + pattern);
    return pattern;
}

}  // namespace nb::host::system
