// The defocus kernel's two copy passes: source into the padded power-of-two buffer, and back into the output.
#pragma once

#include <cstdint>

#include "kernel/blurmond_highlights.h"
#include "kernel/float4.h"
#include "kernel/kernel_blurmond_in.h"
#include "util/kernel.h"
#include "util/layer.h"
#include "util/pixel/pixel.h"

namespace nb {

// Row tasks over the image buffer (to_buffer_row) and over the output (back_row). Buffer_P is float
// RGB+alpha in the frame's channel order, with the highlight weight as its extra channel in the
// weighted modes. Each task writes only its own row.
template <class Layer_T, class Buffer_P>
struct Blurmond_Copy {
    Kernel_Blurmond_In<Layer_T> settings;
    Layer<Buffer_P> buffer;
    // Copy back: per buffer channel, 1 / (transform gain * iris sum), or 0 where the sum is 0.
    float normalisation[Buffer_P::channels] = {};
    int64_t first_row = 0;        // buffer row of work item 0 of to_buffer_row
    bool margins_copied = false;  // to_buffer_row converts the source rows only; margin_row copies them
    Blurmond_Highlights* highlights = nullptr;  // the run's census and splats; shared, never null
    // Copy back, per r, g, b, a: 0 where image and iris hold no negative value, so that rounding cannot
    // take a convolution of non-negative data below 0; otherwise -infinity.
    Float4 floor{};

    // Fills every buffer row: the source continued by the edge rules (or the outside colour),
    // premultiplied, non-finite channels as 0, optionally in linear light, highlights boosted.
    // Without a boost, a margin row that the vertical rule continues from the image equals the buffer
    // row of its source row, so those are converted first and the margins copied from them. When the
    // census finds values beyond the highlights' threshold, every row is converted once more with
    // those values clamped and collected as splats, at most about most_splats of them.
    static void to_buffer(const Render_Context& context, Blurmond_Copy copy, int64_t most_splats);
    // Buffer row first_row + item.
    static void to_buffer_row(const Iteration& iteration, const Render_Context& context, const Blurmond_Copy& copy);
    // Margin row item (rows above the source first): a copy of a converted row.
    static void margin_row(const Iteration& iteration, const Render_Context& context, const Blurmond_Copy& copy);
    // Output row r: normalised, the highlights' splats added, held at floor, weight divided out, back
    // to the curve and the output's alpha convention, converted (float within its finite range).
    // Positions outside the buffer's signal area read transparent black.
    static void back_row(const Iteration& iteration, const Render_Context& context, const Blurmond_Copy& copy);
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
