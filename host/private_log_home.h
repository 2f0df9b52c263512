// A private home folder for the effect's log: the host reads the log, and the timing tables in it, from there.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace nb::host {

// Creates a temporary folder, with log_file the effect's log file "nimbrel/blurmond_ae.log" in it (the
// file's existence is what switches the effect's log on), and points the home variables (HOME; on Windows
// HOMEDRIVE and HOMEPATH) at it until destruction, when they are restored and the folder removed. Throws std::runtime_error when the folder cannot be made. The effect takes its log location from HOME at global setup, so the
// object must exist before then. Not thread-safe: the environment is process-wide.
class Private_Log_Home {
public:
    explicit Private_Log_Home(bool log_file = true);
    ~Private_Log_Home();
    Private_Log_Home(const Private_Log_Home&) = delete;
    Private_Log_Home& operator=(const Private_Log_Home&) = delete;

    const std::filesystem::path& folder() const { return folder_; }
    std::string log_text() const;  // empty without a log file

    // The last timing table in a log text: from its column header to its total line; empty for none.
    static std::string last_timing_table(const std::string& log);

private:
    std::filesystem::path folder_;
    std::vector<std::pair<std::string, std::optional<std::string>>> previous_;
};

}  // namespace nb::host
