// Turns a layer gray in place through a float gray image: the iris preview of an uncoloured image iris.
#pragma once

#include "util/layer.h"
#include "util/pixel/pixel.h"
#include "util/render_context.h"

namespace nb {

// Every pixel becomes R = G = B = the mean of its colour, rounded to the layer's depth, with full alpha.
// Allocates one gray float image of the layer's size for the time of the call. Throws what the copies
// throw (Exception_Abort, allocation failure).
template <class P>
void gray_in_place(const Render_Context& context, const Layer<P>& image);

extern template void gray_in_place<Pixel_Argb_8>(const Render_Context&, const Layer<Pixel_Argb_8>&);
extern template void gray_in_place<Pixel_Argb_16>(const Render_Context&, const Layer<Pixel_Argb_16>&);
extern template void gray_in_place<Pixel_Argb_32f>(const Render_Context&, const Layer<Pixel_Argb_32f>&);
extern template void gray_in_place<Pixel_Bgra_8>(const Render_Context&, const Layer<Pixel_Bgra_8>&);
extern template void gray_in_place<Pixel_Bgra_16>(const Render_Context&, const Layer<Pixel_Bgra_16>&);
extern template void gray_in_place<Pixel_Bgra_32f>(const Render_Context&, const Layer<Pixel_Bgra_32f>&);

}  // namespace nb
