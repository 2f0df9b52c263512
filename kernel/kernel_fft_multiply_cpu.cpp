// Row tasks of the spectrum product: complex multiplication bin by bin, channel by channel.
#include "kernel/kernel_fft_multiply_cpu.h"

#include "base/exception.h"

namespace nb {

namespace {

template <class Layer_Io, class Layer_Factor>
struct Multiply_Record {
    Layer_Io io;
    Layer_Factor factor;
};

template <class Layer_Io, class Layer_Factor>
void multiply_row(const Iteration& iteration, const Render_Context& context,
                  const Multiply_Record<Layer_Io, Layer_Factor>& record) {
    using P = typename Layer_Io::pixel;
    using Q = typename Layer_Factor::pixel;
    constexpr int C = P::channels;
    P* io_row = record.io.row(iteration.index);
    const Q* factor_row = record.factor.row(iteration.index);
    const int64_t bins = record.io.width / 2;
    for (int64_t k = 0; k < bins; ++k) {
        P& re = io_row[2 * k];
        P& im = io_row[2 * k + 1];
        const Q& c = factor_row[2 * k];
        const Q& d = factor_row[2 * k + 1];
        for (int ch = 0; ch < C; ++ch) {
            const int f = Q::channels == 1 ? 0 : ch;
            const float a = re.c[ch], b = im.c[ch];
            re.c[ch] = a * c.c[f] - b * d.c[f];
            im.c[ch] = a * d.c[f] + b * c.c[f];
        }
    }
    context.check_abort();
}

}  // namespace

template <class Layer_Io, class Layer_Factor>
void Kernel_FFT_Multiply<Layer_Io, Layer_Factor>::execute(Render_Context context) {
    static_assert(Layer_Factor::pixel::channels == 1 ||
                  Layer_Factor::pixel::channels == Layer_Io::pixel::channels);
    ASSERT(is_fft_row_length(in.image.io.width() - 2));
    ASSERT(is_fft_length(in.image.io.height()));
    ASSERT(in.image.io.dim() == in.image.factor.dim());
    const Multiply_Record<Layer_Io, Layer_Factor> record{in.image.io.layer, in.image.factor.layer};
    launch(in.image.io.height(), multiply_row<Layer_Io, Layer_Factor>, context, record);
}

template class Kernel_FFT_Multiply<Layer<Pixel_Argb_32f>, Layer<Pixel_Argb_32f>>;
template class Kernel_FFT_Multiply<Layer<Pixel_Argb_32f>, Layer<Pixel_Gray_32f>>;
template class Kernel_FFT_Multiply<Layer<Pixel_Bgra_32f>, Layer<Pixel_Bgra_32f>>;
template class Kernel_FFT_Multiply<Layer<Pixel_Bgra_32f>, Layer<Pixel_Gray_32f>>;
template class Kernel_FFT_Multiply<Layer<Pixel_Argb_32f_Extra>, Layer<Pixel_Argb_32f_Extra>>;
template class Kernel_FFT_Multiply<Layer<Pixel_Argb_32f_Extra>, Layer<Pixel_Gray_32f>>;
template class Kernel_FFT_Multiply<Layer<Pixel_Bgra_32f_Extra>, Layer<Pixel_Bgra_32f_Extra>>;
template class Kernel_FFT_Multiply<Layer<Pixel_Bgra_32f_Extra>, Layer<Pixel_Gray_32f>>;

}  // namespace nb
