// Two-dimensional real-to-complex transform of a transform buffer, and its inverse, in place.
#pragma once

#include <cstdint>
#include <string>

#include "kernel/fft_image.h"
#include "kernel/fft_passes_cpu.h"
#include "util/kernel.h"
#include "util/layer.h"
#include "util/pixel/pixel.h"

namespace nb {

// Bytes of each of the threads + 1 rows of host memory a transform of an N + 2 by M buffer of pixels with
// channels floats (1, 4 or 5) borrows while it runs: the shared tables, then one row per thread.
int64_t fft_scratch_row_bytes(int channels, int64_t n, int64_t m);

// Writes the signal into the buffer a block of rows at a time, just before the forward row pass reads
// them: the rows are still in the cache, and the signal costs no pass of its own over memory.
struct Fft_Row_Source {
    const void* state = nullptr;
    // Pixels 0 .. N - 1 of buffer row y; any worker thread.
    void (*fill)(const void* state, int64_t y) = nullptr;
    // When not null: only rows first .. end - 1 are filled; every other row y repeats row same(state, y)
    // among them, whose transform it takes instead of having its own computed.
    int64_t (*same)(const void* state, int64_t y) = nullptr;
    int64_t first = 0;
    int64_t end = 0;
    // On the calling thread after the row pass: true when the source has changed its mind, so that every
    // row, repeating or not, is filled and transformed once more before the column pass.
    bool (*again)(const void* state, const Render_Context& context) = nullptr;
};

// A spectrum the forward transform multiplies its own by (bin by bin as complex numbers, channel by
// channel; one channel multiplies every channel), a transformed buffer of the same size, and the rows
// first .. end - 1 the reverse transform's sink will take.
struct Fft_Product {
    Fft_Factor factor;
    Fft_Dim dim;
    int64_t first = 0;
    int64_t end = 0;
};

template <class Layer_F>
Fft_Product fft_product(const Layer_F& factor, int64_t first, int64_t end) {
    static_assert(sizeof(typename Layer_F::pixel) == Layer_F::pixel::channels * sizeof(float));
    return {{reinterpret_cast<const float*>(factor.data), factor.row_bytes, Layer_F::pixel::channels},
            {factor.width, factor.height},
            first,
            end};
}

// Forward transform X[k, l] = sum x[j, y] e^(+2 pi i (j k / N + y l / M)) of the N + 2 by M buffer
// (layout in Fft_Image). Every channel of a pixel is transformed independently. The padding pixels
// N and N + 1 are not read. A source (fill not null) writes the signal as the row pass goes. Throws
// Exception_Assert unless N is 1 or even and N/2 and M are of the form 2^a 3^b 5^c, and whatever
// allocation and abort throw. With a product (factor.data not null) the column pass multiplies the
// spectrum by the factor and transforms the columns back at once: the buffer is left as
// Kernel_FFT_Reverse's column pass would leave the product, for a reverse transform with
// columns_done. Throws Exception_Assert unless the factor has 1 or C channels and the buffer's size.
template <class Layer_T>
class Kernel_FFT_Forward : public Kernel_Implementation<Cpu_Pixel> {
public:
    struct Parameters_In {
        struct Image {
            Fft_Image<Layer_T> io;
        } image;
        Fft_Row_Source source;
        Fft_Product product;
    } in;

    std::string name() const override {
        return std::string(in.source.fill ? "fft - forward, copy in" : "fft - forward") +
               (in.product.factor.data ? ", product" : "");
    }
    int64_t workload() const override {
        const int64_t factor = in.product.factor.data ? in.product.dim.height * in.product.factor.row_bytes : 0;
        return 4 * in.image.io.layer.height * in.image.io.layer.row_bytes + factor;
    }

protected:
    void execute(Render_Context context) override;
};

// Inverse of Kernel_FFT_Forward without normalisation: a round trip multiplies pixels 0 .. N - 1
// of every row by (N / 2) * M. The rows go to the sink; blocks of rows it does not take are not
// row-transformed at all, and the buffer is left holding intermediate values. Throws
// Exception_Assert without a sink or when its rows lie beyond the buffer's. With columns_done the
// buffer comes from a forward transform with a product for the same rows, and only the rows are
// transformed.
template <class Layer_T>
class Kernel_FFT_Reverse : public Kernel_Implementation<Cpu_Pixel> {
public:
    struct Parameters_In {
        struct Image {
            Fft_Image<Layer_T> io;
        } image;
        Fft_Row_Sink sink;
        bool columns_done = false;
    } in;

    std::string name() const override { return "fft - reverse, copy out"; }
    int64_t workload() const override {
        return (in.columns_done ? 2 : 4) * in.image.io.layer.height * in.image.io.layer.row_bytes;
    }

protected:
    void execute(Render_Context context) override;
};

extern template class Kernel_FFT_Forward<Layer<Pixel_Gray_32f>>;
extern template class Kernel_FFT_Forward<Layer<Pixel_Argb_32f>>;
extern template class Kernel_FFT_Forward<Layer<Pixel_Bgra_32f>>;
extern template class Kernel_FFT_Forward<Layer<Pixel_Argb_32f_Extra>>;
extern template class Kernel_FFT_Forward<Layer<Pixel_Bgra_32f_Extra>>;

extern template class Kernel_FFT_Reverse<Layer<Pixel_Argb_32f>>;
extern template class Kernel_FFT_Reverse<Layer<Pixel_Bgra_32f>>;
extern template class Kernel_FFT_Reverse<Layer<Pixel_Argb_32f_Extra>>;
extern template class Kernel_FFT_Reverse<Layer<Pixel_Bgra_32f_Extra>>;

}  // namespace nb
