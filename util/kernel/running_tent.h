// One pass of the tent filter along lines continued by an edge rule, evaluated by running sums.
#pragma once

#include <cstdint>
#include <vector>

#include "util/kernel/extended_line.h"

namespace nb {

// Tent of radius r = n + f: tap k weighs r + 0.5 - |k| for |k| <= n and f / 2 at |k| = n + 1,
// divided by the weight sum n^2 + n + 0.5 + (2n + 2) f. Along the line it keeps three running sums:
// T, the integer tent n + 1 - |k|, and the boxes L over x-n..x and R over x+1..x+n+1, so that
// B = L + R - p[x+n+1] and result = (T + (f - 0.5) B + f/2 (p[x-n-1] + p[x+n+1])) / sum.
// The sums start from weights folded onto the line in closed form, so neither the start nor the
// steps depend on the radius. Immutable after construction; run may be called from any thread.
class Running_Tent {
public:
    // radius in samples of the line; negative or NaN counts as 0, radii above 2^30 as 2^30.
    Running_Tent(double radius, const Extended_Line& line);

    int64_t whole() const { return n_; }
    float fraction() const { return f_; }

    // Blurs Lanes parallel lines of the tent's length. load(index, float* values) reads the Lanes
    // values of sample index (0 <= index < length); store(position, const float* values) receives
    // the results in order of position. Sums are single-precision floats.
    template <int Lanes, class Load, class Store>
    void run(Load&& load, Store&& store) const;

private:
    // Weight of one sample in the starting values T, L and R at position 0.
    struct Start {
        int64_t index;
        double tent, left, right;
    };

    Extended_Line line_;
    int64_t n_ = 0;
    float f_ = 0.0f;
    float scale_ = 2.0f;  // reciprocal of the weight sum
    std::vector<Start> start_;
};

template <int Lanes, class Load, class Store>
void Running_Tent::run(Load&& load, Store&& store) const {
    float t[Lanes], left[Lanes], right[Lanes], low[Lanes], high[Lanes], middle[Lanes], result[Lanes];
    double start_t[Lanes] = {}, start_left[Lanes] = {}, start_right[Lanes] = {};
    for (const Start& s : start_) {
        load(s.index, middle);
        for (int j = 0; j < Lanes; ++j) {
            start_t[j] += s.tent * middle[j];
            start_left[j] += s.left * middle[j];
            start_right[j] += s.right * middle[j];
        }
    }
    for (int j = 0; j < Lanes; ++j) {
        t[j] = static_cast<float>(start_t[j]);
        left[j] = static_cast<float>(start_left[j]);
        right[j] = static_cast<float>(start_right[j]);
    }
    Extended_Line::Walker lo = line_.walker(-n_ - 1);
    Extended_Line::Walker hi = line_.walker(n_ + 1);
    load(lo.index(), low);
    load(hi.index(), high);
    const float box = f_ - 0.5f;
    const float outer = 0.5f * f_;
    const int64_t length = line_.length();
    for (int64_t x = 0;; ++x) {
        for (int j = 0; j < Lanes; ++j)
            result[j] = (t[j] + box * (left[j] + right[j] - high[j]) + outer * (low[j] + high[j])) * scale_;
        store(x, static_cast<const float*>(result));
        if (x + 1 == length) break;
        lo.advance();
        hi.advance();
        load(x + 1, middle);
        load(lo.index(), low);    // sample x - n, leaving L
        load(hi.index(), high);   // sample x + n + 2, entering R
        for (int j = 0; j < Lanes; ++j) {
            t[j] += right[j] - left[j];
            left[j] += middle[j] - low[j];
            right[j] += high[j] - middle[j];
        }
    }
}

}  // namespace nb
