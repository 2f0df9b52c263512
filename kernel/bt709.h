// The BT.709 transfer curve, used to convolve in linear light and to return to the curve afterwards.
#pragma once

#include <cmath>
#include <cstdint>

#include "kernel/float4.h"

namespace nb {

// The power in double, rounded once to float: the float powers of the C libraries on Linux and Windows
// differ by an ulp here and there, their double powers round to the same float, so a frame gets the
// same bits from either binary.
inline float float_power(float base, float exponent) {
    return static_cast<float>(std::pow(static_cast<double>(base), static_cast<double>(exponent)));
}

// Curve value to linear light; the linear segment below 0.081 keeps negative values finite.
inline float linear_from_bt709(float v) {
    return v <= 0.081f ? v / 4.5f : float_power((v + 0.099f) / 1.099f, 2.2222223f);
}

// Linear light back to the curve.
inline float bt709_from_linear(float v) {
    return v < 0.018f ? v * 4.5f : float_power(v, 0.45f) * 1.099f - 0.099f;
}

// The curves in double, for linear values beyond the float range (the power of a large float overflows).
inline double linear_from_bt709(double v) {
    return v <= 0.081 ? v / 4.5 : std::pow((v + 0.099) / 1.099, static_cast<double>(2.2222223f));
}

inline double bt709_from_linear(double v) {
    return v < 0.018 ? v * 4.5 : std::pow(v, static_cast<double>(0.45f)) * 1.099 - 0.099;
}

// The same curves on four lanes at once. The power is exp2(y log2 x) with polynomials accurate to a
// few float ulps; lanes outside 2^-50 .. 2^50 (and non-finite ones) take the scalar path.
Float4 linear_from_bt709(Float4 v);
Float4 bt709_from_linear(Float4 v);

// The curves on lanes 0..2 of count pixels held as (colour, colour, colour, alpha) vectors; lane 3
// keeps its value. Independent pixels in one loop let their long dependency chains overlap.
void linear_from_bt709(Float4* pixels, int64_t count);
void bt709_from_linear(Float4* pixels, int64_t count);

// linear_from_bt709 of every level an integer component T can hold, bit for bit as the four-lane path
// computes it from the level in float: integer frames look their levels up instead of taking powers.
// Built at first use.
template <class T>
const float* linear_levels();

}  // namespace nb
