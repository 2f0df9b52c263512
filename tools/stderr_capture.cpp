// Standard error taken over while an image library runs.
#include "tools/stderr_capture.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>

namespace nb::tools {

namespace {

std::mutex& capture_mutex() {
    static std::mutex mutex;
    return mutex;
}

}  // namespace

Stderr_Capture::Stderr_Capture() : one_at_a_time_(capture_mutex()) {
    std::fflush(stderr);
    capture_ = ::memfd_create("blurmond-render-stderr", MFD_CLOEXEC);
    if (capture_ < 0) return;
    saved_ = ::dup(STDERR_FILENO);
    if (saved_ < 0 || ::dup2(capture_, STDERR_FILENO) < 0) {
        if (saved_ >= 0) ::close(saved_);
        ::close(capture_);
        capture_ = saved_ = -1;
    }
}

Stderr_Capture::~Stderr_Capture() {
    if (capture_ < 0) return;
    std::fflush(stderr);
    ::dup2(saved_, STDERR_FILENO);
    ::close(saved_);
    ::close(capture_);
}

std::string Stderr_Capture::text() const {
    std::string text;
    if (capture_ < 0) return text;
    std::fflush(stderr);
    char buffer[4096];
    for (ssize_t n = 0; (n = ::pread(capture_, buffer, sizeof buffer, static_cast<off_t>(text.size()))) > 0;)
        text.append(buffer, static_cast<size_t>(n));
    return text;
}

}  // namespace nb::tools
