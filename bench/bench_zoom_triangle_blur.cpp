// Cost of the tent blur and the zoom on a 2048 x 2048 float image: neither may grow with radius or factor.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <thread>

#include "tests/support/owned_layer.h"
#include "tests/support/test_host.h"
#include "util/kernel/kernel_prefix_scan_2d_cpu.h"
#include "util/kernel/kernel_triangle_blur_cpu.h"
#include "util/kernel/kernel_zoom_cpu.h"

namespace nb {
namespace {

constexpr int64_t size = 2048;
using Pixel = Pixel_Argb_32f;

int64_t host_threads() { return std::max<int64_t>(1, std::thread::hardware_concurrency()); }

void triangle_blur(benchmark::State& state, float radius) {
    test::Owned_Layer<Pixel> in(size, size, 0), out(size, size, 0);
    in.fill_random(1);
    in.layer().premultiplied = out.layer().premultiplied = true;
    test::Test_Host host(host_threads());
    for (auto _ : state) {
        Kernel_Triangle_Blur<Layer<Pixel>> kernel;
        kernel.in.in = in.layer();
        kernel.in.out = out.layer();
        kernel.in.radius_x = radius;
        kernel.in.radius_y = radius;
        kernel.run(host.context());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * size * size);
}

// The table is prepared once, so the figure is the cost of the output pixels alone. zoom is source
// pixels per output pixel: 0.05 magnifies, 20 shrinks the image to 5 % and its mirrored copies
// around it, windows reaching ten image widths out.
void zoom(benchmark::State& state, float factor) {
    using Table = Layer<Sum_Table_Pixel<Pixel>>;
    test::Owned_Layer<Pixel> in(size, size, 0), out(size, size, 0);
    test::Owned_Layer<Table::pixel> table(size, size, 0);
    in.fill_random(2);
    test::Test_Host host(host_threads());
    Kernel_Prefix_Scan_2d<Layer<Pixel>, Table> scan;
    scan.in.in = in.layer();
    scan.in.out = table.layer();
    scan.run(host.context());
    for (auto _ : state) {
        Kernel_Zoom<Layer<Pixel>, Layer<Pixel>> kernel;
        kernel.in.in = in.layer();
        kernel.in.out = out.layer();
        kernel.in.sum_table = table.layer();
        kernel.in.zoom_x = factor;
        kernel.in.zoom_y = factor;
        kernel.in.outside_horizontal = Outside::mirrored;
        kernel.in.outside_vertical = Outside::mirrored;
        kernel.run(host.context());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * size * size);
}

void register_all() {
    for (float radius : {2.0f, 200.0f})
        benchmark::RegisterBenchmark(("triangle_blur/radius_" + std::to_string(int(radius))).c_str(), triangle_blur, radius)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->MinTime(1.0);
    for (auto [name, factor] : {std::pair{"1", 1.0f}, std::pair{"0.05", 0.05f}, std::pair{"20", 20.0f}})
        benchmark::RegisterBenchmark((std::string("zoom/factor_") + name).c_str(), zoom, factor)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->MinTime(1.0);
}

// Keeps each run's real time per iteration (ms) so the ratios can be printed after the table.
class Recording_Reporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) times[run.run_name.function_name] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

void print_ratio(const Recording_Reporter& reporter, const std::string& slow, const std::string& fast) {
    const auto a = reporter.times.find(slow), b = reporter.times.find(fast);
    if (a == reporter.times.end() || b == reporter.times.end()) return;
    const double ratio = a->second / b->second;
    std::printf("%-24s / %-22s = %.3f (limit 1.5: %s)\n", slow.c_str(), fast.c_str(), ratio,
                ratio <= 1.5 ? "met" : "MISSED");
}

}  // namespace
}  // namespace nb

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    nb::register_all();
    nb::Recording_Reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n");
    nb::print_ratio(reporter, "triangle_blur/radius_200", "triangle_blur/radius_2");
    nb::print_ratio(reporter, "zoom/factor_0.05", "zoom/factor_1");
    nb::print_ratio(reporter, "zoom/factor_20", "zoom/factor_1");
    benchmark::Shutdown();
    return 0;
}
