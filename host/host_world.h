// Layer worlds as the host lends them to a plug-in: pixels in the host's formats (After Effects ARGB,
// Premiere BGRA) at 8, 16 and 32 bits, with views onto parts of a world.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "base/after_effects/ae_sdk.h"

namespace nb::host {

enum class Pixel_Depth { bits_8, bits_16, bits_32 };
enum class Channel_Order { argb, bgra };

// What the host knows about a world's pixels besides its PF_EffectWorld record.
struct World_Format {
    Pixel_Depth depth = Pixel_Depth::bits_8;
    Channel_Order order = Channel_Order::argb;
    bool device = false;  // held for the device: the world suite reports PF_PixelFormat_GPU_BGRA128

    int64_t channel_bytes() const;
    int64_t pixel_bytes() const { return 4 * channel_bytes(); }
    // White: 255, 32768 or 1.0.
    double white() const;
    // The format the "PF World Suite" reports; PF_PixelFormat_INVALID for one After Effects lacks.
    PF_PixelFormat world_suite_format() const;
    // The format the "PF Pixel Format Suite" reports.
    PrPixelFormat premiere_format() const;
};

// Owns its pixels, or shares them with the world it is a view of. Not movable: the PF_EffectWorld
// record points back at the format (copies of the record do too, and stay valid while the world lives).
// Pixels start transparent black.
class Host_World {
public:
    // origin: frame position of pixel (0, 0). Rows are width pixels plus row_padding bytes apart.
    Host_World(int64_t width, int64_t height, World_Format format, int64_t origin_x = 0, int64_t origin_y = 0,
               int64_t row_padding = 0);
    Host_World(const Host_World&) = delete;
    Host_World& operator=(const Host_World&) = delete;

    PF_EffectWorld* world() { return &world_; }
    const PF_EffectWorld* world() const { return &world_; }
    const World_Format& format() const { return format_; }
    int64_t width() const { return world_.width; }
    int64_t height() const { return world_.height; }
    int64_t origin_x() const { return world_.origin_x; }
    int64_t origin_y() const { return world_.origin_y; }
    int64_t row_bytes() const { return world_.rowbytes; }
    std::byte* row(int64_t y) const;

    // Red, green, blue, alpha of pixel (x, y) in world coordinates, white 1.0, and back; 8 and 16 bits
    // round to the nearest code value and clamp.
    std::array<double, 4> rgba(int64_t x, int64_t y) const;
    void set_rgba(int64_t x, int64_t y, const std::array<double, 4>& rgba);

    // The part of rect (frame coordinates) this world covers, sharing its pixels; null when they do not
    // meet. The view's origin is where that part starts; its pixel aspect ratio is the world's.
    std::unique_ptr<Host_World> view(const PF_LRect& rect) const;

    // The format of a world this host made; null for any other record.
    static const World_Format* format_of(const PF_EffectWorld* world);

private:
    Host_World(std::shared_ptr<std::vector<std::byte>> pixels, std::byte* first, int64_t width, int64_t height,
               int64_t row_bytes, World_Format format, int64_t origin_x, int64_t origin_y);
    std::byte* pixel(int64_t x, int64_t y) const;

    std::shared_ptr<std::vector<std::byte>> pixels_;
    World_Format format_;
    PF_EffectWorld world_{};
};

}  // namespace nb::host
