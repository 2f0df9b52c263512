// The two passes of the tent blur, mirrored at every edge: rows into a temporary image, then column
// blocks into out.
#include "util/kernel/kernel_triangle_blur_cpu.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "base/exception.h"
#include "util/kernel/extended_line.h"
#include "util/kernel/running_tent.h"
#include "util/layer_buffer.h"

namespace nb {

namespace {

// Parallel lanes of the column pass: 16 colour or 64 gray pixels side by side, 256 contiguous
// bytes of float per row, so each step reads whole cache lines instead of one pixel per row.
constexpr int column_lanes = 64;

template <class Layer_T>
struct Blur_Task {
    Layer_T source;
    Layer_T target;
    std::shared_ptr<const Running_Tent> tent;
};

// One row as float channels.
template <class P>
void load_row(const P* source, int64_t width, std::vector<float>& line) {
    for (int64_t x = 0; x < width; ++x)
        for (int c = 0; c < P::channels; ++c) line[x * P::channels + c] = static_cast<float>(source[x].c[c]);
}

// One task per row; always mirrored at the row's ends.
template <class Layer_T>
void horizontal_row(const Iteration& iteration, Render_Context context, Blur_Task<Layer_T> task) {
    using P = typename Layer_T::pixel;
    using T = typename P::component;
    constexpr int channels = P::channels;
    std::vector<float> line(static_cast<size_t>(task.source.width * channels));
    load_row(task.source.row(iteration.index), task.source.width, line);
    P* target = task.target.row(iteration.index);
    task.tent->template run<channels>(
        [&](int64_t i, float* values) { std::copy_n(&line[i * channels], channels, values); },
        [&](int64_t x, const float* values) {
            for (int c = 0; c < channels; ++c) target[x].c[c] = store_component<T>(values[c]);
        });
    context.check_abort();
}

// One task per block of adjacent columns.
template <class Layer_T>
void vertical_block(const Iteration& iteration, Render_Context context, Blur_Task<Layer_T> task) {
    using P = typename Layer_T::pixel;
    using T = typename P::component;
    constexpr int channels = P::channels;
    constexpr int block = column_lanes / channels;
    const int64_t first = iteration.index * block;
    const int pixels = static_cast<int>(std::min<int64_t>(block, task.target.width - first));
    task.tent->template run<column_lanes>(
        [&](int64_t y, float* values) {
            const P* row = task.source.row(y) + first;
            for (int i = 0; i < pixels; ++i)
                for (int c = 0; c < channels; ++c) values[i * channels + c] = static_cast<float>(row[i].c[c]);
            std::fill(values + pixels * channels, values + column_lanes, 0.0f);
        },
        [&](int64_t y, const float* values) {
            P* row = task.target.row(y) + first;
            for (int i = 0; i < pixels; ++i)
                for (int c = 0; c < channels; ++c) row[i].c[c] = store_component<T>(values[i * channels + c]);
        });
    context.check_abort();
}

}  // namespace

template <class Layer_T>
void Kernel_Triangle_Blur<Layer_T>::execute(Render_Context context) {
    const auto& p = in;
    ASSERT(p.in.width == p.out.width && p.in.height == p.out.height, "in.image.in.dim() == in.image.out.dim()");
    if (p.in.empty()) return;

    using P = typename Layer_T::pixel;
    const Layer_Buffer temp_buffer =
        allocate_layer_buffer<P>(context, p.in.width, p.in.height, p.in.premultiplied, p.in.x, p.in.y,
                                 p.in.pixel_aspect, p.in.horizontal_factor, p.in.vertical_factor);
    const Layer_T temp = temp_buffer.layer<P>();

    const double radius_x = static_cast<double>(p.radius_x * p.out.horizontal_factor);
    const double radius_y = static_cast<double>(p.radius_y * p.out.vertical_factor);
    const auto rows = std::make_shared<const Running_Tent>(radius_x, Extended_Line(Outside::mirrored, p.in.width));
    launch(p.in.height, horizontal_row<Layer_T>, context, Blur_Task<Layer_T>{p.in, temp, rows});

    const auto columns = std::make_shared<const Running_Tent>(radius_y, Extended_Line(Outside::mirrored, p.in.height));
    constexpr int64_t block = column_lanes / P::channels;
    launch((p.in.width + block - 1) / block, vertical_block<Layer_T>, context,
           Blur_Task<Layer_T>{temp, p.out, columns});
}

template class Kernel_Triangle_Blur<Layer<Pixel_Gray_32f>>;
template class Kernel_Triangle_Blur<Layer<Pixel_Argb_8>>;
template class Kernel_Triangle_Blur<Layer<Pixel_Argb_16>>;
template class Kernel_Triangle_Blur<Layer<Pixel_Argb_32f>>;
template class Kernel_Triangle_Blur<Layer<Pixel_Bgra_8>>;
template class Kernel_Triangle_Blur<Layer<Pixel_Bgra_16>>;
template class Kernel_Triangle_Blur<Layer<Pixel_Bgra_32f>>;

}  // namespace nb
