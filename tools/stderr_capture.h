// Standard error taken over while an image library runs: libraries print their own messages there
// (libpng its errors and warnings), and a failure of the command is one line of its own.
#pragma once

#include <mutex>
#include <string>

namespace nb::tools {

// Points file descriptor 2 at an anonymous in-memory file for the life of the object, then back.
// Process-wide, so captures on other threads wait for this one to end (a capture must not start
// inside another on the same thread); should the system refuse the file, messages go through as before.
class Stderr_Capture {
public:
    Stderr_Capture();
    ~Stderr_Capture();
    Stderr_Capture(const Stderr_Capture&) = delete;
    Stderr_Capture& operator=(const Stderr_Capture&) = delete;

    // Everything printed since the capture began.
    std::string text() const;

private:
    std::unique_lock<std::mutex> one_at_a_time_;
    int capture_ = -1;
    int saved_ = -1;  // the standard error to restore
};

}  // namespace nb::tools
