// Preview of the highlight selection: the weighted image, or the weight alone, as an opaque image.
#pragma once

#include <cstdint>
#include <string>

#include "kernel/highlight_selection_settings.h"
#include "util/kernel.h"
#include "util/layer.h"
#include "util/pixel/pixel.h"

namespace nb {

// Layers are lined up by their frame origins. Positions of out that fall outside in read as
// transparent black; outside selection the weight is 0. Rows of out are written in parallel;
// in and selection are only read and may be the same layer, but none may overlap out.
template <class Layer_T>
class Kernel_Hsl_Selection : public Kernel_Implementation<Cpu_Pixel> {
public:
    struct Parameters_In {
        Layer_T in;         // the image shown weighted
        Layer_T out;        // written, every pixel opaque except when the selection is off
        Layer_T selection;  // the image whose colours are judged
        Highlight_Selection_Settings settings;
    } in;

    std::string name() const override { return "hsl selection"; }
    int64_t workload() const override;

protected:
    void execute(Render_Context context) override;
};

extern template class Kernel_Hsl_Selection<Layer<Pixel_Argb_8>>;
extern template class Kernel_Hsl_Selection<Layer<Pixel_Argb_16>>;
extern template class Kernel_Hsl_Selection<Layer<Pixel_Argb_32f>>;
extern template class Kernel_Hsl_Selection<Layer<Pixel_Bgra_8>>;
extern template class Kernel_Hsl_Selection<Layer<Pixel_Bgra_16>>;
extern template class Kernel_Hsl_Selection<Layer<Pixel_Bgra_32f>>;

}  // namespace nb
