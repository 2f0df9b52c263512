// The refraction map: per pixel the direction in which a distortion source's alpha rises, and that alpha.
#pragma once

#include <cstddef>
#include <cstdint>

namespace nb {

struct Refraction_Vector {
    float dx = 0.0f;  // unit vector towards rising alpha, or the raw gradient where it is (nearly) flat
    float dy = 0.0f;
    float w = 0.0f;  // alpha of the source, 0..1; 0 where the alpha is flat
};

static_assert(sizeof(Refraction_Vector) == 12, "the map is three packed floats per pixel");

// A non-owning view of a map; whoever allocated it keeps the memory alive while views are used.
struct Refraction_Map {
    Refraction_Vector* data = nullptr;
    int64_t row_bytes = 0;
    int64_t width = 0;
    int64_t height = 0;

    bool empty() const { return data == nullptr || width * height < 1; }

    Refraction_Vector* row(int64_t r) const {
        return reinterpret_cast<Refraction_Vector*>(reinterpret_cast<std::byte*>(data) + r * row_bytes);
    }
    const Refraction_Vector& at(int64_t c, int64_t r) const { return row(r)[c]; }
};

}  // namespace nb
