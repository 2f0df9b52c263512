// A one-line progress display for frame renders: bar, frames done and total, elapsed and estimate.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <ostream>
#include <string>

namespace nb::tools {

class Progress_Bar {
public:
    // Seconds since any fixed point; injected so tests control time.
    using Clock = std::function<double()>;

    // Draws on `out` only when `enabled` (the stream is a terminal): a log file or a pipe gets no
    // carriage returns. `columns` is the line width to fill. Not thread-safe; one caller draws.
    Progress_Bar(std::ostream& out, bool enabled, int64_t total, Clock clock = steady_seconds, int columns = 80);

    // Records that `done` frames are finished (0 <= done <= total) and `fraction` (0 to 1) of the next one,
    // and redraws the line.
    void update(int64_t done, double fraction = 0.0);
    // Erases the line, so a message can be printed; the next update draws it again.
    void clear();
    // Ends the line, leaving the last state drawn on screen.
    void finish();

    // The text of one line: "[=====>    ]  12/48 frames  0:12 elapsed  0:36 left". The bar takes
    // what `columns` leaves, at least ten cells, and counts `fraction` of the frame in progress. The
    // estimate is missing until some of a frame is done.
    static std::string line(int64_t done, int64_t total, double elapsed_seconds, int columns, double fraction = 0.0);
    // "m:ss", or "h:mm:ss" from one hour on; negative and non-finite times read as 0:00.
    static std::string duration(double seconds);

    static double steady_seconds();
    // Whether the standard stream is a terminal, and its width (80 when unknown).
    static bool is_terminal(std::FILE* stream);
    static int terminal_columns(std::FILE* stream);

private:
    void draw(const std::string& text);

    std::ostream& out_;
    bool enabled_;
    int64_t total_;
    Clock clock_;
    int columns_;
    double start_;
    size_t drawn_ = 0;  // characters on the line now, erased before the next draw
};

}  // namespace nb::tools
