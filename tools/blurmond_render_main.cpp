// blurmond-render: renders image files through the effect binary, driven by the headless host.
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "tools/blurmond_render.h"
#include "tools/progress_bar.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return nb::tools::run_blurmond_render(args, std::cout, std::cerr, nb::tools::Progress_Bar::is_terminal(stderr));
}
