// Builds the refraction map from the alpha channel of a distortion source.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "kernel/refraction_map.h"
#include "util/kernel.h"
#include "util/layer.h"
#include "util/memory.h"
#include "util/pixel/pixel.h"

namespace nb {

// The map has the size of in, is allocated through the render context's allocate_memory, and stays
// alive as long as map_storage (or a copy of it) is held. An empty in gives an empty map.
template <class Layer_T>
class Kernel_Refraction_Preperation : public Kernel_Implementation<Cpu_Pixel> {
public:
    struct Parameters_In {
        Layer_T in;                                  // only the alpha channel is read
        Refraction_Map map;                          // set by the kernel
        std::shared_ptr<Mapped_Memory> map_storage;  // set by the kernel; owns the map
    } in;

    std::string name() const override { return "refraction preperation"; }
    int64_t workload() const override { return in.in.height * in.in.row_bytes + in.map.width * in.map.height * 12; }

protected:
    void execute(Render_Context context) override;
};

extern template class Kernel_Refraction_Preperation<Layer<Pixel_Argb_8>>;
extern template class Kernel_Refraction_Preperation<Layer<Pixel_Argb_16>>;
extern template class Kernel_Refraction_Preperation<Layer<Pixel_Argb_32f>>;
extern template class Kernel_Refraction_Preperation<Layer<Pixel_Bgra_8>>;
extern template class Kernel_Refraction_Preperation<Layer<Pixel_Bgra_16>>;
extern template class Kernel_Refraction_Preperation<Layer<Pixel_Bgra_32f>>;

}  // namespace nb
