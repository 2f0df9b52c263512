// Moves the drawn iris into transform position (centre to pixel (0, 0), cyclically) and sums it.
#pragma once

#include <cstdint>
#include <string>

#include "util/kernel.h"
#include "util/layer.h"
#include "util/pixel/pixel.h"

namespace nb {

// Fills the signal columns 0 .. out.width - 3 of the transform buffer out with in, read cyclically
// so that the source pixel (shift_x, shift_y) lands on (0, 0); the two padding columns are set to 0.
// With gamma the colour channels (not alpha) go to linear light. Into a pixel with an extra channel,
// that channel receives (R + G + B) / 3 of the source, taken before the gamma step.
// The run leaves the per-channel sums of the signal columns in out.sums, summed per row and then
// over the rows in row order, so the sums do not depend on the thread count. Both layers are the
// defocus's own non-empty buffers, so their origins play no part.
template <class Layer_In, class Layer_Out>
class Kernel_Shift_Iris : public Kernel_Implementation<Cpu_Pixel> {
public:
    struct Parameters_In {
        Layer_In in;
        Layer_Out out;
        int64_t shift_x = 0;
        int64_t shift_y = 0;
        bool gamma = false;
    } in;

    struct Parameters_Out {
        float sums[Layer_Out::pixel::channels] = {};  // in out's channel order
    } out;

    std::string name() const override { return "Shift Iris"; }
    int64_t workload() const override;

protected:
    void execute(Render_Context context) override;
};

extern template class Kernel_Shift_Iris<Layer<Pixel_Gray_32f>, Layer<Pixel_Gray_32f>>;
extern template class Kernel_Shift_Iris<Layer<Pixel_Argb_32f>, Layer<Pixel_Argb_32f>>;
extern template class Kernel_Shift_Iris<Layer<Pixel_Bgra_32f>, Layer<Pixel_Bgra_32f>>;
extern template class Kernel_Shift_Iris<Layer<Pixel_Argb_32f>, Layer<Pixel_Argb_32f_Extra>>;
extern template class Kernel_Shift_Iris<Layer<Pixel_Bgra_32f>, Layer<Pixel_Bgra_32f_Extra>>;

}  // namespace nb
