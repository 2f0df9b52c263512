// The BT.709 transfer curve in double precision, written out from its definition for tests.
#pragma once

#include <cmath>

namespace nb::test {

// Curve to linear light: linear segment v / 4.5 up to 0.081, power 1 / 0.45 above.
inline double bt709_to_linear(double v) { return v <= 0.081 ? v / 4.5 : std::pow((v + 0.099) / 1.099, 1.0 / 0.45); }

// Linear light to curve: 4.5 v below 0.018, 1.099 v^0.45 - 0.099 above.
inline double linear_to_bt709(double v) { return v < 0.018 ? 4.5 * v : 1.099 * std::pow(v, 0.45) - 0.099; }

}  // namespace nb::test
