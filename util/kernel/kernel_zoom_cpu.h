// Resamples an image to another scale by averaging the source area each output pixel covers.
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>

#include "util/kernel.h"
#include "util/layer.h"
#include "util/outside.h"

namespace nb {

// Pixel of the summed-area table a zoom into a layer of P reads: float gray for a gray
// destination, otherwise float colour in P's channel order.
template <class P>
using Sum_Table_Pixel = std::conditional_t<P::is_gray, Pixel_Gray_32f, Pixel_Rgb_Aos<typename P::layout, float, 1, 0, 1>>;

// The centre of out maps to the centre of the source; layer origins play no part. Output pixel x
// covers source columns from (x - 0.5 - W/2) * zoom_x + Sw/2 to (x + 0.5 - W/2) * zoom_x + Sw/2
// (pixel centres at integers), widened by one pixel of linear interpolation, and likewise
// vertically. Areas come from a summed-area table, so the cost per output pixel is the same for
// every zoom factor and for windows that reach any distance outside the source. The divisor counts
// the whole window, outside parts included. The table is float, so areas of large images lose
// low-order bits; the four corner samples of each window are read from `in` when it is given,
// which keeps magnified images exact, and from the table otherwise.
template <class In, class Out>
class Kernel_Zoom : public Kernel_Implementation<Cpu_Pixel> {
public:
    using Table = Layer<Sum_Table_Pixel<typename Out::pixel>>;

    struct Parameters_In {
        In in;  // source; may be empty when a table is given
        Out out;
        // Prepared table of in (Kernel_Prefix_Scan_2d), or empty to build one from in. When
        // both are given they must have the same size.
        Table sum_table;
        float zoom_x = 1.0f;  // source pixels per destination pixel; finite
        float zoom_y = 1.0f;
        // border, mirrored and repeated continue the source; any other value reads zero outside.
        Outside outside_horizontal = Outside::border;
        Outside outside_vertical = Outside::border;
    } in;

    std::string name() const override { return "Zoom"; }
    int64_t workload() const override;

protected:
    // Throws Exception_Assert when neither in nor sum_table holds pixels, or when a window would
    // reach further than 2^52 pixels (a zoom factor no image can use).
    void execute(Render_Context context) override;
};

extern template class Kernel_Zoom<Layer<Pixel_Argb_8>, Layer<Pixel_Argb_8>>;
extern template class Kernel_Zoom<Layer<Pixel_Argb_8>, Layer<Pixel_Argb_32f>>;
extern template class Kernel_Zoom<Layer<Pixel_Argb_8>, Layer<Pixel_Gray_32f>>;
extern template class Kernel_Zoom<Layer<Pixel_Argb_16>, Layer<Pixel_Argb_16>>;
extern template class Kernel_Zoom<Layer<Pixel_Argb_16>, Layer<Pixel_Argb_32f>>;
extern template class Kernel_Zoom<Layer<Pixel_Argb_16>, Layer<Pixel_Gray_32f>>;
extern template class Kernel_Zoom<Layer<Pixel_Argb_32f>, Layer<Pixel_Argb_32f>>;
extern template class Kernel_Zoom<Layer<Pixel_Argb_32f>, Layer<Pixel_Gray_32f>>;
extern template class Kernel_Zoom<Layer<Pixel_Bgra_8>, Layer<Pixel_Bgra_8>>;
extern template class Kernel_Zoom<Layer<Pixel_Bgra_8>, Layer<Pixel_Bgra_32f>>;
extern template class Kernel_Zoom<Layer<Pixel_Bgra_8>, Layer<Pixel_Gray_32f>>;
extern template class Kernel_Zoom<Layer<Pixel_Bgra_16>, Layer<Pixel_Bgra_16>>;
extern template class Kernel_Zoom<Layer<Pixel_Bgra_16>, Layer<Pixel_Bgra_32f>>;
extern template class Kernel_Zoom<Layer<Pixel_Bgra_16>, Layer<Pixel_Gray_32f>>;
extern template class Kernel_Zoom<Layer<Pixel_Bgra_32f>, Layer<Pixel_Bgra_32f>>;
extern template class Kernel_Zoom<Layer<Pixel_Bgra_32f>, Layer<Pixel_Gray_32f>>;

}  // namespace nb
