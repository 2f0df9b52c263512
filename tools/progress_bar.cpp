// A one-line progress display for frame renders: bar, frames done and total, elapsed and estimate.
#include "tools/progress_bar.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace nb::tools {

Progress_Bar::Progress_Bar(std::ostream& out, bool enabled, int64_t total, Clock clock, int columns)
    : out_(out), enabled_(enabled), total_(std::max<int64_t>(total, 0)), clock_(std::move(clock)),
      columns_(columns), start_(clock_()) {}

void Progress_Bar::update(int64_t done, double fraction) {
    draw(line(std::clamp<int64_t>(done, 0, total_), total_, clock_() - start_, columns_, fraction));
}

void Progress_Bar::clear() { draw(""); }

void Progress_Bar::finish() {
    if (enabled_ && drawn_ > 0) out_ << '\n' << std::flush;
    drawn_ = 0;
}

void Progress_Bar::draw(const std::string& text) {
    if (!enabled_ || (text.empty() && drawn_ == 0)) return;
    // Spaces cover what is left of a longer previous line; the second return parks the cursor at
    // the start so a message printed after clear() begins in the first column.
    const size_t cover = drawn_ > text.size() ? drawn_ - text.size() : 0;
    out_ << '\r' << text << std::string(cover, ' ');
    if (cover > 0 && text.empty()) out_ << '\r';
    out_ << std::flush;
    drawn_ = text.size();
}

std::string Progress_Bar::line(int64_t done, int64_t total, double elapsed_seconds, int columns, double fraction) {
    const double finished = static_cast<double>(done) + (done < total ? std::clamp(fraction, 0.0, 1.0) : 0.0);
    const std::string count = "  " + std::to_string(done) + "/" + std::to_string(total) + " frames";
    std::string times = "  " + duration(elapsed_seconds) + " elapsed";
    if (finished > 0 && done < total)
        times += "  " + duration(elapsed_seconds / finished * (static_cast<double>(total) - finished)) + " left";
    constexpr int min_cells = 10;
    const int cells = std::max(min_cells, columns - 2 - static_cast<int>(count.size() + times.size()) - 1);
    const int filled = total > 0 ? static_cast<int>(cells * finished / static_cast<double>(total)) : cells;
    std::string bar(static_cast<size_t>(cells), ' ');
    std::fill_n(bar.begin(), filled, '=');
    if (filled > 0 && filled < cells) bar[static_cast<size_t>(filled - 1)] = '>';
    return "[" + bar + "]" + count + times;
}

std::string Progress_Bar::duration(double seconds) {
    // A year caps wild estimates (a first frame that took almost no time) before the integer cast.
    constexpr double cap = 365.0 * 24 * 3600;
    const int64_t whole = std::isfinite(seconds) && seconds > 0 ? static_cast<int64_t>(std::min(seconds, cap) + 0.5) : 0;
    const auto two = [](int64_t v) { return (v < 10 ? "0" : "") + std::to_string(v); };
    const int64_t hours = whole / 3600, minutes = whole / 60 % 60, secs = whole % 60;
    if (hours > 0) return std::to_string(hours) + ":" + two(minutes) + ":" + two(secs);
    return std::to_string(minutes) + ":" + two(secs);
}

double Progress_Bar::steady_seconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

bool Progress_Bar::is_terminal(std::FILE* stream) { return ::isatty(::fileno(stream)) != 0; }

int Progress_Bar::terminal_columns(std::FILE* stream) {
    winsize size{};
    if (::ioctl(::fileno(stream), TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
    return 80;
}

}  // namespace nb::tools
