// Row tasks of the iris shift: cyclic reads, linear light, the extra channel and per-row sums.
#include "kernel/kernel_shift_iris_cpu.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "kernel/bt709.h"

namespace nb {

namespace {

// Position u folded into [0, size); one unsigned comparison for the common inside case.
inline int64_t wrapped(int64_t u, int64_t size) {
    if (static_cast<uint64_t>(u) < static_cast<uint64_t>(size)) return u;
    return ((u % size) + size) % size;
}

// An image iris may hold NaN or infinities; one would spread through the iris sums and the transform
// over the whole frame. Such a value holds no light.
inline float finite_or_zero(float v) { return std::isfinite(v) ? v : 0.0f; }

template <class P>
inline bool is_zero(const P& p) {
    for (int c = 0; c < P::channels; ++c)
        if (p.c[c] != 0.0f) return false;
    return true;
}

template <class P_In, class P_Out>
P_Out shifted_pixel(const P_In& source, bool gamma) {
    P_Out p{};
    if constexpr (P_In::is_gray) {
        const float v = finite_or_zero(source.v());
        p.v() = gamma ? linear_from_bt709(v) : v;
    } else {
        for (int c = 0; c < 4; ++c) p.c[c] = finite_or_zero(source.c[c]);
        if constexpr (P_Out::extra_channels == 1) p.extra() = (p.r() + p.g() + p.b()) / 3.0f;
        if (gamma) {
            p.r() = linear_from_bt709(p.r());
            p.g() = linear_from_bt709(p.g());
            p.b() = linear_from_bt709(p.b());
        }
    }
    return p;
}

template <class Layer_In, class Layer_Out>
struct Shift_Record {
    Layer_In in;
    Layer_Out out;
    int64_t shift_x = 0;
    int64_t shift_y = 0;
    bool gamma = false;
    double* row_sums = nullptr;  // out.height rows of one sum per channel
};

template <class Layer_In, class Layer_Out>
void shift_row(const Iteration& iteration, const Render_Context& context,
               const Shift_Record<Layer_In, Layer_Out>& record) {
    using P_In = typename Layer_In::pixel;
    using P_Out = typename Layer_Out::pixel;
    constexpr int C = P_Out::channels;
    const Layer_In& in = record.in;
    const Layer_Out& out = record.out;
    const int64_t y = iteration.index;
    const P_In* source = in.row(wrapped(record.shift_y + y, in.height));
    const int64_t signal = std::max<int64_t>(0, out.width - 2);
    P_Out* row = out.row(y);
    double sums[C] = {};
    int64_t x = wrapped(record.shift_x, in.width);
    for (int64_t c = 0; c < signal; ++c, ++x) {
        if (x == in.width) x = 0;
        // Most of a drawn iris is empty: a zero adds nothing to the sums (the same bits) and stays zero.
        if (is_zero(source[x])) {
            row[c] = P_Out{};
            continue;
        }
        const P_Out p = shifted_pixel<P_In, P_Out>(source[x], record.gamma);
        row[c] = p;
        for (int ch = 0; ch < C; ++ch) sums[ch] += p.c[ch];
    }
    for (int64_t c = signal; c < out.width; ++c) row[c] = P_Out{};
    std::copy(sums, sums + C, record.row_sums + y * C);
    context.check_abort();
}

}  // namespace

template <class Layer_In, class Layer_Out>
int64_t Kernel_Shift_Iris<Layer_In, Layer_Out>::workload() const {
    return 2 * std::min(in.in.height * in.in.row_bytes, in.out.height * in.out.row_bytes);
}

template <class Layer_In, class Layer_Out>
void Kernel_Shift_Iris<Layer_In, Layer_Out>::execute(Render_Context context) {
    constexpr int C = Layer_Out::pixel::channels;
    std::fill(out.sums, out.sums + C, 0.0f);
    // Row sums reduced here in row order: atomic additions in arrival order would make the sums,
    // and with them the rendered frame, differ from run to run.
    const auto row_sums = context.allocate_memory(in.out.height * C * static_cast<int64_t>(sizeof(double)));
    Shift_Record<Layer_In, Layer_Out> record{in.in, in.out, in.shift_x, in.shift_y, in.gamma,
                                             static_cast<double*>(row_sums->data_device())};
    launch(in.out.height, shift_row<Layer_In, Layer_Out>, context, record);
    double totals[C] = {};
    for (int64_t y = 0; y < in.out.height; ++y)
        for (int ch = 0; ch < C; ++ch) totals[ch] += record.row_sums[y * C + ch];
    for (int ch = 0; ch < C; ++ch) out.sums[ch] = static_cast<float>(totals[ch]);
}

template class Kernel_Shift_Iris<Layer<Pixel_Gray_32f>, Layer<Pixel_Gray_32f>>;
template class Kernel_Shift_Iris<Layer<Pixel_Argb_32f>, Layer<Pixel_Argb_32f>>;
template class Kernel_Shift_Iris<Layer<Pixel_Bgra_32f>, Layer<Pixel_Bgra_32f>>;
template class Kernel_Shift_Iris<Layer<Pixel_Argb_32f>, Layer<Pixel_Argb_32f_Extra>>;
template class Kernel_Shift_Iris<Layer<Pixel_Bgra_32f>, Layer<Pixel_Bgra_32f_Extra>>;

}  // namespace nb
