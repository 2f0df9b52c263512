// The transfer curve on four lanes: exp2 and log2 by short polynomials, std::pow for the rare rest.
#include "kernel/bt709.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <vector>

#include "util/pixel/pixel.h"

namespace nb {

namespace {

// Powers take the polynomial path for bases in 2^-50 .. 2^50, where |y log2 x| stays below 126 for
// both exponents, so results are normal floats; other lanes (and NaN) are recomputed with std::pow.
constexpr float smallest_base = 8.8817842e-16f;
constexpr float largest_base = 1.1258999e15f;

// log2 x = e + log2 m with m in [sqrt(1/2), sqrt(2)); log2 m = (2 / ln 2) atanh s, s = (m - 1) / (m + 1),
// |s| <= 0.172, whose odd series up to s^9 is exact to 5e-9 relative. Estrin's scheme keeps the
// dependency chain short.
inline Float4 log2_normal(Float4 x) {
    const Int4 bits = std::bit_cast<Int4>(x);
    const Int4 e = (bits - 0x3f3504f3) >> 23;
    const Float4 m = std::bit_cast<Float4>(bits - (e << 23));
    const Float4 s = (m - 1.0f) / (m + 1.0f);
    const Float4 s2 = s * s;
    const Float4 s4 = s2 * s2;
    const Float4 series = (1.0f + s2 * 0.33333333f) + s4 * ((0.2f + s2 * 0.14285715f) + s4 * 0.11111111f);
    return __builtin_convertvector(e, Float4) + s * series * 2.8853900817779268f;  // 2 / ln 2
}

// 2^t for |t| < 126: t = k + f with k the nearest integer, |f| <= 1/2; 2^f by its Taylor series to
// f^7 (exact to 6e-9 relative); k goes straight into the exponent.
inline Float4 exp2_normal(Float4 t) {
    constexpr float round_magic = 12582912.0f;  // 1.5 * 2^23: adding it rounds to an integer
    const Float4 shifted = t + round_magic;
    const Float4 f = t - (shifted - round_magic);
    const Int4 k = std::bit_cast<Int4>(shifted) - std::bit_cast<int32_t>(round_magic);
    const Float4 f2 = f * f;
    const Float4 f4 = f2 * f2;
    const Float4 low = (1.0f + f * 0.69314718f) + f2 * (0.24022651f + f * 0.055504109f);
    const Float4 high = (0.0096181291f + f * 0.0013333558f) + f2 * (1.5403530e-4f + f * 1.5252734e-5f);
    // Unsigned, so that the lanes a caller discards cannot overflow.
    return std::bit_cast<Float4>(std::bit_cast<UInt4>(low + f4 * high) + std::bit_cast<UInt4>(k << 23));
}

inline Float4 clamped_power(Float4 x, float y) {
    const Float4 inside = x < smallest_base ? smallest_base : x > largest_base ? largest_base : x;
    return exp2_normal(y * log2_normal(inside));
}

inline Int4 outside_polynomials(Float4 base) { return !(base >= smallest_base && base <= largest_base); }

const Int4 colour_lanes = {-1, -1, -1, 0};

struct Curve_Lanes {
    Float4 value;
    Int4 recompute;  // lanes the polynomials cannot serve
};

inline Curve_Lanes to_linear(Float4 v) {
    const Int4 linear = v <= 0.081f;
    const Float4 base = (v + 0.099f) * 0.90991811f;  // / 1.099
    return {linear ? v * 0.22222222f : clamped_power(base, 2.2222223f), outside_polynomials(base) & ~linear};
}

inline Curve_Lanes to_curve(Float4 v) {
    const Int4 linear = v < 0.018f;
    return {linear ? v * 4.5f : clamped_power(v, 0.45f) * 1.099f - 0.099f, outside_polynomials(v) & ~linear};
}

template <float (*Scalar)(float)>
Float4 recomputed(Float4 v, Float4 result, Int4 lanes) {
    for (int lane = 0; lane < 4; ++lane)
        if (lanes[lane]) result[lane] = Scalar(v[lane]);
    return result;
}

bool any(Int4 lanes) { return (lanes[0] | lanes[1] | lanes[2] | lanes[3]) != 0; }

float scalar_to_linear(float v) { return linear_from_bt709(v); }
float scalar_to_curve(float v) { return bt709_from_linear(v); }

}  // namespace

Float4 linear_from_bt709(Float4 v) {
    const Curve_Lanes c = to_linear(v);
    return any(c.recompute) ? recomputed<scalar_to_linear>(v, c.value, c.recompute) : c.value;
}

Float4 bt709_from_linear(Float4 v) {
    const Curve_Lanes c = to_curve(v);
    return any(c.recompute) ? recomputed<scalar_to_curve>(v, c.value, c.recompute) : c.value;
}

namespace {

// The colour lanes of four pixels, twelve values, fill three vectors: no power is spent on alpha.
inline void pack(const Float4* p, Float4* q) {
    q[0] = __builtin_shufflevector(p[0], p[1], 0, 1, 2, 4);
    q[1] = __builtin_shufflevector(p[1], p[2], 1, 2, 4, 5);
    q[2] = __builtin_shufflevector(p[2], p[3], 2, 4, 5, 6);
}

inline void unpack(const Float4* q, Float4* p) {
    p[0] = __builtin_shufflevector(q[0], p[0], 0, 1, 2, 7);
    p[1] = __builtin_shufflevector(__builtin_shufflevector(q[0], q[1], 3, 4, 5, 5), p[1], 0, 1, 2, 7);
    p[2] = __builtin_shufflevector(__builtin_shufflevector(q[1], q[2], 2, 3, 4, 4), p[2], 0, 1, 2, 7);
    p[3] = __builtin_shufflevector(q[2], p[3], 1, 2, 3, 7);
}

// Every lane's result depends on that lane alone, so packing leaves each colour's bits as they were.
// The rare lanes outside the polynomials' range are gathered into one mask per block and fixed in a
// second loop, so the main loop has no calls and its iterations overlap.
template <Curve_Lanes (*Lanes)(Float4), Float4 (*Whole)(Float4)>
void colours_through(Float4* pixels, int64_t count) {
    constexpr int64_t block = 64;
    Float4 packed[block / 4 * 3];
    for (int64_t first = 0; first < count; first += block) {
        Float4* p = pixels + first;
        const int64_t n = std::min(block, count - first), grouped = n / 4 * 4, vectors = n / 4 * 3;
        for (int64_t i = 0; i < grouped; i += 4) pack(p + i, packed + i / 4 * 3);
        Int4 rare{};
        for (int64_t j = 0; j < vectors; ++j) rare = rare | Lanes(packed[j]).recompute;
        for (int64_t i = grouped; i < n; ++i) rare = rare | (Lanes(p[i]).recompute & colour_lanes);
        if (any(rare)) {
            for (int64_t j = 0; j < vectors; ++j) packed[j] = Whole(packed[j]);
            for (int64_t i = grouped; i < n; ++i) p[i] = colour_lanes ? Whole(p[i]) : p[i];
        } else {
            for (int64_t j = 0; j < vectors; ++j) packed[j] = Lanes(packed[j]).value;
            for (int64_t i = grouped; i < n; ++i) p[i] = colour_lanes ? Lanes(p[i]).value : p[i];
        }
        for (int64_t i = 0; i < grouped; i += 4) unpack(packed + i / 4 * 3, p + i);
    }
}

}  // namespace

void linear_from_bt709(Float4* pixels, int64_t count) {
    colours_through<to_linear, linear_from_bt709>(pixels, count);
}

void bt709_from_linear(Float4* pixels, int64_t count) {
    colours_through<to_curve, bt709_from_linear>(pixels, count);
}

template <class T>
const float* linear_levels() {
    static const std::vector<float> levels = [] {
        std::vector<float> table(size_t{std::numeric_limits<T>::max()} + 1);
        constexpr size_t block = 64;
        Float4 lanes[block];
        for (size_t first = 0; first < table.size(); first += block) {
            const size_t count = std::min(block, table.size() - first);
            for (size_t i = 0; i < count; ++i) {
                const float v = to_unit(static_cast<T>(first + i));
                lanes[i] = Float4{v, v, v, 0.0f};
            }
            linear_from_bt709(lanes, static_cast<int64_t>(count));
            for (size_t i = 0; i < count; ++i) table[first + i] = lanes[i][0];
        }
        return table;
    }();
    return levels.data();
}

template const float* linear_levels<uint8_t>();
template const float* linear_levels<uint16_t>();

}  // namespace nb
