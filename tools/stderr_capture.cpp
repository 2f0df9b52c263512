// Standard error taken over while an image library runs.
#include "tools/stderr_capture.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <mutex>

namespace nb::tools {

namespace {

// The one redirection of descriptor 2 and the captures that use it.
struct Shared_Capture {
    std::mutex mutex;
    int users = 0;
    int capture = -1;
    int saved = -1;  // the standard error to restore
};

Shared_Capture& shared_capture() {
    static Shared_Capture shared;
    return shared;
}

void redirect(Shared_Capture& shared) {
    std::fflush(stderr);
    shared.capture = ::memfd_create("blurmond-render-stderr", MFD_CLOEXEC);
    if (shared.capture < 0) return;
    shared.saved = ::dup(STDERR_FILENO);
    if (shared.saved < 0 || ::dup2(shared.capture, STDERR_FILENO) < 0) {
        if (shared.saved >= 0) ::close(shared.saved);
        ::close(shared.capture);
        shared.capture = shared.saved = -1;
    }
}

}  // namespace

Stderr_Capture::Stderr_Capture() {
    Shared_Capture& shared = shared_capture();
    const std::lock_guard lock(shared.mutex);
    if (shared.users++ == 0) redirect(shared);
    capture_ = shared.capture;
    struct stat status {};
    if (capture_ >= 0 && ::fstat(capture_, &status) == 0) begin_ = status.st_size;
}

Stderr_Capture::~Stderr_Capture() {
    Shared_Capture& shared = shared_capture();
    const std::lock_guard lock(shared.mutex);
    if (--shared.users > 0 || shared.capture < 0) return;
    std::fflush(stderr);
    ::dup2(shared.saved, STDERR_FILENO);
    ::close(shared.saved);
    ::close(shared.capture);
    shared.capture = shared.saved = -1;
}

std::string Stderr_Capture::text() const {
    std::string text;
    if (capture_ < 0) return text;
    std::fflush(stderr);
    char buffer[4096];
    for (ssize_t n = 0; (n = ::pread(capture_, buffer, sizeof buffer, begin_ + static_cast<off_t>(text.size()))) > 0;)
        text.append(buffer, static_cast<size_t>(n));
    return text;
}

}  // namespace nb::tools
