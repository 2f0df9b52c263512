// Separable tent blur of fractional radius; the cost per pixel does not depend on the radius.
#pragma once

#include <cstdint>
#include <string>

#include "util/kernel.h"
#include "util/layer.h"

namespace nb {

// Tent of radius r = n + f (n whole): tap k weighs r + 0.5 - |k| for |k| <= n and f / 2 at
// |k| = n + 1, normalised by the sum n^2 + n + 0.5 + (2n + 2) f. Radius 0 is the identity.
// Rows and columns are continued mirrored, as the iris softening (the only caller) wants. Running sums make every pass a fixed number of operations per pixel,
// and their start values are folded in closed form, so even radii far beyond the image cost the
// same. 8- and 16-bit passes round their results, the intermediate image too. Channels are blurred
// as stored, so colour is weighted by alpha only in premultiplied layers (the iris drawing's).
template <class Layer_T>
class Kernel_Triangle_Blur : public Kernel_Implementation<Cpu_Pixel> {
public:
    struct Parameters_In {
        Layer_T in;
        Layer_T out;   // same size as in; may be the same layer as in
        float radius_x = 0.0f;  // full-resolution pixels; scaled by out's resolution factors
        float radius_y = 0.0f;  // negative or NaN radii count as 0
    } in;

    std::string name() const override { return "triangle blur"; }
    int64_t workload() const override { return in.in.height * in.in.row_bytes * 12; }

protected:
    // Throws Exception_Assert when out differs in size from in.
    void execute(Render_Context context) override;
};

extern template class Kernel_Triangle_Blur<Layer<Pixel_Gray_32f>>;
extern template class Kernel_Triangle_Blur<Layer<Pixel_Argb_8>>;
extern template class Kernel_Triangle_Blur<Layer<Pixel_Argb_16>>;
extern template class Kernel_Triangle_Blur<Layer<Pixel_Argb_32f>>;
extern template class Kernel_Triangle_Blur<Layer<Pixel_Bgra_8>>;
extern template class Kernel_Triangle_Blur<Layer<Pixel_Bgra_16>>;
extern template class Kernel_Triangle_Blur<Layer<Pixel_Bgra_32f>>;

}  // namespace nb
