// Copies between straight-alpha RGBA images and the host's interleaved pixel buffers.
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

// A component of the image as host component T: bytes are already 8-bit components.
template <class T, class S>
T host_component(S v, float white) {
    if constexpr (std::is_same_v<S, T>) return v;
    else if constexpr (std::is_same_v<S, uint8_t>) return to_component<T>(static_cast<float>(v) / 255.0f, white);
    else return to_component<T>(v, white);
}

// A host component as a component of an image in S (bytes only from bytes).
template <class S, class T>
S image_component(T v, float white) {
    if constexpr (std::is_same_v<S, T>) return v;
    else return static_cast<float>(v) / white;
}

void check_layout(const Host_Pixel_Layout& layout, int64_t row_bytes, int64_t width) {
    if (layout.bits != 8 && layout.bits != 16 && layout.bits != 32)
        throw Tool_Error("host pixels of " + std::to_string(layout.bits) + " bits do not exist (8, 16 or 32)");
    if (row_bytes < width * layout.bytes_per_pixel())
        throw Tool_Error("host rows of " + std::to_string(row_bytes) + " bytes cannot hold " + std::to_string(width) +
                         " pixels of " + std::to_string(layout.bits) + " bits");
}

template <class T, class S>
void write_rows(const Image_Rgba& image, const S* pixels, Positions at, float white, std::byte* data, int64_t row_bytes) {
    for (int64_t y = 0; y < image.height; ++y) {
        T* row = reinterpret_cast<T*>(data + y * row_bytes);
        for (int64_t x = 0; x < image.width; ++x) {
            const S* p = pixels + (y * image.width + x) * 4;
            T* q = row + x * 4;
            q[at.r] = host_component<T>(p[0], white);
            q[at.g] = host_component<T>(p[1], white);
            q[at.b] = host_component<T>(p[2], white);
            q[at.a] = host_component<T>(p[3], white);
        }
    }
}

template <class S>
void write_layout(const Image_Rgba& image, const S* pixels, const Host_Pixel_Layout& layout, std::byte* data, int64_t row_bytes) {
    const Positions at = positions(layout.order);
    if (layout.bits == 8) write_rows<uint8_t>(image, pixels, at, layout.white(), data, row_bytes);
    else if (layout.bits == 16) write_rows<uint16_t>(image, pixels, at, layout.white(), data, row_bytes);
    else write_rows<float>(image, pixels, at, layout.white(), data, row_bytes);
}

template <class T, class S>
void read_rows(int64_t width, int64_t height, S* pixels, Positions at, float white, const std::byte* data, int64_t row_bytes) {
    for (int64_t y = 0; y < height; ++y) {
        const T* row = reinterpret_cast<const T*>(data + y * row_bytes);
        for (int64_t x = 0; x < width; ++x) {
            const T* p = row + x * 4;
            S* q = pixels + (y * width + x) * 4;
            q[0] = image_component<S>(p[at.r], white);
            q[1] = image_component<S>(p[at.g], white);
            q[2] = image_component<S>(p[at.b], white);
            q[3] = image_component<S>(p[at.a], white);
        }
    }
}

}  // namespace

void write_host_pixels(const Image_Rgba& image, const Host_Pixel_Layout& layout, void* data, int64_t row_bytes) {
    check_layout(layout, row_bytes, image.width);
    auto* bytes = static_cast<std::byte*>(data);
    if (image.in_bytes()) write_layout(image, image.rgba8.data(), layout, bytes, row_bytes);
    else write_layout(image, image.rgba.data(), layout, bytes, row_bytes);
}

Image_Rgba read_host_pixels(const Host_Pixel_Layout& layout, const void* data, int64_t row_bytes, int64_t width,
                            int64_t height, bool keep_bytes) {
    if (width < 0 || height < 0)
        throw Tool_Error("host pixels of " + std::to_string(width) + " x " + std::to_string(height) + " do not exist");
    check_layout(layout, row_bytes, width);
    const auto* bytes = static_cast<const std::byte*>(data);
    const Positions at = positions(layout.order);
    const float white = layout.white();
    if (keep_bytes && layout.bits == 8) {
        Image_Rgba image = Image_Rgba::bytes(width, height, 0);
        read_rows<uint8_t>(width, height, image.rgba8.data(), at, white, bytes, row_bytes);
        return image;
    }
    Image_Rgba image(width, height);
    float* pixels = image.rgba.data();
    if (layout.bits == 8) read_rows<uint8_t>(width, height, pixels, at, white, bytes, row_bytes);
    else if (layout.bits == 16) read_rows<uint16_t>(width, height, pixels, at, white, bytes, row_bytes);
    else read_rows<float>(width, height, pixels, at, white, bytes, row_bytes);
    return image;
}

}  // namespace nb::tools
