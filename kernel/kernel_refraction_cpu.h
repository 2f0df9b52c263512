// Shows a background through the transparent parts of an image, bent along the refraction map.
#pragma once

#include <cstdint>
#include <string>

#include "kernel/refraction_map.h"
#include "util/kernel.h"
#include "util/layer.h"
#include "util/outside.h"
#include "util/pixel/pixel.h"

namespace nb {

// Every pixel of out that is not fully opaque is composited over background pixels fetched from
// positions displaced along the map, averaged over n x n sub-samples. Opaque pixels are never touched.
// out and map are aligned pixel for pixel; a map of another size continues by the background's edge
// rules (the colour rule acting as the border rule). An empty map displaces nothing; an empty
// background leaves out unchanged. Rows of out are rewritten in parallel; background and map are read.
template <class Layer_T>
class Kernel_Refraction : public Kernel_Implementation<Cpu_Pixel> {
public:
    struct Parameters_In {
        Layer_T out;         // read and rewritten in place
        Layer_T background;  // lined up with out by the frame origins
        Refraction_Map map;
        float strength = 0.0f;  // displacement in full-resolution pixels: strength * 0.255 * map alpha
        int32_t antialias = 0;  // n - 1 for n x n sub-samples per pixel; below 0 counts as 0
        Outside outside_horizontal = Outside::border;  // background edge rules
        Outside outside_vertical = Outside::border;
        Rgba_F outside_color;  // white 1.0 for every pixel depth; background beyond its edges under Outside::color
    } in;

    std::string name() const override { return "refraction"; }
    int64_t workload() const override {
        return 2 * (in.out.height * in.out.row_bytes + in.map.width * in.map.height * 6);
    }

protected:
    void execute(Render_Context context) override;
};

extern template class Kernel_Refraction<Layer<Pixel_Argb_8>>;
extern template class Kernel_Refraction<Layer<Pixel_Argb_16>>;
extern template class Kernel_Refraction<Layer<Pixel_Argb_32f>>;
extern template class Kernel_Refraction<Layer<Pixel_Bgra_8>>;
extern template class Kernel_Refraction<Layer<Pixel_Bgra_16>>;
extern template class Kernel_Refraction<Layer<Pixel_Bgra_32f>>;

}  // namespace nb
