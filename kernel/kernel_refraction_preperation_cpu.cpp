// Refraction map from alpha gradients, one task per row of the distortion source.
#include "kernel/kernel_refraction_preperation_cpu.h"

#include <algorithm>
#include <cmath>

namespace nb {

namespace {

// Alpha rows y-2 .. y+2 with positions clamped to the image. Integer alpha is taken raw: the
// gradient is only used for its direction, and the flatness threshold applies to raw values.
template <class P>
class Alpha_Window {
public:
    Alpha_Window(const Layer<P>& layer, int64_t y) : width_(layer.width) {
        for (int d = -2; d <= 2; ++d) rows_[d + 2] = layer.row(std::clamp<int64_t>(y + d, 0, layer.height - 1));
    }
    double operator()(int64_t x, int dy) const {
        return static_cast<double>(rows_[dy + 2][std::clamp<int64_t>(x, 0, width_ - 1)].a());
    }
    // Alpha of column x of row y, white 1.0.
    float unit(int64_t x) const { return to_unit(rows_[2][x].a()); }

private:
    const P* rows_[5];
    int64_t width_;
};

template <class P>
Refraction_Vector refraction_vector(const Alpha_Window<P>& a, int64_t x) {
    double gx = 0.0;
    double gy = 0.0;
    for (int d = -1; d <= 1; ++d) {
        gx += a(x + 1, d) - a(x - 1, d);
        gy += a(x + d, 1) - a(x + d, -1);
    }
    for (int d = -2; d <= 2; ++d) {
        gx += a(x + 2, d) - a(x - 2, d);
        gy += a(x + d, 2) - a(x + d, -2);
    }
    const double length = std::sqrt(gx * gx + gy * gy);
    if (!(length > 0.001)) return {static_cast<float>(gx), static_cast<float>(gy), 0.0f};
    return {static_cast<float>(gx / length), static_cast<float>(gy / length), a.unit(x)};
}

template <class Layer_T>
void preparation_row(const Iteration& iteration, Render_Context context,
                     typename Kernel_Refraction_Preperation<Layer_T>::Parameters_In p) {
    using P = typename Layer_T::pixel;
    const int64_t y = iteration.index;
    const Alpha_Window<P> window(p.in, y);
    Refraction_Vector* out = p.map.row(y);
    for (int64_t x = 0; x < p.in.width; ++x) out[x] = refraction_vector(window, x);
    context.check_abort();
}

}  // namespace

template <class Layer_T>
void Kernel_Refraction_Preperation<Layer_T>::execute(Render_Context context) {
    in.map = {};
    in.map_storage.reset();
    if (in.in.empty()) return;
    const int64_t row_bytes = in.in.width * static_cast<int64_t>(sizeof(Refraction_Vector));
    in.map_storage = context.allocate_memory(row_bytes * in.in.height);
    in.map.data = static_cast<Refraction_Vector*>(in.map_storage->data_device());
    in.map.row_bytes = row_bytes;
    in.map.width = in.in.width;
    in.map.height = in.in.height;
    launch(in.in.height, &preparation_row<Layer_T>, context, in);
}

template class Kernel_Refraction_Preperation<Layer<Pixel_Argb_8>>;
template class Kernel_Refraction_Preperation<Layer<Pixel_Argb_16>>;
template class Kernel_Refraction_Preperation<Layer<Pixel_Argb_32f>>;
template class Kernel_Refraction_Preperation<Layer<Pixel_Bgra_8>>;
template class Kernel_Refraction_Preperation<Layer<Pixel_Bgra_16>>;
template class Kernel_Refraction_Preperation<Layer<Pixel_Bgra_32f>>;

}  // namespace nb
