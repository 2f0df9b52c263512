// A private home folder for the effect's log, so --timing can read the timing tables it writes there.
#pragma once

#include <filesystem>
#include <string>

namespace nb::tools {

// Creates a temporary folder holding the effect's log file "nimbrel/blurmond_ae.log" (the file's
// existence is what switches the effect's log on) and points HOME at it until destruction, when HOME is
// restored and the folder removed. The effect takes its log location from HOME at global setup, so the
// object must exist before then. Not thread-safe: the environment is process-wide.
class Private_Log_Home {
public:
    Private_Log_Home();
    ~Private_Log_Home();
    Private_Log_Home(const Private_Log_Home&) = delete;
    Private_Log_Home& operator=(const Private_Log_Home&) = delete;

    std::string log_text() const;

    // The last timing table in a log text: from its column header to its total line; empty for none.
    static std::string last_timing_table(const std::string& log);

private:
    std::filesystem::path folder_;
    std::string previous_home_;
    bool had_home_ = false;
};

}  // namespace nb::tools
