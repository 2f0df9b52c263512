// Tent weights of a fractional radius and their fold onto a line for the running sums' start.
#include "util/kernel/running_tent.h"

#include <algorithm>
#include <cmath>

namespace nb {

Running_Tent::Running_Tent(double radius, const Extended_Line& line) : line_(line) {
    constexpr double max_radius = 1073741824.0;  // 2^30: far beyond any image, sums stay exact in double
    const double r = radius > 0.0 ? std::min(radius, max_radius) : 0.0;  // also maps NaN to 0
    n_ = static_cast<int64_t>(r);
    const double f = r - static_cast<double>(n_);
    f_ = static_cast<float>(f);
    const double n = static_cast<double>(n_);
    scale_ = static_cast<float>(1.0 / (n * n + n + 0.5 + (2.0 * n + 2.0) * f));

    const size_t length = static_cast<size_t>(line.length());
    std::vector<double> tent(length), left(length), right(length);
    line.fold_linear(-n_, -1, n + 1.0, 1.0, tent);  // n + 1 - |k| left of the centre
    line.fold_linear(0, n_, n + 1.0, -1.0, tent);
    line.fold_linear(-n_, 0, 1.0, 0.0, left);
    line.fold_linear(1, n_ + 1, 1.0, 0.0, right);
    for (size_t i = 0; i < length; ++i)
        if (tent[i] != 0.0 || left[i] != 0.0 || right[i] != 0.0)
            start_.push_back({static_cast<int64_t>(i), tent[i], left[i], right[i]});
}

}  // namespace nb
