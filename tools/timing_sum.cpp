// The effect's timing tables of a sequence added up, kernel by kernel, with the mean per frame.
#include "tools/timing_sum.h"

#include <iomanip>
#include <map>
#include <sstream>
#include <utility>
#include <vector>

namespace nb::tools {
namespace {

// The effect's rows hold the label in their first 69 columns (seven, two and sixty wide).
constexpr size_t label_columns = 69;

struct Row {
    std::string label;  // indented by depth, as the effect prints it
    double seconds = 0.0;
    double gigabytes = 0.0;
};

// Own seconds, then "(share%)", an optional dedicated time, gigabytes, bandwidth and an optional
// "(x% of y)": the gigabytes are the second number after the share unless a third follows it.
bool parse_row(const std::string& line, Row& row) {
    if (line.size() <= label_columns) return false;
    std::istringstream fields(line.substr(label_columns));
    std::string share;
    if (!(fields >> row.seconds >> share)) return false;
    if (share == "(") fields >> share;  // a share below 10% is padded: "(  0.48%)"
    std::vector<double> numbers;
    for (double number = 0.0; fields >> number;) numbers.push_back(number);
    if (numbers.size() < 2) return false;
    row.gigabytes = numbers[numbers.size() - 2];
    const size_t end = line.find_last_not_of(' ', label_columns - 1);
    row.label = line.substr(0, end + 1);
    return true;
}

}  // namespace

std::string summed_timing_table(const std::string& log, int64_t frames) {
    std::vector<Row> sums;
    Row total;
    std::map<std::pair<std::string, int>, size_t> places;  // (label, how many before it in its table) -> sums
    std::map<std::string, int> seen;
    enum class State { outside, rows, total } state = State::outside;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) {
        Row row;
        if (line.find("duration (s)") != std::string::npos) {
            state = State::rows;
            seen.clear();
        } else if (state == State::rows && line.starts_with("---")) {
            state = State::total;
        } else if (state == State::total && parse_row(line, row)) {
            total.seconds += row.seconds;
            total.gigabytes += row.gigabytes;
            state = State::outside;
        } else if (state == State::rows && parse_row(line, row)) {
            const auto [place, added] = places.try_emplace(std::pair(row.label, seen[row.label]++), sums.size());
            if (added) sums.push_back({row.label, 0.0, 0.0});
            sums[place->second].seconds += row.seconds;
            sums[place->second].gigabytes += row.gigabytes;
        } else {
            state = State::outside;
        }
    }
    if (sums.empty() || frames < 1) return "";
    const double seconds = total.seconds, gigabytes = total.gigabytes;
    const auto per_second = [](double amount, double time) { return time > 0.0 ? amount / time : 0.0; };
    const double count = static_cast<double>(frames);
    std::ostringstream out;
    out << std::fixed << std::left << std::setw(static_cast<int>(label_columns)) << "summed over the frames" << std::right
        << std::setw(27) << "duration (s)" << std::setw(17) << "mean/frame (s)" << std::setw(17) << "workload (gb)"
        << std::setw(17) << "bandwidth (gb/s)" << "\n";
    for (const Row& row : sums) {
        out << std::left << std::setw(static_cast<int>(label_columns)) << row.label << std::right << std::setprecision(4)
            << std::setw(17) << row.seconds << " (" << std::setprecision(2) << std::setw(6)
            << per_second(row.seconds * 100.0, seconds) << "%)" << std::setprecision(4) << std::setw(17)
            << row.seconds / count << std::setw(17) << row.gigabytes << std::setprecision(2) << std::setw(17)
            << per_second(row.gigabytes, row.seconds) << "\n";
    }
    out << std::string(label_columns + 27 + 17 * 3, '-') << "\n" << std::left << std::setw(static_cast<int>(label_columns))
        << std::to_string(frames) + (frames == 1 ? " frame" : " frames") << std::right << std::setprecision(4) << std::setw(17)
        << seconds << " (100.00%)" << std::setw(17) << seconds / count << std::setw(17) << gigabytes
        << std::setprecision(2) << std::setw(17) << per_second(gigabytes, seconds) << "\n";
    return out.str();
}

}  // namespace nb::tools
