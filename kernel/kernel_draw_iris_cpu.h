// Draws the iris, the shape every defocused point takes, centred in a layer: from blades or from an image.
#pragma once

#include <cstdint>
#include <string>

#include "util/kernel.h"
#include "util/layer.h"

namespace nb {

struct LensInformation;

// Either rasterises the blade polygon (rounded blades, rotation, aspect, optional brighter or darker
// border, one-pixel anti-aliased edge) or, when an alternative iris image is given, scales that image
// so its shorter side spans 2·radius + 1 full-resolution pixels; then optionally softens the result.
// Every pixel of out is written: float colour layers get alpha 1 and R = G = B = value, 8- and
// 16-bit layers alpha white and the value truncated. Throws what its sub-kernels throw (abort,
// allocation failure) and Exception_Assert for an iris too large to index.
template <class Out_Layer, class Iris_Layer = Out_Layer>
class Kernel_Draw_Iris : public Kernel_Implementation<Cpu_Pixel> {
public:
    struct Parameters_In {
        Out_Layer out;                   // its resolution factors and pixel aspect shape the iris
        Iris_Layer iris;                 // alternative iris image; empty: draw the blades
        float radius = 0.0f;             // full-resolution pixels; negative or non-finite draws nothing
        float rounded = 0.0f;            // blade bulge 0..1; above 0.999 acts as 0.999
        float border_thickness = 0.0f;   // border width as a fraction of the radius
        float border_brightness = 0.0f;  // relative border brightness; 0: no border
        float aspect = 0.0f;             // 0 round, positive wider, negative taller
        float angle = 0.0f;              // rotation, radians
        int32_t facets = 0;              // blades; above 1000 act as 1000, below 1 draw a circle
        float soften = 0.0f;             // triangle blur radius afterwards, full-resolution pixels
    } in;

    std::string name() const override { return "draw iris"; }
    int64_t workload() const override { return 0; }

protected:
    void execute(Render_Context context) override;

private:
    void draw_blades(const Render_Context& context, const LensInformation& lens);
    void draw_alternative(const Render_Context& context);
    void soften(const Render_Context& context);
};

extern template class Kernel_Draw_Iris<Layer<Pixel_Gray_32f>, Layer<Pixel_Argb_8>>;
extern template class Kernel_Draw_Iris<Layer<Pixel_Gray_32f>, Layer<Pixel_Argb_16>>;
extern template class Kernel_Draw_Iris<Layer<Pixel_Gray_32f>, Layer<Pixel_Argb_32f>>;
extern template class Kernel_Draw_Iris<Layer<Pixel_Gray_32f>, Layer<Pixel_Bgra_8>>;
extern template class Kernel_Draw_Iris<Layer<Pixel_Gray_32f>, Layer<Pixel_Bgra_16>>;
extern template class Kernel_Draw_Iris<Layer<Pixel_Gray_32f>, Layer<Pixel_Bgra_32f>>;
extern template class Kernel_Draw_Iris<Layer<Pixel_Argb_32f>, Layer<Pixel_Argb_8>>;
extern template class Kernel_Draw_Iris<Layer<Pixel_Argb_32f>, Layer<Pixel_Argb_16>>;
extern template class Kernel_Draw_Iris<Layer<Pixel_Argb_32f>, Layer<Pixel_Argb_32f>>;
extern template class Kernel_Draw_Iris<Layer<Pixel_Bgra_32f>, Layer<Pixel_Bgra_8>>;
extern template class Kernel_Draw_Iris<Layer<Pixel_Bgra_32f>, Layer<Pixel_Bgra_16>>;
extern template class Kernel_Draw_Iris<Layer<Pixel_Bgra_32f>, Layer<Pixel_Bgra_32f>>;
extern template class Kernel_Draw_Iris<Layer<Pixel_Argb_8>, Layer<Pixel_Argb_8>>;
extern template class Kernel_Draw_Iris<Layer<Pixel_Bgra_8>, Layer<Pixel_Bgra_8>>;
extern template class Kernel_Draw_Iris<Layer<Pixel_Argb_16>, Layer<Pixel_Argb_16>>;
extern template class Kernel_Draw_Iris<Layer<Pixel_Bgra_16>, Layer<Pixel_Bgra_16>>;

}  // namespace nb
