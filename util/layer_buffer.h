// Owner of a working image allocated through the render context.
#pragma once

#include <cstdint>
#include <memory>

#include "util/layer.h"
#include "util/memory_2d.h"
#include "util/render_context.h"

namespace nb {

struct Layer_Buffer {
    std::shared_ptr<Mapped_Memory_2d> memory;
    bool premultiplied = false;
    int64_t x = 0;
    int64_t y = 0;
    float pixel_aspect = 1.0f;
    float horizontal_factor = 1.0f;
    float vertical_factor = 1.0f;

    // The view kernels use: device pointer and device row bytes.
    template <class P>
    Layer<P> layer() const {
        Layer<P> l;
        if (!memory) return l;
        l.data = static_cast<P*>(memory->data_device());
        l.row_bytes = memory->row_bytes_device();
        l.width = memory->width() / static_cast<int64_t>(sizeof(P));
        l.height = memory->height();
        l.x = x;
        l.y = y;
        l.horizontal_factor = horizontal_factor;
        l.vertical_factor = vertical_factor;
        l.pixel_aspect = pixel_aspect;
        l.premultiplied = premultiplied;
        return l;
    }
};

// Allocates width x height pixels of P (rows 64-byte aligned) through the context.
template <class P>
Layer_Buffer allocate_layer_buffer(const Render_Context& context, int64_t width, int64_t height, bool premultiplied,
                                   int64_t x, int64_t y, float pixel_aspect, float horizontal_factor,
                                   float vertical_factor) {
    Layer_Buffer buffer;
    buffer.memory = context.allocate_memory_2d(width * static_cast<int64_t>(sizeof(P)), height);
    buffer.premultiplied = premultiplied;
    buffer.x = x;
    buffer.y = y;
    buffer.pixel_aspect = pixel_aspect;
    buffer.horizontal_factor = horizontal_factor;
    buffer.vertical_factor = vertical_factor;
    return buffer;
}

}  // namespace nb
