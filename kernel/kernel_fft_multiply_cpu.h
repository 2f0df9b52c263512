// Spectrum times spectrum: multiplies a transformed buffer in place by another, bin by bin.
#pragma once

#include <cstdint>
#include <string>

#include "kernel/fft_image.h"
#include "util/kernel.h"
#include "util/layer.h"
#include "util/pixel/pixel.h"

namespace nb {

// io(k) *= factor(k) as complex numbers for every bin k (pixels 2k, 2k + 1) of every row, channel by
// channel; a gray factor multiplies every channel of io by its single channel. Both buffers are
// transformed buffers of equal size. Throws Exception_Assert unless io's N and M are transform
// lengths (fft_image.h) and the sizes match, and what abort throws.
template <class Layer_Io, class Layer_Factor>
class Kernel_FFT_Multiply : public Kernel_Implementation<Cpu_Pixel> {
public:
    struct Parameters_In {
        struct Image {
            Fft_Image<Layer_Io> io;
            Fft_Image<Layer_Factor> factor;
        } image;
    } in;

    std::string name() const override { return "fft multiply"; }
    int64_t workload() const override {
        return in.image.io.layer.height * in.image.io.layer.row_bytes +
               in.image.factor.layer.height * in.image.factor.layer.row_bytes;
    }

protected:
    void execute(Render_Context context) override;
};

extern template class Kernel_FFT_Multiply<Layer<Pixel_Argb_32f>, Layer<Pixel_Argb_32f>>;
extern template class Kernel_FFT_Multiply<Layer<Pixel_Argb_32f>, Layer<Pixel_Gray_32f>>;
extern template class Kernel_FFT_Multiply<Layer<Pixel_Bgra_32f>, Layer<Pixel_Bgra_32f>>;
extern template class Kernel_FFT_Multiply<Layer<Pixel_Bgra_32f>, Layer<Pixel_Gray_32f>>;
extern template class Kernel_FFT_Multiply<Layer<Pixel_Argb_32f_Extra>, Layer<Pixel_Argb_32f_Extra>>;
extern template class Kernel_FFT_Multiply<Layer<Pixel_Argb_32f_Extra>, Layer<Pixel_Gray_32f>>;
extern template class Kernel_FFT_Multiply<Layer<Pixel_Bgra_32f_Extra>, Layer<Pixel_Bgra_32f_Extra>>;
extern template class Kernel_FFT_Multiply<Layer<Pixel_Bgra_32f_Extra>, Layer<Pixel_Gray_32f>>;

}  // namespace nb
