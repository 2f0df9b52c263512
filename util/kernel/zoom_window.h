// The source window of one zoom output position along one axis, as summed-area-table terms.
#pragma once

#include <cstdint>

#include "util/kernel/extended_line.h"

namespace nb {

// Output position o covers source positions x1 .. x2, x1 = (o - 0.5 - size/2) * zoom + S/2 and
// x2 = x1 + zoom, with S the source length. Sample floor(x1) weighs 1 - frac(x1), samples
// floor(x1)+1 .. floor(x2) weigh 1 and sample floor(x2)+1 weighs frac(x2). The sum over the
// extended line splits into the whole-sample block and the two fractional edge samples; both are
// linear combinations of table prefixes C(index), and the edge samples are also given directly so
// a caller holding the source can read them exactly.
struct Zoom_Window {
    static constexpr int max_terms = 8;  // four prefix positions of at most two terms each

    int count = 0;
    int64_t index[max_terms] = {};  // prefix indices into the table
    double block[max_terms] = {};   // coefficients of the block
    double edge[max_terms] = {};    // coefficients of the two edge samples
    int64_t edge_source[2] = {-1, -1};  // sample each edge reads after the rule; -1: none
    double edge_weight[2] = {0.0, 0.0};
    double weight_sum = 0.0;  // 1 + x2 - x1: every weight, outside the source included

    // Throws Exception_Assert when the window reaches 2^52 or more from the origin (or is not finite).
    static Zoom_Window make(int64_t o, int64_t size, double zoom, const Extended_Line& line);
};

}  // namespace nb
