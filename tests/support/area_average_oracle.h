// Reference zoom: each output pixel's area average summed directly, sample by sample, in double.
#pragma once

#include <cstdint>

#include "tests/support/owned_layer.h"

namespace nb::test {

// Output pixel x covers [x1, x2 + 1] with x1 = (x - 0.5 - W/2) zoom_x + Sw/2 and x2 = x1 + zoom_x;
// source sample i (the unit interval [i, i + 1]) weighs its overlap with that span, and likewise
// vertically, reading past the edges through oracle_sample. The result is the weighted sum over the extended source divided by the area of the
// span, outside parts included.
Plane area_average(const Plane& source, int64_t out_width, int64_t out_height, double zoom_x, double zoom_y,
                   int rule_x, int rule_y);

}  // namespace nb::test
