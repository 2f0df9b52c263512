// The process-wide log: memory of recent entries, the user-enabled log file and crash dumps.
#include "base/log.h"

#include <sstream>

#include "base/plugin_description.h"
#include "base/system_dependencies.h"

namespace nb {

Log::~Log() {
    if (file_) std::fclose(file_);
}

// The level does not change where an entry goes: every entry is remembered, and an open file
// receives each remembered entry once, so an entry never appears twice in the file.
void Log::log(const std::string& text, [[maybe_unused]] int level) {
    std::lock_guard lock(mutex_);
    open_log_file_if_created();
    entries_.push_back(text);
    while (static_cast<int64_t>(entries_.size()) > line_limit_) entries_.pop_front();
    if (file_) write_remembered();
}

void Log::set_base_path(const std::string& base) {
    std::lock_guard lock(mutex_);
    base_ = base;
}

bool Log::is_active() {
    std::lock_guard lock(mutex_);
    return file_ != nullptr;
}

void Log::write_crash_log() {
    write_crash_log(local_time(std::time(nullptr)));
}

void Log::write_crash_log(const std::tm& local_time) {
    std::lock_guard lock(mutex_);
    if (!file_) file_ = std::fopen(crash_file_path(base_, local_time).c_str(), "a+b");
    if (file_) write_remembered();
}

std::string Log::crash_file_path(const std::string& base, const std::tm& local_time) {
    std::ostringstream path;
    path << base << "(" << local_time.tm_year + 1900 << "_" << local_time.tm_mon + 1 << "_" << local_time.tm_mday
         << "-" << local_time.tm_hour << "_" << local_time.tm_min << "_" << local_time.tm_sec << ").crash";
    return path.str();
}

void Log::write_environment_report(const std::string& host_description, const Plugin_Description& plugin) {
    std::ostringstream version;
    version << plugin.version_major << "." << plugin.version_minor << "." << plugin.version_bugfix;
    log("*** Environment Information ***\n", 1);
    log("    Plugin Host: " + host_description + "\n", 1);
    log("    Plugin: " + plugin.name + " " + version.str() + "\n", 1);
    log("    Installation folder: " + installation_folder() + "\n", 1);
    log("    Cpu Count: " + std::to_string(processor_count()) + "\n", 1);
    log("    Operating System: " + operating_system_name() + "\n", 1);
    log("----------------------------------\n", 1);
}

std::deque<std::string> Log::remembered() {
    std::lock_guard lock(mutex_);
    return entries_;
}

void Log::reset_for_tests() {
    std::lock_guard lock(mutex_);
    if (file_) std::fclose(file_);
    file_ = nullptr;
    base_.clear();
    entries_.clear();
}

// Logging to a file is switched on by the user creating the empty log file.
void Log::open_log_file_if_created() {
    if (file_ || base_.empty()) return;
    const std::string path = base_ + ".log";
    std::FILE* probe = std::fopen(path.c_str(), "r");
    if (!probe) return;
    std::fclose(probe);
    // Binary: the log holds the same bytes on every system, its lines ending in "\n" alone.
    file_ = std::fopen(path.c_str(), "a+b");
}

void Log::write_remembered() {
    for (const std::string& entry : entries_) std::fprintf(file_, "%s", entry.c_str());
    entries_.clear();
    std::fflush(file_);
}

Log& log_instance() {
    static Log instance;
    return instance;
}

}  // namespace nb
