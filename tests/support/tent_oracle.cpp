// Direct weighted sums of the tent taps along rows and columns.
#include "tests/support/tent_oracle.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>


namespace nb::test {

double tent_tap_weight(double radius, int64_t k) {
    const double r = std::max(radius, 0.0);
    const int64_t n = static_cast<int64_t>(r);
    const int64_t distance = std::llabs(k);
    if (distance <= n) return r + 0.5 - double(distance);
    if (distance == n + 1) return (r - double(n)) / 2.0;
    return 0.0;
}

std::vector<double> tent_line(const std::vector<double>& line, double radius, int rule) {
    const int64_t length = static_cast<int64_t>(line.size());
    const int64_t reach = static_cast<int64_t>(std::max(radius, 0.0)) + 1;
    std::vector<double> result(line.size());
    for (int64_t x = 0; x < length; ++x) {
        double sum = 0.0, weights = 0.0;
        for (int64_t k = -reach; k <= reach; ++k) {
            const double w = tent_tap_weight(radius, k);
            sum += w * line[static_cast<size_t>(oracle_sample(rule, x + k, length))];
            weights += w;
        }
        result[static_cast<size_t>(x)] = sum / weights;
    }
    return result;
}

namespace {

double rounded(double v, double max) { return std::trunc(std::clamp(v + 0.5, 0.0, max)); }

}  // namespace

Plane tent_blur(const Plane& source, double radius_x, double radius_y, int rule_y, double round_to) {
    Plane rows = source;
    for (int c = 0; c < source.channels; ++c) {
        for (int64_t y = 0; y < source.height; ++y) {
            std::vector<double> line(static_cast<size_t>(source.width));
            for (int64_t x = 0; x < source.width; ++x) line[size_t(x)] = source.at(x, y, c);
            line = tent_line(line, radius_x, 1);
            for (int64_t x = 0; x < source.width; ++x)
                rows.at(x, y, c) = round_to > 0.0 ? rounded(line[size_t(x)], round_to) : line[size_t(x)];
        }
    }
    Plane result = rows;
    for (int c = 0; c < source.channels; ++c) {
        for (int64_t x = 0; x < source.width; ++x) {
            std::vector<double> line(static_cast<size_t>(source.height));
            for (int64_t y = 0; y < source.height; ++y) line[size_t(y)] = rows.at(x, y, c);
            line = tent_line(line, radius_y, rule_y);
            for (int64_t y = 0; y < source.height; ++y)
                result.at(x, y, c) = round_to > 0.0 ? rounded(line[size_t(y)], round_to) : line[size_t(y)];
        }
    }
    return result;
}

}  // namespace nb::test
