// Reference zoom: each output pixel's area average summed directly, sample by sample, in double.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "tests/support/owned_layer.h"

namespace nb::test {

// The source interval an output pixel covers, and the share sample i (the interval [i, i + 1]) has of it.
struct Span {
    double begin, end;
    double overlap(int64_t i) const { return std::max(0.0, std::min(end, double(i) + 1.0) - std::max(begin, double(i))); }
};

inline Span span_of(int64_t o, int64_t out_size, double zoom, int64_t source_size) {
    const double begin = (double(o) - 0.5 - 0.5 * double(out_size)) * zoom + 0.5 * double(source_size);
    return {begin, begin + zoom + 1.0};
}

// Output pixel x covers [x1, x2 + 1] with x1 = (x - 0.5 - W/2) zoom_x + Sw/2 and x2 = x1 + zoom_x;
// source sample i (the unit interval [i, i + 1]) weighs its overlap with that span, and likewise
// vertically, reading past the edges through oracle_sample. The result is the weighted sum over the
// extended source divided by the area of the span, outside parts included.
inline Plane area_average(const Plane& source, int64_t out_width, int64_t out_height, double zoom_x,
                          double zoom_y, int rule_x, int rule_y) {
    Plane result(out_width, out_height, source.channels);
    for (int64_t y = 0; y < out_height; ++y)
        for (int64_t x = 0; x < out_width; ++x) {
            const Span sx = span_of(x, out_width, zoom_x, source.width);
            const Span sy = span_of(y, out_height, zoom_y, source.height);
            const double area = (sx.end - sx.begin) * (sy.end - sy.begin);
            for (auto j = int64_t(std::floor(sy.begin)); j <= int64_t(std::ceil(sy.end)); ++j)
                for (auto i = int64_t(std::floor(sx.begin)); i <= int64_t(std::ceil(sx.end)); ++i) {
                    const int64_t si = oracle_sample(rule_x, i, source.width), sj = oracle_sample(rule_y, j, source.height);
                    if (si < 0 || sj < 0) continue;
                    for (int c = 0; c < source.channels; ++c)
                        result.at(x, y, c) += sx.overlap(i) * sy.overlap(j) * source.at(si, sj, c) / area;
                }
        }
    return result;
}

}  // namespace nb::test
