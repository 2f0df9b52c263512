// Reference zoom: each output pixel's area average summed directly, sample by sample, in double.
#pragma once

#include <cstdint>

#include "tests/support/plane.h"

namespace nb::test {

// Edge rules by number: 0 nearest edge sample, 1 mirrored (position -1 reads 0), 2 repeated,
// anything else reads nothing. Returns the sample a position reads, or -1.
int64_t oracle_sample(int rule, int64_t position, int64_t length);

// Output pixel x covers [x1, x2 + 1] with x1 = (x - 0.5 - W/2) zoom_x + Sw/2 and x2 = x1 + zoom_x;
// source sample i (the unit interval [i, i + 1]) weighs its overlap with that span, and likewise
// vertically. The result is the weighted sum over the extended source divided by the area of the
// span, outside parts included.
Plane area_average(const Plane& source, int64_t out_width, int64_t out_height, double zoom_x, double zoom_y,
                   int rule_x, int rule_y);

}  // namespace nb::test
