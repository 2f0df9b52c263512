// Runs the row and column passes of the forward and reverse transforms over the host's threads.
#include "kernel/kernel_fft_cpu.h"

#include <algorithm>
#include <cstddef>
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

float* row_of(const Fft_Buffer& buffer, int64_t y) {
    return reinterpret_cast<float*>(reinterpret_cast<std::byte*>(buffer.data) + y * buffer.row_bytes);
}

// Fills rows first .. end - 1 from the source (if any) and row-transforms the blocks that hold them. The
// blocks' other rows are transformed with whatever they hold, each lane on its own, and then overwritten
// by repeat_rows.
template <int C>
void rows_forward(const Render_Context& context, const Fft_Run& run, int64_t first, int64_t end) {
    constexpr int per_item = Fft_Passes<C>::rows_per_item;
    const int64_t first_item = first / per_item;
    const auto row = [=](const Iteration& iteration, const Render_Context& context, const Fft_Run& run) {
        const int64_t item = first_item + iteration.index;
        if (run.source.fill)
            for (int64_t y = std::max(item * per_item, first); y < std::min((item + 1) * per_item, end); ++y)
                run.source.fill(run.source.state, y);
        Fft_Passes<C>::rows_forward(run.buffer, run.plan, item, iteration.thread);
        context.check_abort();
    };
    launch(Fft_Passes<C>::row_items(end) - first_item, row, context, run);
}

// The rows outside the source's first .. end - 1 take the transform of the row they repeat: the same
// signal has the same transform whichever block computed it.
template <int C>
void repeat_rows(const Render_Context& context, const Fft_Run& run) {
    const int64_t first = run.source.first, end = run.source.end;
    const auto row = [=](const Iteration& iteration, const Render_Context& context, const Fft_Run& run) {
        const int64_t y = iteration.index < first ? iteration.index : iteration.index - first + end;
        std::copy_n(row_of(run.buffer, run.source.same(run.source.state, y)), (run.plan.n + 2) * C,
                    row_of(run.buffer, y));
        context.check_abort();
    };
    launch(run.plan.m - (end - first), row, context, run);
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

template <int C>
void product_pass(const Render_Context& context, const Fft_Run& run, const Fft_Factor& factor, int64_t first,
                  int64_t end) {
    const auto column = [=](const Iteration& iteration, const Render_Context& context, const Fft_Run& run) {
        Fft_Passes<C>::columns_product(run.buffer, run.plan, iteration.index, iteration.thread, factor, first, end);
        context.check_abort();
    };
    launch(Fft_Passes<C>::column_items(run.plan.n), column, context, run);
}

// The blocks of rows that hold the sink's rows first .. end - 1: only these are written back and
// row-transformed.
struct Row_Blocks {
    int64_t first = 0;
    int64_t end = 0;
};

template <int C>
Row_Blocks sink_blocks(int64_t first, int64_t end) {
    constexpr int per_item = Fft_Passes<C>::rows_per_item;
    return {first / per_item, end > first ? Fft_Passes<C>::row_items(end) : first / per_item};
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
    const bool repeats = in.source.fill && in.source.same;
    ASSERT(!repeats || (in.source.first >= 0 && in.source.first <= in.source.end && in.source.end <= run.plan.m));
    rows_forward<C>(context, run, repeats ? in.source.first : 0, repeats ? in.source.end : run.plan.m);
    if (in.source.again && in.source.again(in.source.state, context)) rows_forward<C>(context, run, 0, run.plan.m);
    else if (repeats) repeat_rows<C>(context, run);
    const Fft_Product& product = in.product;
    if (!product.factor.data) {
        columns_pass<C>(context, run, 1.0f, 0, run.plan.m);
        return;
    }
    ASSERT(product.factor.channels == 1 || product.factor.channels == C);
    ASSERT(product.dim == in.image.io.dim());
    ASSERT(product.first >= 0 && product.end <= run.plan.m);
    constexpr int per_item = Fft_Passes<C>::rows_per_item;
    const Row_Blocks blocks = sink_blocks<C>(product.first, product.end);
    product_pass<C>(context, run, product.factor, blocks.first * per_item, std::min(blocks.end * per_item, run.plan.m));
}

template <class Layer_T>
void Kernel_FFT_Reverse<Layer_T>::execute(Render_Context context) {
    ASSERT(is_fft_row_length(in.image.io.width() - 2));
    ASSERT(is_fft_length(in.image.io.height()));
    ASSERT(in.sink.take && in.sink.first >= 0 && in.sink.end <= in.image.io.height());
    constexpr int C = Layer_T::pixel::channels;
    Fft_Run run = prepare(context, in.image.io.layer);
    run.sink = in.sink;
    constexpr int per_item = Fft_Passes<C>::rows_per_item;
    const Row_Blocks blocks = sink_blocks<C>(in.sink.first, in.sink.end);
    if (!in.columns_done)
        columns_pass<C>(context, run, -1.0f, blocks.first * per_item, std::min(blocks.end * per_item, run.plan.m));
    rows_reverse<C>(context, run, blocks.first, blocks.end);
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
