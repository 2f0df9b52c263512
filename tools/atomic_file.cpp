// Writes a file under a temporary name beside it and renames it, so no reader ever sees half a file.
#include "tools/atomic_file.h"

#include <limits.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <system_error>

#include "tools/interrupt_signals.h"
#include "tools/tool_error.h"

namespace nb::tools {
namespace {

namespace fs = std::filesystem;

// Process id and a counter keep concurrent writers (other processes, other threads) apart; the
// extension stays last because image libraries choose the writer by it. The stem gives way so that
// every name the target may have leaves room for the rest within the file system's name limit.
fs::path temporary_path_for(const fs::path& target) {
    static std::atomic<uint64_t> counter{0};
    const std::string tail = ".partial-" + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1)) +
                             target.extension().string();
    std::string stem = target.stem().string();
    const size_t room = NAME_MAX > tail.size() + 1 ? NAME_MAX - tail.size() - 1 : 0;
    if (stem.size() > room) stem.resize(room);
    return target.parent_path() / ("." + stem + tail);
}

void remove_quietly(const fs::path& path) {
    std::error_code ignored;
    fs::remove(path, ignored);
}

}  // namespace

void write_file_atomically(const fs::path& target, const std::function<void(const fs::path& temporary)>& write) {
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    std::error_code error;
    if (!fs::is_directory(folder, error))
        throw Tool_Error("cannot write '" + target.string() + "': folder '" + folder.string() + "' does not exist");

    const fs::path temporary = temporary_path_for(target);
    try {
        write(temporary);
        // A file finished after the user interrupted is not what they asked to keep.
        check_interrupt();
    } catch (...) {
        remove_quietly(temporary);
        throw;
    }
    fs::rename(temporary, target, error);
    if (error) {
        remove_quietly(temporary);
        throw Tool_Error("cannot write '" + target.string() + "': " + error.message());
    }
}

}  // namespace nb::tools
