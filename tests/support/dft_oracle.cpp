// Direct discrete Fourier transform in double precision, nested loops, no fast algorithm.
#include "tests/support/dft_oracle.h"

#include <cmath>
#include <numbers>

namespace nb::test {

std::vector<std::complex<double>> direct_dft_2d(const std::vector<double>& x, int64_t n, int64_t m, int sign) {
    std::vector<std::complex<double>> result(static_cast<size_t>(n * m));
    for (int64_t l = 0; l < m; ++l)
        for (int64_t k = 0; k < n; ++k) {
            std::complex<double> sum = 0.0;
            for (int64_t y = 0; y < m; ++y)
                for (int64_t j = 0; j < n; ++j) {
                    // Reduce the phase exactly in integers before the trigonometry.
                    const double phase = static_cast<double>((j * k) % n) / static_cast<double>(n) +
                                         static_cast<double>((y * l) % m) / static_cast<double>(m);
                    sum += x[static_cast<size_t>(y * n + j)] * std::polar(1.0, sign * 2.0 * std::numbers::pi * phase);
                }
            result[static_cast<size_t>(l * n + k)] = sum;
        }
    return result;
}

}  // namespace nb::test
