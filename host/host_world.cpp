// Host worlds: pixel storage, component access in every format, views and format lookup.
#include "host/host_world.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "host/host_system.h"

namespace nb::host {
namespace {

// Where red, green, blue and alpha sit within a pixel.
std::array<int, 4> channel_positions(Channel_Order order) {
    return order == Channel_Order::argb ? std::array<int, 4>{1, 2, 3, 0} : std::array<int, 4>{2, 1, 0, 3};
}

// World records this host made carry their format in reserved1 and this mark in reserved_long4, so a
// foreign record is never mistaken for one of ours; reserved0 stays free for the layer parameters,
// whose records mark a chosen layer there.
char world_mark;

}  // namespace

int64_t World_Format::channel_bytes() const {
    switch (depth) {
        case Pixel_Depth::bits_8: return 1;
        case Pixel_Depth::bits_16: return 2;
        case Pixel_Depth::bits_32: return 4;
    }
    return 1;
}

double World_Format::white() const {
    switch (depth) {
        case Pixel_Depth::bits_8: return 255.0;
        case Pixel_Depth::bits_16: return 32768.0;
        case Pixel_Depth::bits_32: return 1.0;
    }
    return 1.0;
}

PF_PixelFormat World_Format::world_suite_format() const {
    if (device) return PF_PixelFormat_GPU_BGRA128;
    if (order == Channel_Order::bgra) return depth == Pixel_Depth::bits_8 ? PF_PixelFormat_BGRA32 : PF_PixelFormat_INVALID;
    switch (depth) {
        case Pixel_Depth::bits_8: return PF_PixelFormat_ARGB32;
        case Pixel_Depth::bits_16: return PF_PixelFormat_ARGB64;
        case Pixel_Depth::bits_32: return PF_PixelFormat_ARGB128;
    }
    return PF_PixelFormat_INVALID;
}

PrPixelFormat World_Format::premiere_format() const {
    const bool bgra = order == Channel_Order::bgra;
    switch (depth) {
        case Pixel_Depth::bits_8: return bgra ? PrPixelFormat_BGRA_4444_8u : PrPixelFormat_ARGB_4444_8u;
        case Pixel_Depth::bits_16: return bgra ? PrPixelFormat_BGRA_4444_16u : PrPixelFormat_ARGB_4444_16u;
        case Pixel_Depth::bits_32: return bgra ? PrPixelFormat_BGRA_4444_32f : PrPixelFormat_ARGB_4444_32f;
    }
    return PrPixelFormat_Invalid;
}

Host_World::Host_World(int64_t width, int64_t height, World_Format format, int64_t origin_x, int64_t origin_y,
                       int64_t row_padding)
    : Host_World(nullptr, nullptr, width, height, width * format.pixel_bytes() + row_padding, format, origin_x,
                 origin_y) {
    if (width < 0 || height < 0 || row_padding < 0) throw std::invalid_argument("negative world size");
    const auto bytes = static_cast<std::size_t>(row_bytes() * height);
    pixels_ = std::make_shared<std::vector<std::byte>>(system::large_vector(bytes, std::byte{0}));
    world_.data = reinterpret_cast<PF_PixelPtr>(pixels_->data());
}

Host_World::Host_World(std::shared_ptr<std::vector<std::byte>> pixels, std::byte* first, int64_t width,
                       int64_t height, int64_t row_bytes, World_Format format, int64_t origin_x, int64_t origin_y)
    : pixels_(std::move(pixels)), format_(format) {
    world_.reserved1 = &format_;
    world_.reserved_long4 = &world_mark;
    world_.world_flags = PF_WorldFlag_WRITEABLE | (format.depth == Pixel_Depth::bits_8 ? 0 : PF_WorldFlag_DEEP);
    world_.data = reinterpret_cast<PF_PixelPtr>(first);
    world_.rowbytes = static_cast<A_long>(row_bytes);
    world_.width = static_cast<A_long>(width);
    world_.height = static_cast<A_long>(height);
    world_.extent_hint = PF_LRect{0, 0, static_cast<A_long>(width), static_cast<A_long>(height)};
    world_.pix_aspect_ratio = PF_RationalScale{1, 1};
    world_.origin_x = static_cast<A_long>(origin_x);
    world_.origin_y = static_cast<A_long>(origin_y);
}

std::byte* Host_World::row(int64_t y) const {
    return reinterpret_cast<std::byte*>(world_.data) + y * world_.rowbytes;
}

std::byte* Host_World::pixel(int64_t x, int64_t y) const {
    if (x < 0 || y < 0 || x >= width() || y >= height()) throw std::out_of_range("pixel outside the world");
    return row(y) + x * format_.pixel_bytes();
}

std::array<double, 4> Host_World::rgba(int64_t x, int64_t y) const {
    const std::byte* p = pixel(x, y);
    const std::array<int, 4> at = channel_positions(format_.order);
    std::array<double, 4> out{};
    for (int c = 0; c < 4; ++c) {
        const std::byte* component = p + at[c] * format_.channel_bytes();
        double value = 0.0;
        if (format_.depth == Pixel_Depth::bits_8) {
            value = static_cast<double>(std::to_integer<uint8_t>(*component));
        } else if (format_.depth == Pixel_Depth::bits_16) {
            uint16_t v;
            std::memcpy(&v, component, sizeof v);
            value = v;
        } else {
            float v;
            std::memcpy(&v, component, sizeof v);
            value = v;
        }
        out[static_cast<std::size_t>(c)] = value / format_.white();
    }
    return out;
}

void Host_World::set_rgba(int64_t x, int64_t y, const std::array<double, 4>& rgba) {
    std::byte* p = pixel(x, y);
    const std::array<int, 4> at = channel_positions(format_.order);
    for (int c = 0; c < 4; ++c) {
        std::byte* component = p + at[c] * format_.channel_bytes();
        const double scaled = rgba[static_cast<std::size_t>(c)] * format_.white();
        if (format_.depth == Pixel_Depth::bits_32) {
            const float v = static_cast<float>(scaled);
            std::memcpy(component, &v, sizeof v);
            continue;
        }
        const double code = std::clamp(std::round(scaled), 0.0, format_.depth == Pixel_Depth::bits_8 ? 255.0 : 32768.0);
        if (format_.depth == Pixel_Depth::bits_8) {
            *component = static_cast<std::byte>(static_cast<uint8_t>(code));
        } else {
            const uint16_t v = static_cast<uint16_t>(code);
            std::memcpy(component, &v, sizeof v);
        }
    }
}

std::unique_ptr<Host_World> Host_World::view(const PF_LRect& rect) const {
    const int64_t left = std::max<int64_t>(rect.left, origin_x());
    const int64_t top = std::max<int64_t>(rect.top, origin_y());
    const int64_t right = std::min<int64_t>(rect.right, origin_x() + width());
    const int64_t bottom = std::min<int64_t>(rect.bottom, origin_y() + height());
    if (right <= left || bottom <= top) return nullptr;
    std::byte* first = row(top - origin_y()) + (left - origin_x()) * format_.pixel_bytes();
    auto part = std::unique_ptr<Host_World>(
        new Host_World(pixels_, first, right - left, bottom - top, row_bytes(), format_, left, top));
    part->world_.pix_aspect_ratio = world_.pix_aspect_ratio;
    return part;
}

const World_Format* Host_World::format_of(const PF_EffectWorld* world) {
    if (world == nullptr || world->reserved_long4 != &world_mark) return nullptr;
    return static_cast<const World_Format*>(world->reserved1);
}

}  // namespace nb::host
