// The gray round trip: colour to a unit-range gray float image and back at the layer's depth.
#include "effect/gray_in_place.h"

#include "util/kernel/kernel_copy_cpu.h"
#include "util/layer_buffer.h"

namespace nb {

template <class P>
void gray_in_place(const Render_Context& context, const Layer<P>& image) {
    // The gray image takes the layer's origin: copies line layers up by origin, so both copies then map
    // pixel (x, y) to pixel (x, y) and no column is lost to the zero outside.
    const Layer_Buffer buffer = allocate_layer_buffer<Pixel_Gray_32f>(context, image.width, image.height, true,
                                                                      image.x, image.y, 1.0f, 1.0f, 1.0f);
    const Layer<Pixel_Gray_32f> gray = buffer.layer<Pixel_Gray_32f>();

    Kernel_Copy<Layer<P>, Layer<Pixel_Gray_32f>> to_gray;
    to_gray.in.in = image;
    to_gray.in.out = gray;
    to_gray.in.scale = 1.0f / P::white;
    to_gray.run(context);

    Kernel_Copy<Layer<Pixel_Gray_32f>, Layer<P>> back;
    back.in.in = gray;
    back.in.out = image;
    back.in.scale = P::white;
    back.run(context);
}

template void gray_in_place<Pixel_Argb_8>(const Render_Context&, const Layer<Pixel_Argb_8>&);
template void gray_in_place<Pixel_Argb_16>(const Render_Context&, const Layer<Pixel_Argb_16>&);
template void gray_in_place<Pixel_Argb_32f>(const Render_Context&, const Layer<Pixel_Argb_32f>&);
template void gray_in_place<Pixel_Bgra_8>(const Render_Context&, const Layer<Pixel_Bgra_8>&);
template void gray_in_place<Pixel_Bgra_16>(const Render_Context&, const Layer<Pixel_Bgra_16>&);
template void gray_in_place<Pixel_Bgra_32f>(const Render_Context&, const Layer<Pixel_Bgra_32f>&);

}  // namespace nb
