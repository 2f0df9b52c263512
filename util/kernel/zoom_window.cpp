// Splits a zoom window into block and edge terms of the extended line's prefix sums.
#include "util/kernel/zoom_window.h"

#include <cmath>

#include "base/exception.h"

namespace nb {

namespace {

void add(Zoom_Window& w, const Extended_Line::Prefix_Terms& terms, double block, double edge) {
    for (int t = 0; t < terms.count; ++t) {
        int i = 0;
        while (i < w.count && w.index[i] != terms.index[t]) ++i;
        if (i == w.count) {
            w.index[i] = terms.index[t];
            w.block[i] = 0.0;
            w.edge[i] = 0.0;
            ++w.count;
        }
        w.block[i] += block * terms.coefficient[t];
        w.edge[i] += edge * terms.coefficient[t];
    }
}

// Terms that cancelled exactly (a block of zero width) cost reads for nothing.
void drop_zero_terms(Zoom_Window& w) {
    int kept = 0;
    for (int i = 0; i < w.count; ++i) {
        if (w.block[i] == 0.0 && w.edge[i] == 0.0) continue;
        w.index[kept] = w.index[i];
        w.block[kept] = w.block[i];
        w.edge[kept] = w.edge[i];
        ++kept;
    }
    w.count = kept;
}

}  // namespace

Zoom_Window Zoom_Window::make(int64_t o, int64_t size, double zoom, const Extended_Line& line) {
    const double centre_out = 0.5 * static_cast<double>(size);
    const double centre_in = 0.5 * static_cast<double>(line.length());
    const double x1 = (static_cast<double>(o) - 0.5 - centre_out) * zoom + centre_in;
    const double x2 = (static_cast<double>(o) + 0.5 - centre_out) * zoom + centre_in;
    constexpr double reach_limit = 4503599627370496.0;  // 2^52: integer positions stay exact in double
    ASSERT(std::fabs(x1) < reach_limit && std::fabs(x2) < reach_limit, "zoom window out of range");

    const double floor1 = std::floor(x1);
    const double floor2 = std::floor(x2);
    const int64_t i1 = static_cast<int64_t>(floor1);
    const int64_t i2 = static_cast<int64_t>(floor2);
    const double low = 1.0 - (x1 - floor1);  // weight of sample i1
    const double high = x2 - floor2;          // weight of sample i2 + 1

    Zoom_Window w;
    add(w, line.prefix(i2), 1.0, -high);
    add(w, line.prefix(i1), -1.0, low);
    add(w, line.prefix(i1 - 1), 0.0, -low);
    add(w, line.prefix(i2 + 1), 0.0, high);
    drop_zero_terms(w);
    w.edge_source[0] = line.index(i1);
    w.edge_source[1] = line.index(i2 + 1);
    w.edge_weight[0] = low;
    w.edge_weight[1] = high;
    w.weight_sum = low + static_cast<double>(i2 - i1) + high;
    return w;
}

}  // namespace nb
