// Summed-area table by nested loops over each entry's rectangle.
#include "tests/support/prefix_sum_oracle.h"

namespace nb::test {

Plane inclusive_prefix_sum(const Plane& source, bool two_d) {
    Plane table(source.width, source.height, source.channels);
    for (int64_t y = 0; y < source.height; ++y)
        for (int64_t x = 0; x < source.width; ++x)
            for (int c = 0; c < source.channels; ++c) {
                double sum = 0.0;
                for (int64_t j = two_d ? 0 : y; j <= y; ++j)
                    for (int64_t i = 0; i <= x; ++i) sum += source.at(i, j, c);
                table.at(x, y, c) = sum;
            }
    return table;
}

}  // namespace nb::test
