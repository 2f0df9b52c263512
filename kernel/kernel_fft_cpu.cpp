// Runs the row and column passes of the forward and reverse transforms over the host's threads.
#include "kernel/kernel_fft_cpu.h"

#include <algorithm>
#include <memory>

#include "base/exception.h"
#include "kernel/fft_passes_cpu.h"
#include "kernel/fft_plan_cpu.h"

namespace nb {

namespace {

struct Fft_Run {
    Fft_Buffer buffer;
    Fft_Plan plan;
    std::shared_ptr<Mapped_Memory_2d> scratch;  // the plan's tables and worker rows
    Fft_Row_Source source;
    Fft_Row_Sink sink;
};

// Scratch: row 0 the shared tables, then one row per host thread (worker numbers stay below the
// thread count). Released when the transform returns.
template <int C>
std::shared_ptr<Mapped_Memory_2d> allocate_scratch(const Render_Context& context, int64_t n, int64_t m,
                                                   int64_t workers) {
    return context.allocate_memory_2d(fft_scratch_row_bytes(C, n, m), workers + 1);
}

template <int C>
void rows_forward(const Render_Context& context, const Fft_Run& run) {
    const auto row = [](const Iteration& iteration, const Render_Context& context, const Fft_Run& run) {
        if (run.source.fill) {
            const int64_t y0 = iteration.index * Fft_Passes<C>::rows_per_item;
            for (int64_t y = y0; y < std::min(y0 + Fft_Passes<C>::rows_per_item, run.plan.m); ++y)
                run.source.fill(run.source.state, y);
        }
        Fft_Passes<C>::rows_forward(run.buffer, run.plan, iteration.index, iteration.thread);
        context.check_abort();
    };
    launch(Fft_Passes<C>::row_items(run.plan.m), row, context, run);
}

// Item blocks first .. end - 1.
template <int C>
void rows_reverse(const Render_Context& context, const Fft_Run& run, int64_t first, int64_t end) {
    const auto row = [first](const Iteration& iteration, const Render_Context& context, const Fft_Run& run) {
        Fft_Passes<C>::rows_reverse(run.buffer, run.plan, first + iteration.index, iteration.thread, run.sink);
        context.check_abort();
    };
    launch(end - first, row, context, run);
}

// Rows first .. end - 1 of the result are written back.
template <int C>
void columns_pass(const Render_Context& context, const Fft_Run& run, float sign, int64_t first, int64_t end) {
    const auto column = [=](const Iteration& iteration, const Render_Context& context, const Fft_Run& run) {
        Fft_Passes<C>::columns(run.buffer, run.plan, iteration.index, iteration.thread, sign, first, end);
        context.check_abort();
    };
    launch(Fft_Passes<C>::column_items(run.plan.n), column, context, run);
}

template <class Layer_T>
Fft_Run prepare(const Render_Context& context, const Layer_T& layer) {
    using P = typename Layer_T::pixel;
    constexpr int C = P::channels;
    static_assert(sizeof(P) == C * sizeof(float), "transform buffers hold float pixels");
    Fft_Run run;
    run.buffer = {reinterpret_cast<float*>(layer.data), layer.row_bytes};
    const int64_t n = layer.width - 2, m = layer.height;
    const int64_t workers = std::max<int64_t>(1, context.thread_count(0));
    run.scratch = allocate_scratch<C>(context, n, m, workers);
    run.plan = Fft_Plan::build(*run.scratch, n, m, workers);
    return run;
}

}  // namespace

int64_t fft_scratch_row_bytes(int channels, int64_t n, int64_t m) {
    const int64_t passes = channels == 1   ? Fft_Passes<1>::scratch_bytes(n, m)
                           : channels == 4 ? Fft_Passes<4>::scratch_bytes(n, m)
                                           : Fft_Passes<5>::scratch_bytes(n, m);
    return std::max(Fft_Plan::table_bytes(n, m), passes);
}

template <class Layer_T>
void Kernel_FFT_Forward<Layer_T>::execute(Render_Context context) {
    ASSERT(is_fft_row_length(in.image.io.width() - 2));
    ASSERT(is_fft_length(in.image.io.height()));
    constexpr int C = Layer_T::pixel::channels;
    Fft_Run run = prepare(context, in.image.io.layer);
    run.source = in.source;
    rows_forward<C>(context, run);
    if (in.source.again && in.source.again(in.source.state, context)) rows_forward<C>(context, run);
    columns_pass<C>(context, run, 1.0f, 0, run.plan.m);
}

template <class Layer_T>
void Kernel_FFT_Reverse<Layer_T>::execute(Render_Context context) {
    ASSERT(is_fft_row_length(in.image.io.width() - 2));
    ASSERT(is_fft_length(in.image.io.height()));
    ASSERT(in.sink.take && in.sink.first >= 0 && in.sink.end <= in.image.io.height());
    constexpr int C = Layer_T::pixel::channels;
    Fft_Run run = prepare(context, in.image.io.layer);
    run.sink = in.sink;
    // Only the blocks of rows that hold rows the sink takes are written back and row-transformed.
    constexpr int per_item = Fft_Passes<C>::rows_per_item;
    const int64_t first = in.sink.first / per_item;
    const int64_t end = in.sink.end > in.sink.first ? Fft_Passes<C>::row_items(in.sink.end) : first;
    columns_pass<C>(context, run, -1.0f, first * per_item, std::min(end * per_item, run.plan.m));
    rows_reverse<C>(context, run, first, end);
}

template class Kernel_FFT_Forward<Layer<Pixel_Gray_32f>>;
template class Kernel_FFT_Forward<Layer<Pixel_Argb_32f>>;
template class Kernel_FFT_Forward<Layer<Pixel_Bgra_32f>>;
template class Kernel_FFT_Forward<Layer<Pixel_Argb_32f_Extra>>;
template class Kernel_FFT_Forward<Layer<Pixel_Bgra_32f_Extra>>;

template class Kernel_FFT_Reverse<Layer<Pixel_Argb_32f>>;
template class Kernel_FFT_Reverse<Layer<Pixel_Bgra_32f>>;
template class Kernel_FFT_Reverse<Layer<Pixel_Argb_32f_Extra>>;
template class Kernel_FFT_Reverse<Layer<Pixel_Bgra_32f_Extra>>;

}  // namespace nb
