// Temporary home folders for the effect's log, and the timing tables read back from it.
#include "host/private_log_home.h"

#include <stdlib.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace nb::host {
namespace {

const char* const log_file_name = "nimbrel/blurmond_ae.log";

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

bool is_rule(const std::string& line) { return line.size() > 40 && line.find_first_not_of('-') == std::string::npos; }

}  // namespace

Private_Log_Home::Private_Log_Home(bool log_file) {
    std::string pattern = (std::filesystem::temp_directory_path() / "blurmond_log_XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder for the effect's log");
    folder_ = pattern;
    std::filesystem::create_directory(folder_ / "nimbrel");
    if (log_file) std::ofstream(folder_ / log_file_name);
    if (const char* home = getenv("HOME")) {
        had_home_ = true;
        previous_home_ = home;
    }
    setenv("HOME", folder_.c_str(), 1);
}

Private_Log_Home::~Private_Log_Home() {
    if (had_home_) {
        setenv("HOME", previous_home_.c_str(), 1);
    } else {
        unsetenv("HOME");
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

std::string Private_Log_Home::log_text() const {
    std::ifstream in(folder_ / log_file_name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A table is its column header (the only line naming "duration (s)"), its entries, a rule of dashes and
// the total line after it.
std::string Private_Log_Home::last_timing_table(const std::string& log) {
    const std::vector<std::string> lines = lines_of(log);
    size_t header = lines.size();
    for (size_t i = lines.size(); i-- > 0;)
        if (lines[i].find("duration (s)") != std::string::npos) {
            header = i;
            break;
        }
    if (header == lines.size()) return "";
    std::string table;
    for (size_t i = header; i < lines.size(); ++i) {
        table += lines[i] + "\n";
        if (is_rule(lines[i]) && i + 1 < lines.size()) return table + lines[i + 1] + "\n";
    }
    return table;
}

}  // namespace nb::host
