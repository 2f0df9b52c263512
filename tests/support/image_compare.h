// Comparison of test images: the worst channel difference and where it is.
#pragma once

#include <cmath>
#include <cstdint>
#include <sstream>
#include <string>

#include "tests/support/owned_layer.h"

namespace nb::test {

struct Worst_Difference {
    double difference = 0.0;
    int64_t x = -1, y = -1;
    int channel = -1;
    double actual = 0.0, expected = 0.0;

    std::string describe() const {
        std::ostringstream s;
        s << "worst difference " << difference << " at (" << x << ", " << y << ") channel " << channel
          << ": actual " << actual << ", expected " << expected;
        return s.str();
    }
};

// Channel-wise comparison of planes of equal shape; NaN against a number counts as infinitely far.
inline Worst_Difference worst_difference(const Plane& actual, const Plane& expected) {
    Worst_Difference worst;
    for (int64_t y = 0; y < actual.height; ++y)
        for (int64_t x = 0; x < actual.width; ++x)
            for (int c = 0; c < actual.channels; ++c) {
                const double a = actual.at(x, y, c), e = expected.at(x, y, c);
                const double d = std::isnan(a) != std::isnan(e) ? INFINITY : std::isnan(a) ? 0.0 : std::fabs(a - e);
                if (d > worst.difference || worst.x < 0) worst = {d, x, y, c, a, e};
            }
    return worst;
}

// Layers compare through their raw channel values.
template <class P>
Worst_Difference worst_difference(const Layer<P>& actual, const Layer<P>& expected) {
    return worst_difference(raw_plane(actual), raw_plane(expected));
}

}  // namespace nb::test
