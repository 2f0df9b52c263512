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
};

enum class Direction { forward, reverse };

// Scratch: row 0 the shared tables, then one row per host thread (worker numbers stay below the
// thread count). Released when the transform returns.
template <int C>
std::shared_ptr<Mapped_Memory_2d> allocate_scratch(const Render_Context& context, int64_t n, int64_t m,
                                                   int64_t workers) {
    return context.allocate_memory_2d(fft_scratch_row_bytes(C, n, m), workers + 1);
}

template <int C>
void rows_pass(const Render_Context& context, const Fft_Run& run, Direction direction) {
    const auto row = [direction](const Iteration& iteration, const Render_Context& context, const Fft_Run& run) {
        if (direction == Direction::forward)
            Fft_Passes<C>::rows_forward(run.buffer, run.plan, iteration.index, iteration.thread);
        else
            Fft_Passes<C>::rows_reverse(run.buffer, run.plan, iteration.index, iteration.thread);
        context.check_abort();
    };
    launch(Fft_Passes<C>::row_items(run.plan.m), row, context, run);
}

template <int C>
void columns_pass(const Render_Context& context, const Fft_Run& run, Direction direction) {
    const float sign = direction == Direction::forward ? 1.0f : -1.0f;
    const auto column = [sign](const Iteration& iteration, const Render_Context& context, const Fft_Run& run) {
        Fft_Passes<C>::columns(run.buffer, run.plan, iteration.index, iteration.thread, sign);
        context.check_abort();
    };
    launch(Fft_Passes<C>::column_items(run.plan.n), column, context, run);
}

template <class Layer_T>
void transform(const Render_Context& context, const Layer_T& layer, Direction direction) {
    using P = typename Layer_T::pixel;
    constexpr int C = P::channels;
    static_assert(sizeof(P) == C * sizeof(float), "transform buffers hold float pixels");
    Fft_Run run;
    run.buffer = {reinterpret_cast<float*>(layer.data), layer.row_bytes};
    const int64_t n = layer.width - 2, m = layer.height;
    const int64_t workers = std::max<int64_t>(1, context.thread_count(0));
    const auto scratch = allocate_scratch<C>(context, n, m, workers);
    run.plan = Fft_Plan::build(*scratch, n, m, workers);
    if (direction == Direction::forward) {
        rows_pass<C>(context, run, direction);
        columns_pass<C>(context, run, direction);
    } else {
        columns_pass<C>(context, run, direction);
        rows_pass<C>(context, run, direction);
    }
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
    transform(context, in.image.io.layer, Direction::forward);
}

template <class Layer_T>
void Kernel_FFT_Reverse<Layer_T>::execute(Render_Context context) {
    ASSERT(is_fft_row_length(in.image.io.width() - 2));
    ASSERT(is_fft_length(in.image.io.height()));
    transform(context, in.image.io.layer, Direction::reverse);
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
