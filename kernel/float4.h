// Four-lane float and integer vectors (one SSE register) for pixel arithmetic and the lane-wise transforms.
#pragma once

#include <cstdint>

namespace nb {

// GCC and Clang vector extensions: element-wise arithmetic and comparisons (giving Int4 masks of
// 0 or -1), the ternary operator as a per-lane select; std::bit_cast reinterprets between the two.
using Float4 = float __attribute__((vector_size(16)));
using Int4 = int32_t __attribute__((vector_size(16)));
using UInt4 = uint32_t __attribute__((vector_size(16)));

}  // namespace nb
