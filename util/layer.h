// Non-owning views of pixel rectangles: the typed Layer, its untyped host counterpart, frame description.
#pragma once

#include <cstddef>
#include <cstdint>

#include "util/pixel/pixel_format.h"

namespace nb {

// The current frame as the host describes it (sizes at the current resolution).
struct Layer_Description {
    int64_t width = 0;
    int64_t height = 0;
    int64_t x = 0;
    int64_t y = 0;
    float horizontal_factor = 1.0f;
    float vertical_factor = 1.0f;
    float pixel_aspect = 1.0f;
    bool premultiplied = false;
};

// An untyped layer as the host binding hands it to the render pipeline.
struct Layer_Typeless {
    int64_t width = 0;
    int64_t height = 0;
    int64_t x = 0;
    int64_t y = 0;
    float horizontal_factor = 1.0f;
    float vertical_factor = 1.0f;
    float pixel_aspect = 1.0f;
    bool premultiplied = false;
    void* data = nullptr;
    int64_t row_bytes = 0;
    Pixel_Format format;
};

// A typed view of pixels owned elsewhere; copied by value into kernel parameter records.
// Pixel (c, r) is at data + r * row_bytes + c * sizeof(P).
template <class P>
struct Layer {
    using pixel = P;

    P* data = nullptr;
    int64_t row_bytes = 0;
    int64_t width = 0;
    int64_t height = 0;
    int64_t x = 0;  // frame position of pixel (0, 0)
    int64_t y = 0;
    float horizontal_factor = 1.0f;  // layer pixels per full-resolution pixel
    float vertical_factor = 1.0f;
    float pixel_aspect = 1.0f;
    bool premultiplied = false;

    bool empty() const { return data == nullptr || width * height < 1; }

    P* row(int64_t r) const {
        return reinterpret_cast<P*>(reinterpret_cast<std::byte*>(data) + r * row_bytes);
    }
    P& at(int64_t c, int64_t r) const { return row(r)[c]; }
    bool contains(int64_t c, int64_t r) const { return c >= 0 && c < width && r >= 0 && r < height; }

    // Takes the fields of an untyped layer over one by one; the caller has matched the format.
    static Layer from_typeless(const Layer_Typeless& t) {
        Layer l;
        l.data = static_cast<P*>(t.data);
        l.row_bytes = t.row_bytes;
        l.width = t.width;
        l.height = t.height;
        l.x = t.x;
        l.y = t.y;
        l.horizontal_factor = t.horizontal_factor;
        l.vertical_factor = t.vertical_factor;
        l.pixel_aspect = t.pixel_aspect;
        l.premultiplied = t.premultiplied;
        return l;
    }
};

}  // namespace nb
