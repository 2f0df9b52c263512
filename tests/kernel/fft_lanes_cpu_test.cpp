// Lane-wise complex transform and real-spectrum split against the direct DFT, lane by lane.
#include "kernel/fft_lanes_cpu.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdlib>
#include <limits>
#include <random>
#include <vector>

#include "kernel/fft_plan_cpu.h"
#include "tests/support/dft_oracle.h"
#include "tests/support/test_host.h"

namespace nb {
namespace {

template <class T>
class FftLanes : public testing::Test {};

template <int V>
struct Width {
    static constexpr int value = V;
};
using Widths = testing::Types<Width<1>, Width<4>, Width<5>>;
TYPED_TEST_SUITE(FftLanes, Widths);

// Lane l of element e: real part at float e * 8V + l, imaginary part at e * 8V + 4V + l.
template <int V>
std::complex<double> lane_value(const std::vector<Fft_Vector>& data, int64_t element, int lane) {
    const float* f = reinterpret_cast<const float*>(data.data()) + element * 8 * V;
    return {f[lane], f[4 * V + lane]};
}

template <int V>
void set_lane(std::vector<Fft_Vector>& data, int64_t element, int lane, std::complex<double> v) {
    float* f = reinterpret_cast<float*>(data.data()) + element * 8 * V;
    f[lane] = static_cast<float>(v.real());
    f[4 * V + lane] = static_cast<float>(v.imag());
}

int64_t reversed(int64_t i, int64_t n) {
    int64_t r = 0;
    for (int64_t bit = 1, top = n / 2; bit < n; bit <<= 1, top >>= 1)
        if (i & bit) r |= top;
    return r;
}

// The plan's twiddles for an n-point transform are its column twiddles with M = n.
struct Tables {
    test::Test_Host host{1};
    std::shared_ptr<Mapped_Memory_2d> memory;
    Fft_Plan plan;
    Tables(int64_t real_length, int64_t column_length) {
        memory = host.context().allocate_memory_2d(Fft_Plan::table_bytes(real_length, column_length), 2);
        plan = Fft_Plan::build(*memory, real_length, column_length, 1);
    }
};

TYPED_TEST(FftLanes, TransformMatchesDirectDftInEveryLane) {
    constexpr int V = TypeParam::value;
    std::mt19937 random(3);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    for (int64_t n = 1; n <= 256; n *= 2) {
        const Tables tables(2, n);
        for (const float sign : {1.0f, -1.0f}) {
            std::vector<Fft_Vector> data(static_cast<size_t>(n * 2 * V));
            std::vector<std::vector<double>> re(4 * V, std::vector<double>(n)), im = re;
            for (int lane = 0; lane < 4 * V; ++lane)
                for (int64_t j = 0; j < n; ++j) {
                    re[lane][j] = value(random);
                    im[lane][j] = value(random);
                    set_lane<V>(data, reversed(j, n), lane, {re[lane][j], im[lane][j]});
                }
            Fft_Lanes<V>::transform(data.data(), n, tables.plan.column_twiddles, sign);
            for (int lane = 0; lane < 4 * V; ++lane) {
                // The DFT of re + i im from two real DFTs.
                const auto a = test::direct_dft_2d(re[lane], n, 1, static_cast<int>(sign));
                const auto b = test::direct_dft_2d(im[lane], n, 1, static_cast<int>(sign));
                // Bins bounded by 2n; a few roundings per radix-2 level.
                const double tolerance = 4.0 * std::numeric_limits<float>::epsilon() * (std::log2(n) + 1) * 2.0 * n;
                for (int64_t k = 0; k < n; ++k) {
                    const std::complex<double> want = a[k] + std::complex<double>(0, 1) * b[k];
                    const std::complex<double> got = lane_value<V>(data, k, lane);
                    ASSERT_LE(std::abs(got - want), tolerance)
                        << "n " << n << " sign " << sign << " lane " << lane << " bin " << k << ": got " << got
                        << ", want " << want;
                }
            }
        }
    }
}

// split_forward after the transform of (x[2q], x[2q+1]) gives the real spectrum; split_reverse then
// the inverse transform give back x times n/2.
TYPED_TEST(FftLanes, SplitTurnsHalfLengthTransformIntoRealSpectrumAndBack) {
    constexpr int V = TypeParam::value;
    std::mt19937 random(4);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    for (int64_t n = 2; n <= 256; n *= 2) {
        const int64_t half = n / 2;
        const Tables tables(n, 1);
        std::vector<Fft_Vector> data(static_cast<size_t>(half * 2 * V));
        std::vector<std::vector<double>> x(4 * V, std::vector<double>(n));
        for (int lane = 0; lane < 4 * V; ++lane) {
            for (double& v : x[lane]) v = value(random);
            for (int64_t q = 0; q < half; ++q)
                set_lane<V>(data, tables.plan.row_order[q], lane, {x[lane][2 * q], x[lane][2 * q + 1]});
        }
        Fft_Lanes<V>::transform(data.data(), half, tables.plan.row_twiddles, 1.0f);
        Fft_Lanes<V>::split_forward(data.data(), half, tables.plan.real_twiddles);
        const double tolerance = 8.0 * std::numeric_limits<float>::epsilon() * (std::log2(n) + 2) * n;
        for (int lane = 0; lane < 4 * V; ++lane) {
            const auto spectrum = test::direct_dft_2d(x[lane], n, 1, 1);
            const std::complex<double> ends = lane_value<V>(data, 0, lane);
            ASSERT_NEAR(ends.real(), spectrum[0].real(), tolerance) << "n " << n << " lane " << lane << " bin 0";
            ASSERT_NEAR(ends.imag(), spectrum[half].real(), tolerance) << "n " << n << " lane " << lane << " bin n/2";
            for (int64_t k = 1; k < half; ++k)
                ASSERT_LE(std::abs(lane_value<V>(data, k, lane) - spectrum[k]), tolerance)
                    << "n " << n << " lane " << lane << " bin " << k;
        }
        // Back: the elements must sit at their bit-reversed places before split_reverse.
        std::vector<Fft_Vector> reordered(data.size());
        for (int64_t q = 0; q < half; ++q)
            for (int lane = 0; lane < 4 * V; ++lane)
                set_lane<V>(reordered, tables.plan.row_order[q], lane, lane_value<V>(data, q, lane));
        Fft_Lanes<V>::split_reverse(reordered.data(), half, tables.plan.real_twiddles, tables.plan.row_order);
        Fft_Lanes<V>::transform(reordered.data(), half, tables.plan.row_twiddles, -1.0f);
        for (int lane = 0; lane < 4 * V; ++lane)
            for (int64_t q = 0; q < half; ++q) {
                const std::complex<double> got = lane_value<V>(reordered, q, lane);
                const std::complex<double> want(x[lane][2 * q] * half, x[lane][2 * q + 1] * half);
                ASSERT_LE(std::abs(got - want), 2.0 * tolerance) << "n " << n << " lane " << lane << " pair " << q;
            }
    }
}

}  // namespace
}  // namespace nb
