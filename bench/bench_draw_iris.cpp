// Speed of iris drawing: the whole kernel at radius 500 with nine blades and a border, and its geometry.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "kernel/kernel_draw_iris_cpu.h"
#include "kernel/lens_information.h"
#include "tests/support/test_host.h"

namespace nb {
namespace {

// Nine slightly rounded blades with a bright border of a fifth of the radius.
constexpr float bench_rounded = 0.3f;
constexpr float bench_thickness = 0.2f;
constexpr float bench_brightness = 0.5f;

// The iris into a gray float buffer just large enough for it, as the defocus kernel uses it.
// Arguments: radius, blades.
void draw_iris_gray(benchmark::State& state) {
    const auto radius = static_cast<float>(state.range(0));
    const auto blades = static_cast<int32_t>(state.range(1));
    const int64_t size = 2 * static_cast<int64_t>(radius) + 24;
    std::vector<Pixel_Gray_32f> pixels(static_cast<size_t>(size * size));
    test::Test_Host host(2);
    Kernel_Draw_Iris<Layer<Pixel_Gray_32f>, Layer<Pixel_Argb_32f>> kernel;
    kernel.in.out.data = pixels.data();
    kernel.in.out.row_bytes = size * static_cast<int64_t>(sizeof(Pixel_Gray_32f));
    kernel.in.out.width = size;
    kernel.in.out.height = size;
    kernel.in.radius = radius;
    kernel.in.rounded = bench_rounded;
    kernel.in.border_thickness = bench_thickness;
    kernel.in.border_brightness = bench_brightness;
    kernel.in.angle = 0.2f;
    kernel.in.facets = blades;
    for (auto _ : state) {
        kernel.run(host.context());
        benchmark::DoNotOptimize(pixels.data());
    }
    state.SetItemsProcessed(state.iterations() * size * size);
}
BENCHMARK(draw_iris_gray)->Args({500, 9})->Args({999, 999})->Unit(benchmark::kMillisecond)->UseRealTime();

// The geometry alone: the per-row changes, built on the calling thread. Arguments: radius, blades.
void build_lens_information(benchmark::State& state) {
    test::Test_Host host(1);
    Lens_Settings settings;
    settings.radius = static_cast<float>(state.range(0));
    settings.facets = static_cast<int32_t>(state.range(1));
    settings.rounded = bench_rounded;
    settings.border_thickness = bench_thickness;
    settings.border_brightness = bench_brightness;
    settings.angle = 0.2f;
    for (auto _ : state) {
        const LensInformation lens = LensInformation::build(settings, host.context());
        benchmark::DoNotOptimize(lens.stored);
    }
}
BENCHMARK(build_lens_information)
    ->Args({500, 9})
    ->Args({500, 90})
    ->Args({500, 999})
    ->Args({999, 999})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace nb

BENCHMARK_MAIN();
