// Direct discrete Fourier transform in double precision: the reference for the FFT kernels.
#pragma once

#include <complex>
#include <cstdint>
#include <vector>

namespace nb::test {

// X[k, l] = sum over j < n, y < m of x[y * n + j] e^(sign 2 pi i (j k / n + y l / m)), for every
// k < n and l < m (result indexed l * n + k). O(n^2 m^2); meant for sizes up to 32 by 32.
std::vector<std::complex<double>> direct_dft_2d(const std::vector<double>& x, int64_t n, int64_t m, int sign);

}  // namespace nb::test
