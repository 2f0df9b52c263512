// The defocus kernel's conversions: source rows into the transform buffer, transformed rows into the output.
#pragma once

#include <cstdint>

#include "kernel/blurmond_highlights.h"
#include "kernel/float4.h"
#include "kernel/kernel_blurmond_in.h"
#include "kernel/kernel_fft_cpu.h"
#include "util/kernel.h"
#include "util/layer.h"
#include "util/pixel/pixel.h"

namespace nb {

// Row tasks run inside the transform's row passes: the source converted into the buffer just before the
// forward pass reads a row, the output converted from the reverse pass's rows as it leaves them. Buffer_P
// is float RGB+alpha in the frame's channel order, with the highlight weight as its extra channel in the
// weighted modes. Each task writes only its own row.
template <class Layer_T, class Buffer_P>
struct Blurmond_Copy {
    Kernel_Blurmond_In<Layer_T> settings;
    Layer<Buffer_P> buffer;
    // Copy back: per buffer channel, 1 / (transform gain * iris sum), or 0 where the sum is 0.
    float normalisation[Buffer_P::channels] = {};
    Blurmond_Highlights* highlights = nullptr;  // the run's census and splats; shared, never null
    int64_t most_splats = 1;                    // the census's bound on the highlights split off
    // Copy back, per r, g, b, a: 0 where image and iris hold no negative value, so that rounding cannot
    // take a convolution of non-negative data below 0; otherwise -infinity.
    Float4 floor{};

    // The forward transform's source: every buffer row filled with the source continued by the edge
    // rules (or the outside colour), premultiplied, non-finite channels as 0, optionally in linear light,
    // highlights boosted; unboosted margin rows that repeat an image row take its transform. When the
    // census finds values beyond the highlights' threshold, every row is filled once more with those
    // values clamped and collected as splats, at most about most_splats.
    Fft_Row_Source source() const;
    // The reverse transform's sink: the output rows that lie on the buffer, normalised, the highlights'
    // splats added, held at floor, weight divided out, back to the curve and the output's alpha
    // convention, converted (float within its finite range). Columns beyond the buffer's signal read
    // transparent black.
    Fft_Row_Sink sink() const;
    // The output rows beyond the buffer's, above it first, which read transparent black throughout.
    int64_t outside_rows() const;
    static void outside_row(const Iteration& iteration, const Render_Context& context, const Blurmond_Copy& copy);

private:
    static void to_buffer_row(const void* state, int64_t r);
    static int64_t same_row(const void* state, int64_t y);
    static bool census(const void* state, const Render_Context& context);
    static void take_row(const void* state, int64_t y, const Fft_Scratch_Row& row, int64_t thread);
};

extern template struct Blurmond_Copy<Layer<Pixel_Argb_8>, Pixel_Argb_32f>;
extern template struct Blurmond_Copy<Layer<Pixel_Argb_8>, Pixel_Argb_32f_Extra>;
extern template struct Blurmond_Copy<Layer<Pixel_Argb_16>, Pixel_Argb_32f>;
extern template struct Blurmond_Copy<Layer<Pixel_Argb_16>, Pixel_Argb_32f_Extra>;
extern template struct Blurmond_Copy<Layer<Pixel_Argb_32f>, Pixel_Argb_32f>;
extern template struct Blurmond_Copy<Layer<Pixel_Argb_32f>, Pixel_Argb_32f_Extra>;
extern template struct Blurmond_Copy<Layer<Pixel_Bgra_8>, Pixel_Bgra_32f>;
extern template struct Blurmond_Copy<Layer<Pixel_Bgra_8>, Pixel_Bgra_32f_Extra>;
extern template struct Blurmond_Copy<Layer<Pixel_Bgra_16>, Pixel_Bgra_32f>;
extern template struct Blurmond_Copy<Layer<Pixel_Bgra_16>, Pixel_Bgra_32f_Extra>;
extern template struct Blurmond_Copy<Layer<Pixel_Bgra_32f>, Pixel_Bgra_32f>;
extern template struct Blurmond_Copy<Layer<Pixel_Bgra_32f>, Pixel_Bgra_32f_Extra>;

}  // namespace nb
