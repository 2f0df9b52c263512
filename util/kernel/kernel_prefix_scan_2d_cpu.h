// Summed-area table of an image: the inclusive prefix sum along rows and, optionally, down columns.
#pragma once

#include <cstdint>
#include <string>

#include "util/kernel.h"
#include "util/layer.h"

namespace nb {

// In is a colour layer (8-bit, 16-bit or float); Out a float layer of the same channel order, or
// float gray. Table values keep the source's raw scale (an 8-bit white adds 255). A gray table sums
// (R + G + B) / 3 per pixel (integer division for 8 and 16 bits), alpha not included.
// Sums are accumulated in double and stored as float, so each entry is rounded once.
template <class In, class Out>
class Kernel_Prefix_Scan_2d : public Kernel_Implementation<Cpu_Pixel> {
public:
    struct Parameters_In {
        In in;
        Out out;  // same width and height as in; throws Exception_Assert otherwise
    } in;

    std::string name() const override { return "2d inclusive prefix sum scan"; }
    int64_t workload() const override;

protected:
    void execute(Render_Context context) override;
};

extern template class Kernel_Prefix_Scan_2d<Layer<Pixel_Argb_8>, Layer<Pixel_Argb_32f>>;
extern template class Kernel_Prefix_Scan_2d<Layer<Pixel_Argb_16>, Layer<Pixel_Argb_32f>>;
extern template class Kernel_Prefix_Scan_2d<Layer<Pixel_Argb_32f>, Layer<Pixel_Argb_32f>>;
extern template class Kernel_Prefix_Scan_2d<Layer<Pixel_Bgra_8>, Layer<Pixel_Bgra_32f>>;
extern template class Kernel_Prefix_Scan_2d<Layer<Pixel_Bgra_16>, Layer<Pixel_Bgra_32f>>;
extern template class Kernel_Prefix_Scan_2d<Layer<Pixel_Bgra_32f>, Layer<Pixel_Bgra_32f>>;
extern template class Kernel_Prefix_Scan_2d<Layer<Pixel_Argb_8>, Layer<Pixel_Gray_32f>>;
extern template class Kernel_Prefix_Scan_2d<Layer<Pixel_Argb_16>, Layer<Pixel_Gray_32f>>;
extern template class Kernel_Prefix_Scan_2d<Layer<Pixel_Argb_32f>, Layer<Pixel_Gray_32f>>;
extern template class Kernel_Prefix_Scan_2d<Layer<Pixel_Bgra_8>, Layer<Pixel_Gray_32f>>;
extern template class Kernel_Prefix_Scan_2d<Layer<Pixel_Bgra_16>, Layer<Pixel_Gray_32f>>;
extern template class Kernel_Prefix_Scan_2d<Layer<Pixel_Bgra_32f>, Layer<Pixel_Gray_32f>>;

}  // namespace nb
