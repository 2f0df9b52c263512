// Reference tent blur: every output sample summed directly from the tap weights, in double.
#pragma once

#include "tests/support/owned_layer.h"

namespace nb::test {

// Tap weight for radius r = n + f (n whole): r + 0.5 - |k| for |k| <= n, f / 2 at |k| = n + 1, 0 beyond;
// negative and NaN radii count as 0. Rows, then columns, each line blurred with the normalised taps
// and read past its ends mirrored. With round_to > 0 every pass ends by
// turning each value v into trunc(clamp(v + 0.5, 0, round_to)), as integer layers store it.
Plane tent_blur(const Plane& source, double radius_x, double radius_y, double round_to);

}  // namespace nb::test
