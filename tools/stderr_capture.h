// Standard error taken over while an image library runs: libraries print their own messages there
// (libpng its errors and warnings), and a failure of the command is one line of its own.
#pragma once

#include <sys/types.h>

#include <string>

namespace nb::tools {

// Points file descriptor 2 at an anonymous in-memory file for the life of the object, then back.
// Descriptor 2 is process-wide, so captures alive at once on several threads (a sequence reads one
// frame while it writes another) share one redirection, ended by the last of them; each reads what
// was printed since it began, the other threads' messages of that time among it. Should the system
// refuse the file, messages go through as before.
class Stderr_Capture {
public:
    Stderr_Capture();
    ~Stderr_Capture();
    Stderr_Capture(const Stderr_Capture&) = delete;
    Stderr_Capture& operator=(const Stderr_Capture&) = delete;

    // Everything printed since the capture began.
    std::string text() const;

private:
    int capture_ = -1;  // the shared file, or -1 without one
    off_t begin_ = 0;   // its size when this capture began
};

}  // namespace nb::tools
