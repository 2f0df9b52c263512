// Reference summed-area table: each entry added up from its source samples directly, in double.
#pragma once

#include "tests/support/owned_layer.h"

namespace nb::test {

// Entry (x, y) is the sum of samples (i, j) with i <= x and j <= y (j == y only, when !two_d).
Plane inclusive_prefix_sum(const Plane& source, bool two_d);

}  // namespace nb::test
