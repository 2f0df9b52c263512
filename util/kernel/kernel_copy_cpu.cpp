// Row tasks of the layer copy: the in-range span converts source pixels, the rest is zero.
#include "util/kernel/kernel_copy_cpu.h"

#include <algorithm>

namespace nb {

namespace {

// Gray value of a colour pixel in its raw scale; integer depths divide as integers.
template <class P>
float raw_gray(const P& p) {
    using T = typename P::component;
    if constexpr (std::is_same_v<T, float>) return (p.r() + p.g() + p.b()) / 3.0f;
    else return static_cast<float>((int64_t(p.r()) + int64_t(p.g()) + int64_t(p.b())) / 3);
}

template <class In_P, class Out_P>
Out_P convert(const In_P& source, float scale) {
    static_assert(!(In_P::is_gray && Out_P::is_gray), "no gray to gray copy");
    using T = typename Out_P::component;
    Out_P result{};
    if constexpr (Out_P::is_gray) {
        result.v() = store_component<T>(raw_gray(source) * scale);
    } else if constexpr (In_P::is_gray) {
        const T value = store_component<T>(source.v() * scale);
        result.r() = value;
        result.g() = value;
        result.b() = value;
        result.a() = static_cast<T>(Out_P::white);
    } else {
        static_assert(std::is_same_v<In_P, Out_P>, "colour copies keep the pixel type");
        for (int c = 0; c < Out_P::channels; ++c) result.c[c] = store_component<T>(source.c[c] * scale);
    }
    return result;
}

template <class In, class Out>
void copy_row(const Iteration& iteration, Render_Context context, Kernel_Copy_In<In, Out> p) {
    const int64_t y = iteration.index;
    auto* target = p.out.row(y);
    const int64_t source_y = p.out.y + y - p.in.y;
    const int64_t shift = p.out.x - p.in.x;  // source column minus output column
    int64_t begin = 0;
    int64_t end = 0;
    if (source_y >= 0 && source_y < p.in.height) {
        begin = std::clamp<int64_t>(-shift, 0, p.out.width);
        end = std::clamp<int64_t>(p.in.width - shift, begin, p.out.width);
    }
    std::fill(target, target + begin, typename Out::pixel{});
    if (begin < end) {
        const auto* source = p.in.row(source_y);
        for (int64_t x = begin; x < end; ++x)
            target[x] = convert<typename In::pixel, typename Out::pixel>(source[x + shift], p.scale);
    }
    std::fill(target + end, target + p.out.width, typename Out::pixel{});
    context.check_abort();
}

}  // namespace

template <class In, class Out>
int64_t Kernel_Copy<In, Out>::workload() const {
    return in.out.height * in.out.row_bytes + in.in.height * in.in.row_bytes;
}

template <class In, class Out>
void Kernel_Copy<In, Out>::execute(Render_Context context) {
    if (in.in.empty() || in.out.empty()) return;
    launch(in.out.height, copy_row<In, Out>, context, in);
}

template class Kernel_Copy<Layer<Pixel_Argb_8>, Layer<Pixel_Argb_8>>;
template class Kernel_Copy<Layer<Pixel_Argb_16>, Layer<Pixel_Argb_16>>;
template class Kernel_Copy<Layer<Pixel_Argb_32f>, Layer<Pixel_Argb_32f>>;
template class Kernel_Copy<Layer<Pixel_Bgra_8>, Layer<Pixel_Bgra_8>>;
template class Kernel_Copy<Layer<Pixel_Bgra_16>, Layer<Pixel_Bgra_16>>;
template class Kernel_Copy<Layer<Pixel_Bgra_32f>, Layer<Pixel_Bgra_32f>>;
template class Kernel_Copy<Layer<Pixel_Argb_8>, Layer<Pixel_Gray_32f>>;
template class Kernel_Copy<Layer<Pixel_Argb_16>, Layer<Pixel_Gray_32f>>;
template class Kernel_Copy<Layer<Pixel_Argb_32f>, Layer<Pixel_Gray_32f>>;
template class Kernel_Copy<Layer<Pixel_Bgra_8>, Layer<Pixel_Gray_32f>>;
template class Kernel_Copy<Layer<Pixel_Bgra_16>, Layer<Pixel_Gray_32f>>;
template class Kernel_Copy<Layer<Pixel_Bgra_32f>, Layer<Pixel_Gray_32f>>;
template class Kernel_Copy<Layer<Pixel_Gray_32f>, Layer<Pixel_Argb_8>>;
template class Kernel_Copy<Layer<Pixel_Gray_32f>, Layer<Pixel_Argb_16>>;
template class Kernel_Copy<Layer<Pixel_Gray_32f>, Layer<Pixel_Argb_32f>>;
template class Kernel_Copy<Layer<Pixel_Gray_32f>, Layer<Pixel_Bgra_8>>;
template class Kernel_Copy<Layer<Pixel_Gray_32f>, Layer<Pixel_Bgra_16>>;
template class Kernel_Copy<Layer<Pixel_Gray_32f>, Layer<Pixel_Bgra_32f>>;

}  // namespace nb
