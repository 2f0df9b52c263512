// A line of samples continued beyond its ends by an edge rule, with constant-time reach at any distance.
#pragma once

#include <cstdint>
#include <vector>

#include "util/outside.h"

namespace nb {

// Samples 0 .. length-1 are the line itself. Beyond them: border repeats the end sample, mirrored
// reflects with the end sample repeated (position -1 reads 0, so the period is 2 * length),
// repeated tiles the line, and every other rule value contributes nothing outside.
// Immutable after construction; safe to share between threads.
class Extended_Line {
public:
    // Throws Exception_Assert when length < 1.
    Extended_Line(Outside rule, int64_t length);

    Outside rule() const { return rule_; }
    int64_t length() const { return length_; }

    // The sample a position reads, or -1 where the rule reads nothing.
    int64_t index(int64_t position) const;

    // Visits consecutive positions at constant cost per step, however far from the line it starts.
    class Walker {
    public:
        int64_t index() const { return index_; }
        void advance();

    private:
        friend class Extended_Line;
        Outside rule_ = Outside::border;
        int64_t length_ = 1;
        int64_t position_ = 0;
        int64_t index_ = 0;
        int64_t direction_ = 1;  // mirrored: the way the index moves on the next step
    };
    Walker walker(int64_t position) const;

    // The extended line summed over positions 0..b (for b < -1: minus the sum over b+1..-1), so
    // that the sum over (a, b] is always prefix(b) - prefix(a). Expressed through the inclusive
    // prefix sums C(i) of the line itself as sum of coefficient * C(index); C(-1) = 0 is left out.
    struct Prefix_Terms {
        int count = 0;
        int64_t index[2] = {0, 0};
        double coefficient[2] = {0.0, 0.0};
    };
    Prefix_Terms prefix(int64_t b) const;

    // Adds, for every position p in a..b, constant + slope * p to weights[index(p)]. Costs
    // O(min(b - a, length)): whole periods are summed in closed form. weights has length entries.
    void fold_linear(int64_t a, int64_t b, double constant, double slope, std::vector<double>& weights) const;

private:
    int64_t period() const;  // 0 when the rule does not repeat

    Outside rule_;
    int64_t length_;
};

}  // namespace nb
