// Work items of a kernel launch and the split of a dimension into per-item ranges.
#pragma once

#include <cstdint>
#include <utility>

namespace nb {

// One work item handed to a row function.
struct Iteration {
    int64_t index = 0;       // 0 <= index < iterations
    int64_t iterations = 0;  // work items of this launch
    int64_t thread = 0;      // 0 on the host's main thread, 1, 2, ... for workers in order of arrival
    int64_t threads = 0;     // host threads asked for
};

// The [begin, end) share of total elements for this item; the last item takes the remainder.
// Throws Exception_Assert when index >= iterations.
std::pair<int64_t, int64_t> split(const Iteration& iteration, int64_t total);

}  // namespace nb
