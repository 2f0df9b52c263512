// The defocus kernel: convolves the source with the iris in the frequency domain.
#pragma once

#include <cstdint>
#include <string>

#include "kernel/kernel_blurmond_in.h"
#include "util/kernel.h"
#include "util/layer.h"
#include "util/pixel/pixel.h"

namespace nb {

// Draws the iris, shifts it into transform position and transforms it; transforms the source grown by
// margins that hold the iris's extent (edge rules, linear light, highlight boost), converted as the
// transform reads its rows, multiplies, transforms back and converts the normalised rows into out as
// the transform leaves them. A radius of exactly 0 is a plain copy. The iris is gray unless
// colored_iris is set and an alternative iris is given; the highlight weight travels as a fifth
// channel only while the preservative highlight is in use. Results do not depend on the thread
// count. Throws what the sub-kernels throw: Exception_Abort, allocation failures.
template <class Layer_T>
class Kernel_Blurmond : public Kernel_Implementation<Cpu_Pixel> {
public:
    using Parameters_In = Kernel_Blurmond_In<Layer_T>;
    Parameters_In in;

    std::string name() const override { return "blurmond"; }
    int64_t workload() const override { return 0; }  // the transforms record their own

protected:
    void execute(Render_Context context) override;

private:
    template <class Drawn_P, class Iris_P, class Buffer_P>
    void convolve(const Render_Context& context);
    void copy(const Render_Context& context);

    bool iris_non_negative_ = true;  // no negative value in the alternative iris
};

extern template class Kernel_Blurmond<Layer<Pixel_Argb_8>>;
extern template class Kernel_Blurmond<Layer<Pixel_Argb_16>>;
extern template class Kernel_Blurmond<Layer<Pixel_Argb_32f>>;
extern template class Kernel_Blurmond<Layer<Pixel_Bgra_8>>;
extern template class Kernel_Blurmond<Layer<Pixel_Bgra_16>>;
extern template class Kernel_Blurmond<Layer<Pixel_Bgra_32f>>;

}  // namespace nb
