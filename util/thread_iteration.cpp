#include "util/thread_iteration.h"

#include "base/exception.h"

namespace nb {

std::pair<int64_t, int64_t> split(const Iteration& iteration, int64_t total) {
    const int64_t index = iteration.index;
    const int64_t iterations = iteration.iterations;
    ASSERT(index < iterations);
    const int64_t chunk = total / iterations;
    const int64_t begin = index * chunk;
    const int64_t end = index == iterations - 1 ? total : begin + chunk;
    return {begin, end};
}

}  // namespace nb
