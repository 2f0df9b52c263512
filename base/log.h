// The process-wide log: remembers recent entries, writes them to a file only when the user created it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <deque>
#include <mutex>
#include <string>

namespace nb {

struct Plugin_Description;

inline constexpr const char* warning_prefix = "-**### WARNING ###**-: ";
inline constexpr const char* error_prefix = "-**###  ERROR  ###**-: ";

// Levels: 0 remember only, 1 information, 2 warning, 3 error. Every operation is thread-safe.
class Log {
public:
    Log() = default;
    ~Log();
    Log(const Log&) = delete;
    Log& operator=(const Log&) = delete;

    // Records one entry; the caller ends the text with "\n". With a file open, every entry reaches it
    // exactly once, oldest first, whatever its level. Never throws on file errors.
    void log(const std::string& text, int level);
    // Path without extension; the log file is base + ".log". An open file stays open.
    void set_base_path(const std::string& base);
    bool is_active();
    // Dumps the remembered entries into a time-stamped ".crash" file beside the log, named after
    // the current local time; a crash file that cannot be created loses the dump silently.
    void write_crash_log();
    // The same with the time given, so the file name can be checked.
    void write_crash_log(const std::tm& local_time);
    // base + "(year_month_day-hour_minute_second).crash", numbers without leading zeros.
    static std::string crash_file_path(const std::string& base, const std::tm& local_time);
    // Seven level-1 entries: host, plug-in name and version, installation folder, cpus, system.
    void write_environment_report(const std::string& host_description, const Plugin_Description& plugin);

    std::deque<std::string> remembered();  // a copy, oldest first

    // For tests only, since the log lives as long as the process: closes the file and forgets the
    // base path and every entry, as at process start.
    void reset_for_tests();

private:
    void open_log_file_if_created();
    void write_remembered();

    std::mutex mutex_;
    std::string base_;
    std::FILE* file_ = nullptr;
    int64_t line_limit_ = 2000;
    std::deque<std::string> entries_;
};

Log& log_instance();

inline void log(const std::string& text, int level) { log_instance().log(text, level); }

}  // namespace nb
