// The lane-wise transforms alone, per length and lane width, in processor time: what each radix mix costs
// per element, for choosing transform lengths and tuning the passes without the copies around them.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "kernel/fft_lanes_cpu.h"

namespace nb {
namespace {

template <int V>
void BM_Lanes(benchmark::State& state) {
    const int64_t n = state.range(0);
    std::vector<float> twiddles(static_cast<size_t>(2 * n));
    for (int64_t j = 0; j < n; ++j) {
        twiddles[static_cast<size_t>(2 * j)] = static_cast<float>(std::cos(6.283185307179586 * j / n));
        twiddles[static_cast<size_t>(2 * j + 1)] = static_cast<float>(std::sin(6.283185307179586 * j / n));
    }
    // The wide lanes load whole 32-byte vectors, as from the 64-byte aligned scratch rows.
    const int64_t count = n * Fft_Lanes<V>::vectors;
    std::unique_ptr<Fft_Vector[], decltype(&std::free)> data(
        static_cast<Fft_Vector*>(std::aligned_alloc(64, static_cast<size_t>(count) * sizeof(Fft_Vector))), &std::free);
    for (int64_t i = 0; i < count; ++i) data[i] = Fft_Vector{} + static_cast<float>(i % 7) * 0.125f;
    for (auto _ : state) {
        Fft_Lanes<V>::transform(data.get(), n, twiddles.data(), 1.0f);
        Fft_Lanes<V>::transform(data.get(), n, twiddles.data(), -1.0f);
        for (int64_t i = 0; i < count; ++i) data[i] *= 1.0f / static_cast<float>(n);
        benchmark::DoNotOptimize(data.get());
    }
    // Nanoseconds per element and pass-equivalent are read off as time / (2 n).
    state.counters["ns_per_element"] = benchmark::Counter(
        static_cast<double>(2 * n) * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// Row lengths (two vectors a lane element) and column lengths (four) of 1080p and 2160p frames, their
// neighbours, and single-radix lengths for the cost of each pass.
const int64_t lengths[] = {512, 1024, 2048, 729, 2187, 625, 3125, 1000, 1200, 1215, 1250, 1280, 1296, 2000, 2025, 2400, 2430, 2500, 2560, 2592};

void register_benchmarks() {
    for (const int64_t n : lengths) {
        benchmark::RegisterBenchmark("lanes 2", BM_Lanes<2>)->Arg(n);
        benchmark::RegisterBenchmark("lanes 4", BM_Lanes<4>)->Arg(n);
    }
}

}  // namespace
}  // namespace nb

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    nb::register_benchmarks();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
