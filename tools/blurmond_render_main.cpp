// blurmond-render: renders image files through the effect binary, driven by the headless host.
#include <unistd.h>

#include <cstddef>
#include <cstdio>
#include <iostream>
#include <streambuf>
#include <string>
#include <vector>

#include "host/host_system.h"
#include "tools/blurmond_render.h"
#include "tools/interrupt_signals.h"
#include "tools/progress_bar.h"

namespace {

// Standard error as it was when the command started. Image libraries print to descriptor 2, which is
// taken over while they run, on the reading and writing threads too; the command's own lines must not
// vanish into such a capture while another thread reports progress.
class Descriptor_Buffer : public std::streambuf {
public:
    explicit Descriptor_Buffer(int fd) : fd_(fd) {}
    ~Descriptor_Buffer() override {
        if (fd_ >= 0) ::close(fd_);
    }

protected:
    std::streamsize xsputn(const char* text, std::streamsize size) override {
        for (std::streamsize written = 0; written < size;) {
            const ssize_t n = ::write(fd_, text + written, static_cast<size_t>(size - written));
            if (n <= 0) return written;
            written += n;
        }
        return size;
    }
    int_type overflow(int_type c) override {
        const char byte = traits_type::to_char_type(c);
        return traits_type::eq_int_type(c, traits_type::eof()) || xsputn(&byte, 1) == 1 ? traits_type::not_eof(c) : traits_type::eof();
    }

private:
    int fd_;
};

}  // namespace

int main(int argc, char** argv) {
    // A frame's buffers come and go one after another; each freed goes back to the system at once, so
    // the command's peak memory is what it holds at one time.
    nb::host::system::map_large_blocks_alone(std::size_t{4} << 20);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const nb::tools::Interrupt_Signals interrupts;
    const int err_fd = ::dup(STDERR_FILENO);
    Descriptor_Buffer err_buffer(err_fd);
    std::ostream err(err_fd >= 0 ? &err_buffer : std::cerr.rdbuf());
    const int status = nb::tools::run_blurmond_render(args, std::cout, err, nb::tools::Progress_Bar::is_terminal(stderr));
    interrupts.end_process_if_caught();
    return status;
}
