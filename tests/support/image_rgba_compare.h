// Comparison of the tools' float RGBA images for tests: the worst channel and where it is.
#pragma once

#include <cmath>
#include <cstdint>
#include <sstream>
#include <string>

#include "tools/image_rgba.h"

namespace nb::test {

struct Rgba_Difference {
    double error = 0.0;  // absolute, or relative to max(1, |expected|) when asked for
    int64_t x = -1, y = -1;
    int channel = -1;
    double actual = 0.0, expected = 0.0;

    std::string describe() const {
        std::ostringstream s;
        s << "worst error " << error << " at (" << x << ", " << y << ") channel " << "RGBA"[channel < 0 ? 0 : channel]
          << ": actual " << actual << ", expected " << expected;
        return s.str();
    }
};

// Channel-wise comparison of equal-sized images. With `relative`, errors of values above 1 are
// divided by the value, for formats whose precision is relative (half, float). NaN matches NaN.
inline Rgba_Difference worst_rgba_difference(const tools::Image_Rgba& actual, const tools::Image_Rgba& expected,
                                             bool relative = false) {
    Rgba_Difference worst;
    for (int64_t y = 0; y < expected.height; ++y)
        for (int64_t x = 0; x < expected.width; ++x)
            for (int c = 0; c < 4; ++c) {
                const double a = actual.pixel(x, y)[c], e = expected.pixel(x, y)[c];
                double d = std::isnan(a) && std::isnan(e) ? 0.0 : std::isnan(a) != std::isnan(e) ? INFINITY : std::fabs(a - e);
                if (relative) d /= std::fmax(1.0, std::fabs(e));
                if (d > worst.error || worst.x < 0) worst = {d, x, y, c, a, e};
            }
    return worst;
}

}  // namespace nb::test
