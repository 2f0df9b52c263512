// Copies one layer into another with an offset, a gain and a conversion between depths, orders and gray.
#pragma once

#include <cstdint>
#include <string>

#include "util/kernel.h"
#include "util/layer.h"

namespace nb {

// Parameter record of Kernel_Copy<In, Out>; In and Out are Layer types.
template <class In, class Out>
struct Kernel_Copy_In {
    In in;
    Out out;
    // Gain on every channel after conversion, so also the change of channel range (255: unit float
    // to 8-bit). Alpha is not scaled in a gray to RGB copy, which writes full alpha.
    float scale = 1.0f;
};

// Output pixel (x, y) reads in at (out.x + x - in.x, out.y + y - in.y); where that lies outside in, it
// is zero (transparent black).
// RGB to RGB keeps raw channel values; RGB to gray is (R + G + B) / 3 (integer division for 8 and
// 16 bits), alpha dropped; gray to RGB sets R = G = B. Integer destinations round half up and clamp.
template <class In, class Out>
class Kernel_Copy : public Kernel_Implementation<Cpu_Pixel> {
public:
    using Parameters_In = Kernel_Copy_In<In, Out>;
    Parameters_In in;

    std::string name() const override { return "Copy"; }
    int64_t workload() const override;

protected:
    void execute(Render_Context context) override;
};

extern template class Kernel_Copy<Layer<Pixel_Argb_8>, Layer<Pixel_Argb_8>>;
extern template class Kernel_Copy<Layer<Pixel_Argb_16>, Layer<Pixel_Argb_16>>;
extern template class Kernel_Copy<Layer<Pixel_Argb_32f>, Layer<Pixel_Argb_32f>>;
extern template class Kernel_Copy<Layer<Pixel_Bgra_8>, Layer<Pixel_Bgra_8>>;
extern template class Kernel_Copy<Layer<Pixel_Bgra_16>, Layer<Pixel_Bgra_16>>;
extern template class Kernel_Copy<Layer<Pixel_Bgra_32f>, Layer<Pixel_Bgra_32f>>;
extern template class Kernel_Copy<Layer<Pixel_Argb_8>, Layer<Pixel_Gray_32f>>;
extern template class Kernel_Copy<Layer<Pixel_Argb_16>, Layer<Pixel_Gray_32f>>;
extern template class Kernel_Copy<Layer<Pixel_Argb_32f>, Layer<Pixel_Gray_32f>>;
extern template class Kernel_Copy<Layer<Pixel_Bgra_8>, Layer<Pixel_Gray_32f>>;
extern template class Kernel_Copy<Layer<Pixel_Bgra_16>, Layer<Pixel_Gray_32f>>;
extern template class Kernel_Copy<Layer<Pixel_Bgra_32f>, Layer<Pixel_Gray_32f>>;
extern template class Kernel_Copy<Layer<Pixel_Gray_32f>, Layer<Pixel_Argb_8>>;
extern template class Kernel_Copy<Layer<Pixel_Gray_32f>, Layer<Pixel_Argb_16>>;
extern template class Kernel_Copy<Layer<Pixel_Gray_32f>, Layer<Pixel_Argb_32f>>;
extern template class Kernel_Copy<Layer<Pixel_Gray_32f>, Layer<Pixel_Bgra_8>>;
extern template class Kernel_Copy<Layer<Pixel_Gray_32f>, Layer<Pixel_Bgra_16>>;
extern template class Kernel_Copy<Layer<Pixel_Gray_32f>, Layer<Pixel_Bgra_32f>>;

}  // namespace nb
