// Makes a layer opaque in place: the image composited over black, in the layer's own alpha convention.
#pragma once

#include <cstdint>
#include <string>

#include "util/kernel.h"
#include "util/layer.h"

namespace nb {

// Straight-alpha layers have their colour multiplied by alpha first; every alpha becomes full.
template <class Layer_T>
class Kernel_Make_Solid : public Kernel_Implementation<Cpu_Pixel> {
public:
    struct Parameters_In {
        Layer_T image;  // changed in place
    } in;

    std::string name() const override { return "make solid"; }
    int64_t workload() const override { return 2 * in.image.height * in.image.row_bytes; }

protected:
    void execute(Render_Context context) override;
};

extern template class Kernel_Make_Solid<Layer<Pixel_Argb_8>>;
extern template class Kernel_Make_Solid<Layer<Pixel_Argb_16>>;
extern template class Kernel_Make_Solid<Layer<Pixel_Argb_32f>>;
extern template class Kernel_Make_Solid<Layer<Pixel_Bgra_8>>;
extern template class Kernel_Make_Solid<Layer<Pixel_Bgra_16>>;
extern template class Kernel_Make_Solid<Layer<Pixel_Bgra_32f>>;

}  // namespace nb
