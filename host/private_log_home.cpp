// Temporary home folders for the effect's log, and the timing tables read back from it.
#include "host/private_log_home.h"

#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include "host/host_system.h"

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
    folder_ = system::make_temporary_folder("blurmond_log_");
    std::filesystem::create_directory(folder_ / "nimbrel");
    if (log_file) std::ofstream(folder_ / log_file_name);
    for (const auto& [name, value] : system::home_variables(folder_)) {
        previous_.emplace_back(name, system::environment_variable(name));
        system::set_environment_variable(name, value);
    }
}

Private_Log_Home::~Private_Log_Home() {
    for (const auto& [name, value] : previous_) system::set_environment_variable(name, value);
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
