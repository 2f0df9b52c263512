// Row pass and column pass of the summed-area table.
#include "util/kernel/kernel_prefix_scan_2d_cpu.h"

#include <algorithm>
#include <vector>

#include "base/exception.h"

namespace nb {

namespace {

template <class In, class Out>
using Scan_Parameters = typename Kernel_Prefix_Scan_2d<In, Out>::Parameters_In;

// What one source pixel adds to each table channel, in the source's raw scale.
template <class In_P, class Out_P>
void contribution(const In_P& p, double* value) {
    using T = typename In_P::component;
    if constexpr (Out_P::is_gray) {
        if constexpr (std::is_same_v<T, float>) value[0] = (p.r() + p.g() + p.b()) / 3.0f;
        else value[0] = static_cast<double>((int64_t(p.r()) + int64_t(p.g()) + int64_t(p.b())) / 3);
    } else {
        for (int c = 0; c < Out_P::channels; ++c) value[c] = static_cast<double>(p.c[c]);
    }
}

template <class In, class Out>
void row_pass(const Iteration& iteration, Render_Context context, Scan_Parameters<In, Out> p) {
    using Out_P = typename Out::pixel;
    constexpr int channels = Out_P::channels;
    const auto* source = p.in.row(iteration.index);
    Out_P* target = p.out.row(iteration.index);
    double sum[channels] = {};
    double value[channels];
    for (int64_t x = 0; x < p.in.width; ++x) {
        contribution<typename In::pixel, Out_P>(source[x], value);
        for (int c = 0; c < channels; ++c) {
            sum[c] += value[c];
            target[x].c[c] = static_cast<float>(sum[c]);
        }
    }
    context.check_abort();
}

// Walks its share of columns row by row, so every row access stays contiguous.
template <class In, class Out>
void column_pass(const Iteration& iteration, Render_Context context, Scan_Parameters<In, Out> p) {
    constexpr int channels = Out::pixel::channels;
    const auto [begin, end] = split(iteration, p.out.width);
    std::vector<double> sum(static_cast<size_t>((end - begin) * channels));
    const float* first = reinterpret_cast<const float*>(p.out.row(0) + begin);
    std::copy(first, first + sum.size(), sum.begin());
    for (int64_t y = 1; y < p.out.height; ++y) {
        float* row = reinterpret_cast<float*>(p.out.row(y) + begin);
        for (size_t i = 0; i < sum.size(); ++i) {
            sum[i] += row[i];
            row[i] = static_cast<float>(sum[i]);
        }
        context.check_abort();
    }
}

}  // namespace

template <class In, class Out>
int64_t Kernel_Prefix_Scan_2d<In, Out>::workload() const {
    const int64_t table = in.out.height * in.out.row_bytes;
    return in.in.height * in.in.row_bytes + 3 * table;
}

template <class In, class Out>
void Kernel_Prefix_Scan_2d<In, Out>::execute(Render_Context context) {
    static_assert(sizeof(typename Out::pixel) == Out::pixel::channels * sizeof(float), "tables are packed float");
    if (in.in.empty()) return;
    ASSERT(in.out.width == in.in.width && in.out.height == in.in.height, "the table must have the size of its source");
    launch(in.in.height, row_pass<In, Out>, context, in);
    const int64_t tasks = std::clamp<int64_t>(context.thread_count(0), 1, in.out.width);
    launch(tasks, column_pass<In, Out>, context, in);
}

template class Kernel_Prefix_Scan_2d<Layer<Pixel_Argb_8>, Layer<Pixel_Argb_32f>>;
template class Kernel_Prefix_Scan_2d<Layer<Pixel_Argb_16>, Layer<Pixel_Argb_32f>>;
template class Kernel_Prefix_Scan_2d<Layer<Pixel_Argb_32f>, Layer<Pixel_Argb_32f>>;
template class Kernel_Prefix_Scan_2d<Layer<Pixel_Bgra_8>, Layer<Pixel_Bgra_32f>>;
template class Kernel_Prefix_Scan_2d<Layer<Pixel_Bgra_16>, Layer<Pixel_Bgra_32f>>;
template class Kernel_Prefix_Scan_2d<Layer<Pixel_Bgra_32f>, Layer<Pixel_Bgra_32f>>;
template class Kernel_Prefix_Scan_2d<Layer<Pixel_Argb_8>, Layer<Pixel_Gray_32f>>;
template class Kernel_Prefix_Scan_2d<Layer<Pixel_Argb_16>, Layer<Pixel_Gray_32f>>;
template class Kernel_Prefix_Scan_2d<Layer<Pixel_Argb_32f>, Layer<Pixel_Gray_32f>>;
template class Kernel_Prefix_Scan_2d<Layer<Pixel_Bgra_8>, Layer<Pixel_Gray_32f>>;
template class Kernel_Prefix_Scan_2d<Layer<Pixel_Bgra_16>, Layer<Pixel_Gray_32f>>;
template class Kernel_Prefix_Scan_2d<Layer<Pixel_Bgra_32f>, Layer<Pixel_Gray_32f>>;

}  // namespace nb
