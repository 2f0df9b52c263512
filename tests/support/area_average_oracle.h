// Reference zoom: each output pixel's area average summed directly, sample by sample, in double.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "tests/support/owned_layer.h"

namespace nb::test {

struct Span {
    int64_t first = 0, last = 0;  // samples with a share of the span
    double begin = 0.0, end = 0.0;
    double overlap(int64_t i) const {
        return std::max(0.0, std::min(end, double(i) + 1.0) - std::max(begin, double(i)));
    }
};

inline Span span_of(int64_t o, int64_t out_size, double zoom, int64_t source_size) {
    Span s;
    s.begin = (double(o) - 0.5 - 0.5 * double(out_size)) * zoom + 0.5 * double(source_size);
    s.end = s.begin + zoom + 1.0;
    s.first = static_cast<int64_t>(std::floor(s.begin));
    s.last = static_cast<int64_t>(std::ceil(s.end));
    return s;
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
            std::vector<double> sum(static_cast<size_t>(source.channels), 0.0);
            for (int64_t j = sy.first; j <= sy.last; ++j)
                for (int64_t i = sx.first; i <= sx.last; ++i) {
                    const double weight = sx.overlap(i) * sy.overlap(j);
                    const int64_t si = oracle_sample(rule_x, i, source.width);
                    const int64_t sj = oracle_sample(rule_y, j, source.height);
                    if (weight == 0.0 || si < 0 || sj < 0) continue;
                    for (int c = 0; c < source.channels; ++c) sum[c] += weight * source.at(si, sj, c);
                }
            const double area = (sx.end - sx.begin) * (sy.end - sy.begin);
            for (int c = 0; c < source.channels; ++c) result.at(x, y, c) = sum[c] / area;
        }
    return result;
}

}  // namespace nb::test
