// Row tasks that composite a layer over black and set full alpha.
#include "util/kernel/kernel_make_solid_cpu.h"

#include <algorithm>
#include <limits>

namespace nb {

namespace {

// Colour times alpha; integer depths truncate c * a / white. The product comes first and in double,
// so that white times alpha gives alpha exactly (255 * (63 / 255.0f) would truncate to 62).
// Components above white (possible in 16-bit storage) are clamped so the conversion stays defined.
template <class P>
typename P::component multiply(typename P::component c, typename P::component a) {
    using T = typename P::component;
    if constexpr (std::is_same_v<T, float>) {
        return c * a;
    } else {
        const double product = static_cast<double>(c) * static_cast<double>(a) / P::white;
        return static_cast<T>(std::min(product, static_cast<double>(std::numeric_limits<T>::max())));
    }
}

template <class Layer_T>
void solid_row(const Iteration& iteration, Render_Context context,
               typename Kernel_Make_Solid<Layer_T>::Parameters_In p) {
    using P = typename Layer_T::pixel;
    using T = typename P::component;
    P* row = p.image.row(iteration.index);
    for (int64_t x = 0; x < p.image.width; ++x) {
        P& pixel = row[x];
        if (!p.image.premultiplied) {
            pixel.r() = multiply<P>(pixel.r(), pixel.a());
            pixel.g() = multiply<P>(pixel.g(), pixel.a());
            pixel.b() = multiply<P>(pixel.b(), pixel.a());
        }
        pixel.a() = static_cast<T>(P::white);
    }
    context.check_abort();
}

}  // namespace

template <class Layer_T>
void Kernel_Make_Solid<Layer_T>::execute(Render_Context context) {
    if (in.image.empty()) return;
    launch(in.image.height, solid_row<Layer_T>, context, in);
}

template class Kernel_Make_Solid<Layer<Pixel_Argb_8>>;
template class Kernel_Make_Solid<Layer<Pixel_Argb_16>>;
template class Kernel_Make_Solid<Layer<Pixel_Argb_32f>>;
template class Kernel_Make_Solid<Layer<Pixel_Bgra_8>>;
template class Kernel_Make_Solid<Layer<Pixel_Bgra_16>>;
template class Kernel_Make_Solid<Layer<Pixel_Bgra_32f>>;

}  // namespace nb
