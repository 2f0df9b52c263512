// blurmond-render: renders image files through the effect binary, driven by the headless host.
#include <cstddef>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "host/host_system.h"
#include "tools/blurmond_render.h"
#include "tools/interrupt_signals.h"
#include "tools/progress_bar.h"

int main(int argc, char** argv) {
    // A frame's buffers come and go one after another; each freed goes back to the system at once, so
    // the command's peak memory is what it holds at one time.
    nb::host::system::map_large_blocks_alone(std::size_t{4} << 20);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const nb::tools::Interrupt_Signals interrupts;
    const int status =
        nb::tools::run_blurmond_render(args, std::cout, std::cerr, nb::tools::Progress_Bar::is_terminal(stderr));
    interrupts.end_process_if_caught();
    return status;
}
