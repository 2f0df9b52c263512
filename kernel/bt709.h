// The BT.709 transfer curve, used to convolve in linear light and to return to the curve afterwards.
#pragma once

#include <cmath>

namespace nb {

// Curve value to linear light; the linear segment below 0.081 keeps negative values finite.
inline float linear_from_bt709(float v) {
    return v <= 0.081f ? v / 4.5f : std::pow((v + 0.099f) / 1.099f, 2.2222223f);
}

// Linear light back to the curve.
inline float bt709_from_linear(float v) {
    return v < 0.018f ? v * 4.5f : std::pow(v, 0.45f) * 1.099f - 0.099f;
}

}  // namespace nb
