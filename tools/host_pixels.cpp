// Copies between straight-alpha float RGBA images and the host's interleaved pixel buffers.
#include "tools/host_pixels.h"

#include <cmath>
#include <cstddef>
#include <type_traits>

#include "tools/tool_error.h"

namespace nb::tools {
namespace {

// Position of R, G, B and A inside one host pixel.
struct Positions {
    int r, g, b, a;
};

Positions positions(Channel_Order order) {
    return order == Channel_Order::argb ? Positions{1, 2, 3, 0} : Positions{2, 1, 0, 3};
}

template <class T>
T to_component(float v, float white) {
    if constexpr (std::is_same_v<T, float>) {
        return v;
    } else {
        const float scaled = v * white + 0.5f;
        if (!(scaled > 0.0f)) return T(0);  // negative and NaN
        if (scaled >= white) return static_cast<T>(white);
        return static_cast<T>(scaled);
    }
}

template <class T>
float from_component(T v, float white) {
    return static_cast<float>(v) / white;
}

void check_layout(const Host_Pixel_Layout& layout, int64_t row_bytes, int64_t width) {
    if (layout.bits != 8 && layout.bits != 16 && layout.bits != 32)
        throw Tool_Error("host pixels of " + std::to_string(layout.bits) + " bits do not exist (8, 16 or 32)");
    if (row_bytes < width * layout.bytes_per_pixel())
        throw Tool_Error("host rows of " + std::to_string(row_bytes) + " bytes cannot hold " + std::to_string(width) +
                         " pixels of " + std::to_string(layout.bits) + " bits");
}

template <class T>
void write_rows(const Image_Rgba& image, Positions at, float white, std::byte* data, int64_t row_bytes) {
    for (int64_t y = 0; y < image.height; ++y) {
        T* row = reinterpret_cast<T*>(data + y * row_bytes);
        for (int64_t x = 0; x < image.width; ++x) {
            const float* p = image.pixel(x, y);
            T* q = row + x * 4;
            q[at.r] = to_component<T>(p[0], white);
            q[at.g] = to_component<T>(p[1], white);
            q[at.b] = to_component<T>(p[2], white);
            q[at.a] = to_component<T>(p[3], white);
        }
    }
}

template <class T>
void read_rows(Image_Rgba& image, Positions at, float white, const std::byte* data, int64_t row_bytes) {
    for (int64_t y = 0; y < image.height; ++y) {
        const T* row = reinterpret_cast<const T*>(data + y * row_bytes);
        for (int64_t x = 0; x < image.width; ++x) {
            const T* p = row + x * 4;
            float* q = image.pixel(x, y);
            q[0] = from_component(p[at.r], white);
            q[1] = from_component(p[at.g], white);
            q[2] = from_component(p[at.b], white);
            q[3] = from_component(p[at.a], white);
        }
    }
}

}  // namespace

void write_host_pixels(const Image_Rgba& image, const Host_Pixel_Layout& layout, void* data, int64_t row_bytes) {
    check_layout(layout, row_bytes, image.width);
    auto* bytes = static_cast<std::byte*>(data);
    const Positions at = positions(layout.order);
    if (layout.bits == 8) write_rows<uint8_t>(image, at, layout.white(), bytes, row_bytes);
    else if (layout.bits == 16) write_rows<uint16_t>(image, at, layout.white(), bytes, row_bytes);
    else write_rows<float>(image, at, layout.white(), bytes, row_bytes);
}

Image_Rgba read_host_pixels(const Host_Pixel_Layout& layout, const void* data, int64_t row_bytes, int64_t width,
                            int64_t height) {
    if (width < 0 || height < 0)
        throw Tool_Error("host pixels of " + std::to_string(width) + " x " + std::to_string(height) + " do not exist");
    check_layout(layout, row_bytes, width);
    Image_Rgba image(width, height);
    const auto* bytes = static_cast<const std::byte*>(data);
    const Positions at = positions(layout.order);
    if (layout.bits == 8) read_rows<uint8_t>(image, at, layout.white(), bytes, row_bytes);
    else if (layout.bits == 16) read_rows<uint16_t>(image, at, layout.white(), bytes, row_bytes);
    else read_rows<float>(image, at, layout.white(), bytes, row_bytes);
    return image;
}

}  // namespace nb::tools
