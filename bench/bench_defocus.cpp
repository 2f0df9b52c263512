// The defocus kernel at 1080p and 2160p against FFTW convolutions at power-of-two and at our sizes, with peak
// memory, and a sequence of frames rendered by the plug-in binary in the headless host.
#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "host/effect_session.h"
#include "kernel/blurmond_geometry.h"
#include "kernel/kernel_blurmond_cpu.h"
#include "tests/support/plugin_binary.h"
#include "tests/support/test_host.h"

namespace nb {
namespace {

struct Frame_Size {
    const char* name;
    int64_t width, height;
    float radius;
};

const Frame_Size sizes[] = {{"1080p r50", 1920, 1080, 50.0f}, {"2160p r100", 3840, 2160, 100.0f}};

int64_t thread_count() { return std::max(1u, std::thread::hardware_concurrency()); }

struct Transform_Size {
    int64_t n, m;
};

Blurmond_Geometry geometry(const Frame_Size& size) {
    Iris_Extent_Settings s;
    s.radius = size.radius;
    return blurmond_geometry(size.width, size.height, s);
}

// The sizes the kernel transforms.
Transform_Size our_size(const Frame_Size& size) {
    const Blurmond_Geometry g = geometry(size);
    return {g.width, g.height};
}

// The sizes the kernel transformed when it padded frame and margins to powers of two.
Transform_Size power_of_two_size(const Frame_Size& size) {
    const Blurmond_Geometry g = geometry(size);
    const auto above = [](int64_t n) {
        int64_t p = 1;
        while (p < n) p <<= 1;
        return p;
    };
    return {above(size.width + 2 * g.margin_x), above(size.height + 2 * g.margin_y)};
}

// Frames live outside the host, so the host's high-water mark counts the kernel's memory alone.
struct Frame {
    std::vector<Pixel_Argb_32f> pixels;
    Layer<Pixel_Argb_32f> layer;
    Frame(int64_t w, int64_t h) : pixels(static_cast<size_t>(w * h)) {
        layer.data = pixels.data();
        layer.row_bytes = w * static_cast<int64_t>(sizeof(Pixel_Argb_32f));
        layer.width = w;
        layer.height = h;
        layer.premultiplied = true;
        for (int64_t y = 0; y < h; ++y)
            for (int64_t x = 0; x < w; ++x) {
                const float v = static_cast<float>((x * 7 + y * 13) % 97) / 96.0f;
                layer.at(x, y) = {{1.0f, v, 1.0f - v, 0.5f}};
            }
    }
};

Kernel_Blurmond<Layer<Pixel_Argb_32f>> defocus(const Frame& in, const Frame& out, float radius) {
    Kernel_Blurmond<Layer<Pixel_Argb_32f>> k;
    k.in.in = in.layer;
    k.in.out = out.layer;
    k.in.selection = in.layer;
    k.in.radius = radius;
    k.in.rounded = 1.0f;
    k.in.facets = 6;
    k.in.gamma_correction = true;
    return k;
}

std::map<std::string, double> peak_bytes;
std::map<std::string, double> bound_bytes;

// Working memory the defocus run may hold at once: the drawn and the transformed iris, then the
// transformed iris and the four-channel image buffer, plus the transforms' scratch rows (tables and
// one row per thread, at most 128 bytes per row element or twice that per column element: the product
// pass keeps two blocks of columns).
double memory_bound(const Frame_Size& size, int64_t threads) {
    const Blurmond_Geometry g = geometry(size);
    const auto rows = [](int64_t bytes) { return static_cast<double>((bytes + 63) / 64 * 64); };
    const double drawn = rows(g.width * 4) * g.height;
    const double iris = rows((g.width + 2) * 4) * g.height;
    const double image = rows((g.width + 2) * 16) * g.height;
    const double scratch = (threads + 1) * rows(std::max(g.width / 2, 2 * g.height) * 32 * 4);
    return std::max(drawn + iris, iris + image) + scratch;
}

void BM_Defocus(benchmark::State& state, Frame_Size size) {
    const int64_t threads = thread_count();
    test::Test_Host host(threads);
    const Render_Context context = host.context();
    const Frame in(size.width, size.height), out(size.width, size.height);
    // The host recycles freed handle memory, so from a shot's second frame on the kernel works in pages
    // already mapped, as FFTW works in buffers its planning touched; the sequence line shows a first frame.
    defocus(in, out, size.radius).run(context);
    for (auto _ : state) {
        auto k = defocus(in, out, size.radius);
        k.run(context);
        benchmark::DoNotOptimize(out.pixels.data());
    }
    peak_bytes[size.name] = static_cast<double>(host.peak_bytes());
    bound_bytes[size.name] = memory_bound(size, threads);
}

// The same convolution with FFTW: a gray iris and four channels, each N x M real to complex and back,
// planned beforehand, with the same threads.
class Fftw_Convolution {
public:
    Fftw_Convolution(Transform_Size size, int threads) : threads_(threads) {
        n_ = static_cast<int>(size.n);
        m_ = static_cast<int>(size.m);
        bins_ = (n_ / 2 + 1) * static_cast<int64_t>(m_);
        image_ = fftwf_alloc_real(static_cast<size_t>(4 * 2 * bins_));
        iris_ = fftwf_alloc_real(static_cast<size_t>(2 * bins_));
        fftwf_plan_with_nthreads(threads);
        fftwf_set_timelimit(20.0);
        const int dims[2] = {m_, n_};
        const int real_embed[2] = {m_, 2 * (n_ / 2 + 1)};
        const int complex_embed[2] = {m_, n_ / 2 + 1};
        auto* spectrum = reinterpret_cast<fftwf_complex*>(image_);
        forward_ = fftwf_plan_many_dft_r2c(2, dims, 4, image_, real_embed, 1, static_cast<int>(2 * bins_), spectrum,
                                           complex_embed, 1, static_cast<int>(bins_), FFTW_MEASURE);
        reverse_ = fftwf_plan_many_dft_c2r(2, dims, 4, spectrum, complex_embed, 1, static_cast<int>(bins_), image_,
                                           real_embed, 1, static_cast<int>(2 * bins_), FFTW_MEASURE);
        iris_plan_ = fftwf_plan_dft_r2c_2d(m_, n_, iris_, reinterpret_cast<fftwf_complex*>(iris_), FFTW_MEASURE);
        std::fill(image_, image_ + 4 * 2 * bins_, 0.5f);
    }
    ~Fftw_Convolution() {
        fftwf_destroy_plan(forward_);
        fftwf_destroy_plan(reverse_);
        fftwf_destroy_plan(iris_plan_);
        fftwf_free(image_);
        fftwf_free(iris_);
    }
    Fftw_Convolution(const Fftw_Convolution&) = delete;
    Fftw_Convolution& operator=(const Fftw_Convolution&) = delete;

    void run() {
        std::fill(iris_, iris_ + 2 * bins_, 0.0f);
        iris_[0] = 1.0f;
        fftwf_execute(iris_plan_);
        fftwf_execute(forward_);
        multiply();
        fftwf_execute(reverse_);
    }

private:
    // The spectrum product, split over the threads like the transforms.
    void multiply() {
        auto* a = reinterpret_cast<fftwf_complex*>(image_);
        const auto* b = reinterpret_cast<const fftwf_complex*>(iris_);
        const auto part = [&](int64_t begin, int64_t end) {
            for (int c = 0; c < 4; ++c)
                for (int64_t i = begin; i < end; ++i) {
                    fftwf_complex& v = a[c * bins_ + i];
                    const float re = v[0] * b[i][0] - v[1] * b[i][1];
                    v[1] = v[0] * b[i][1] + v[1] * b[i][0];
                    v[0] = re;
                }
        };
        std::vector<std::thread> workers;
        for (int t = 1; t < threads_; ++t)
            workers.emplace_back(part, bins_ * t / threads_, bins_ * (t + 1) / threads_);
        part(0, bins_ / threads_);
        for (std::thread& w : workers) w.join();
    }

    int threads_;
    int n_ = 0, m_ = 0;
    int64_t bins_ = 0;
    float* image_ = nullptr;
    float* iris_ = nullptr;
    fftwf_plan forward_{}, reverse_{}, iris_plan_{};
};

void BM_Fftw(benchmark::State& state, Transform_Size size) {
    Fftw_Convolution convolution(size, static_cast<int>(thread_count()));
    for (auto _ : state) convolution.run();
}

// Keeps the medians of the repetitions, by benchmark name.
class Median_Reporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.aggregate_name == "median") medians[run.run_name.function_name] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> medians;  // milliseconds
};

void register_benchmarks() {
    for (const Frame_Size& size : sizes) {
        benchmark::RegisterBenchmark((std::string("defocus ") + size.name).c_str(), BM_Defocus, size)
            ->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true)->Iterations(1);
        benchmark::RegisterBenchmark((std::string("fftw ") + size.name).c_str(), BM_Fftw, power_of_two_size(size))
            ->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true)->Iterations(1);
        benchmark::RegisterBenchmark((std::string("fftw at our sizes ") + size.name).c_str(), BM_Fftw, our_size(size))
            ->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true)->Iterations(1);
    }
}

constexpr int sequence_frames = 10;

struct Sequence_Times {
    double first_ms = 0.0;
    double steady_ms = 0.0;  // median of the frames after the first
};

// The built plug-in loaded as a host loads it, rendering a 32-bit frame on the smart path again and again
// as a host renders a shot: from the second frame on the host hands back recycled memory, so the
// difference to the first is what a sequence saves.
Sequence_Times render_sequence(const Frame_Size& size) {
    test::Plugin_Binary binary(false);
    host::Effect_Session session(binary.library(), {.effect = {}, .threads = thread_count(), .memory_budget = 0});
    if (session.global_setup() != PF_Err_NONE || session.params_setup() != PF_Err_NONE) return {};
    session.set_float(session.index_of("radius"), size.radius);
    const host::World_Format format{host::Pixel_Depth::bits_32, host::Channel_Order::argb, false};
    host::Host_World input(size.width, size.height, format), output(size.width, size.height, format);
    for (int64_t y = 0; y < size.height; ++y)
        for (int64_t x = 0; x < size.width; ++x) {
            const double v = static_cast<double>((x * 7 + y * 13) % 97) / 96.0;
            input.set_rgba(x, y, {v, 1.0 - v, 0.5, 1.0});
        }
    std::vector<double> times;
    for (int frame = 0; frame < sequence_frames; ++frame) {
        const auto start = std::chrono::steady_clock::now();
        if (session.render({.input = &input, .output = &output, .extra = {}}, host::Render_Path::smart) != PF_Err_NONE) return {};
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::vector<double> steady(times.begin() + 1, times.end());
    std::nth_element(steady.begin(), steady.begin() + std::ssize(steady) / 2, steady.end());
    return {times.front(), steady[steady.size() / 2]};
}

}  // namespace
}  // namespace nb

int main(int argc, char** argv) {
    fftwf_init_threads();
    benchmark::Initialize(&argc, argv);
    nb::register_benchmarks();
    nb::Median_Reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const nb::Frame_Size& size : nb::sizes) {
        const double ours = reporter.medians["defocus " + std::string(size.name)];
        const double fftw = reporter.medians["fftw " + std::string(size.name)];
        if (ours <= 0.0 || fftw <= 0.0) continue;
        std::printf("median defocus %s: %.1f ms, fftw: %.1f ms\n", size.name, ours, fftw);
        std::printf("ratio %s: %.2f\n", size.name, ours / fftw);
        const nb::Transform_Size pow2 = nb::power_of_two_size(size), our = nb::our_size(size);
        const double fftw_ours = reporter.medians["fftw at our sizes " + std::string(size.name)];
        std::printf("transforms %s: ours %lld x %lld, power of two %lld x %lld; fftw at our sizes: %.1f ms\n",
                    size.name, static_cast<long long>(our.n), static_cast<long long>(our.m),
                    static_cast<long long>(pow2.n), static_cast<long long>(pow2.m), fftw_ours);
        if (fftw_ours > 0.0) std::printf("ratio to FFTW at our sizes %s: %.2f\n", size.name, ours / fftw_ours);
        const double peak = nb::peak_bytes[size.name], bound = nb::bound_bytes[size.name];
        const char* verdict = peak <= 1.05 * bound ? "within 5%" : "EXCEEDS the bound by more than 5%";
        std::printf("peak working memory %s: %.1f MB, bound %.1f MB (%.1f%%, %s)\n", size.name, peak / 1e6,
                    bound / 1e6, 100.0 * peak / bound, verdict);
    }
    const nb::Frame_Size& hd = nb::sizes[0];
    const nb::Sequence_Times sequence = nb::render_sequence(hd);
    if (sequence.first_ms > 0.0)
        std::printf("sequence of %d frames through the headless host %s: first frame %.1f ms, steady state %.1f ms "
                    "(median of frames 2..%d)\n",
                    nb::sequence_frames, hd.name, sequence.first_ms, sequence.steady_ms, nb::sequence_frames);
    else
        std::printf("sequence of %d frames through the headless host %s: the plug-in failed to render\n",
                    nb::sequence_frames, hd.name);
    benchmark::Shutdown();
    fftwf_cleanup_threads();
    return 0;
}
