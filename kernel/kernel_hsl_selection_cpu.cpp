// Preview of the highlight selection, one task per output row.
#include "kernel/kernel_hsl_selection_cpu.h"

#include <algorithm>
#include <type_traits>

#include "kernel/highlight_selection_evaluator.h"

namespace nb {

namespace {

// Integer products are truncated, as the preview has always shown them. Clamping to white only
// matters for 16-bit values above white, which would otherwise wrap around.
template <class P>
typename P::component scaled(typename P::component c, typename P::component factor) {
    using T = typename P::component;
    if constexpr (std::is_same_v<T, float>) {
        return c * factor;
    } else {
        constexpr int64_t white = static_cast<int64_t>(P::white);
        return static_cast<T>(std::min<int64_t>(static_cast<int64_t>(c) * factor / white, white));
    }
}

// The weight is always within 0..1, so the truncating conversion is defined.
template <class P>
typename P::component weight_component(double w) {
    using T = typename P::component;
    if constexpr (std::is_same_v<T, float>) return static_cast<float>(w);
    else return static_cast<T>(w * static_cast<double>(P::white));
}

template <class P>
P pixel_or_transparent(const Layer<P>& layer, int64_t c, int64_t r) {
    if (layer.empty() || !layer.contains(c, r)) return P{};
    return layer.at(c, r);
}

template <class P>
P filled(typename P::component color, typename P::component alpha) {
    P p{};
    p.r() = p.g() = p.b() = color;
    p.a() = alpha;
    return p;
}

template <class Layer_T>
void weighted_row(const typename Kernel_Hsl_Selection<Layer_T>::Parameters_In& p, int64_t y) {
    using P = typename Layer_T::pixel;
    const auto evaluator = Highlight_Selection_Evaluator::prepare_for<P>(p.settings);
    const auto white = static_cast<typename P::component>(P::white);
    const int64_t frame_y = p.out.y + y;
    P* out = p.out.row(y);
    for (int64_t x = 0; x < p.out.width; ++x) {
        const int64_t frame_x = p.out.x + x;
        double w = 0.0;
        if (!p.selection.empty() && p.selection.contains(frame_x - p.selection.x, frame_y - p.selection.y)) {
            const P& judged = p.selection.at(frame_x - p.selection.x, frame_y - p.selection.y);
            w = evaluator.weight_of_layer_pixel(judged, p.selection.premultiplied);
        }
        const auto wc = weight_component<P>(w);
        if (p.settings.selection_only) {
            out[x] = filled<P>(wc, white);
            continue;
        }
        const P source = pixel_or_transparent(p.in, frame_x - p.in.x, frame_y - p.in.y);
        P result{};
        result.r() = scaled<P>(scaled<P>(source.r(), source.a()), wc);
        result.g() = scaled<P>(scaled<P>(source.g(), source.a()), wc);
        result.b() = scaled<P>(scaled<P>(source.b(), source.a()), wc);
        result.a() = white;
        out[x] = result;
    }
}

// With the selection off the preview is the input with every channel, alpha included, times alpha.
template <class Layer_T>
void unweighted_row(const typename Kernel_Hsl_Selection<Layer_T>::Parameters_In& p, int64_t y) {
    using P = typename Layer_T::pixel;
    const int64_t in_y = p.out.y + y - p.in.y;
    P* out = p.out.row(y);
    for (int64_t x = 0; x < p.out.width; ++x) {
        const P source = pixel_or_transparent(p.in, p.out.x + x - p.in.x, in_y);
        P result{};
        result.r() = scaled<P>(source.r(), source.a());
        result.g() = scaled<P>(source.g(), source.a());
        result.b() = scaled<P>(source.b(), source.a());
        result.a() = scaled<P>(source.a(), source.a());
        out[x] = result;
    }
}

template <class Layer_T>
void selection_row(const Iteration& iteration, Render_Context context,
                   typename Kernel_Hsl_Selection<Layer_T>::Parameters_In p) {
    using P = typename Layer_T::pixel;
    const int64_t y = iteration.index;
    if (p.settings.selection_enabled) {
        weighted_row<Layer_T>(p, y);
    } else if (p.settings.selection_only) {
        const auto white = static_cast<typename P::component>(P::white);
        std::fill_n(p.out.row(y), p.out.width, filled<P>(white, white));
    } else {
        unweighted_row<Layer_T>(p, y);
    }
    context.check_abort();
}

}  // namespace

template <class Layer_T>
int64_t Kernel_Hsl_Selection<Layer_T>::workload() const {
    // Every mode writes out; the weighted modes read the selection, the image modes read in.
    const int64_t passes = 1 + (in.settings.selection_enabled ? 1 : 0) + (in.settings.selection_only ? 0 : 1);
    return passes * in.out.height * in.out.row_bytes;
}

template <class Layer_T>
void Kernel_Hsl_Selection<Layer_T>::execute(Render_Context context) {
    if (in.out.empty()) return;
    launch(in.out.height, &selection_row<Layer_T>, context, in);
}

template class Kernel_Hsl_Selection<Layer<Pixel_Argb_8>>;
template class Kernel_Hsl_Selection<Layer<Pixel_Argb_16>>;
template class Kernel_Hsl_Selection<Layer<Pixel_Argb_32f>>;
template class Kernel_Hsl_Selection<Layer<Pixel_Bgra_8>>;
template class Kernel_Hsl_Selection<Layer<Pixel_Bgra_16>>;
template class Kernel_Hsl_Selection<Layer<Pixel_Bgra_32f>>;

}  // namespace nb
