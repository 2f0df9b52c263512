// A loaded plug-in binary ready to render, for the end-to-end tests: a session through global and
// parameter setup, test frames, and comparisons of rendered worlds.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "host/effect_session.h"
#include "tests/support/plugin_binary.h"

namespace nb::test {

// One pixel variant and the path its host renders it on.
struct Blurmond_Variant {
    const char* name;
    A_long appl_id;
    host::Pixel_Depth depth;
    host::Channel_Order order;
    host::Render_Path path;
    host::World_Format format() const { return host::World_Format{depth, order, false}; }
    bool premiere() const { return appl_id == host::app_id_premiere; }
};

// The three depths on After Effects' smart path and on Premiere's PF_Cmd_RENDER.
inline constexpr Blurmond_Variant blurmond_variants[] = {
    {"Argb8Smart", host::app_id_after_effects, host::Pixel_Depth::bits_8, host::Channel_Order::argb, host::Render_Path::smart},
    {"Argb16Smart", host::app_id_after_effects, host::Pixel_Depth::bits_16, host::Channel_Order::argb, host::Render_Path::smart},
    {"Argb32Smart", host::app_id_after_effects, host::Pixel_Depth::bits_32, host::Channel_Order::argb, host::Render_Path::smart},
    {"Bgra8Render", host::app_id_premiere, host::Pixel_Depth::bits_8, host::Channel_Order::bgra, host::Render_Path::non_smart},
    {"Bgra16Render", host::app_id_premiere, host::Pixel_Depth::bits_16, host::Channel_Order::bgra, host::Render_Path::non_smart},
    {"Bgra32Render", host::app_id_premiere, host::Pixel_Depth::bits_32, host::Channel_Order::bgra, host::Render_Path::non_smart},
};

struct Blurmond_Session {
    // threads: host threads of iterate_generic; memory_budget: bytes of host memory, 0 the host's default.
    explicit Blurmond_Session(const Blurmond_Variant& variant, int64_t threads = 2, bool log_file = false, int64_t memory_budget = 0);
    // The host's 8-bit variant, for tests that choose the render path themselves.
    Blurmond_Session(A_long appl_id, int64_t threads, bool log_file = true)
        : Blurmond_Session(blurmond_variants[appl_id == host::app_id_premiere ? 3 : 0], threads, log_file) {}
    // Host index of the control named after_effects, or premiere under Premiere when that host names
    // it differently.
    int32_t index_of(std::string_view after_effects, std::string_view premiere = {}) const {
        return session.index_of(variant.premiere() && !premiere.empty() ? premiere : after_effects);
    }
    // The defocus blur of radius with boosted highlights: the mode that runs every transform.
    void defocus_with_highlights(double radius);
    // Renders on the variant's path; a frame rendered without error must have given back every checkout.
    PF_Err render(const host::Frame_Layers& frame);

    Blurmond_Variant variant;
    Plugin_Binary binary;
    host::Effect_Session session;
};

// Smooth but uneven colours and alpha, different for each seed, with a few values far above white
// in float worlds (clamped in the others).
void fill_test_frame(host::Host_World& world, int seed);
void fill_constant(host::Host_World& world, const std::array<double, 4>& rgba);

// For two worlds of one size: empty when both hold the same values (bit for bit in 8 and 16 bits, as floats in float worlds,
// so a NaN never matches); otherwise the first differing pixel and both values.
std::string byte_difference(const host::Host_World& a, const host::Host_World& b);

using Expected_Pixel = std::function<std::array<double, 4>(int64_t x, int64_t y)>;

// Empty when every component of every pixel lies within tolerance of expected(x, y), by default one
// code value of the world's depth (1e-4 in float); otherwise the first pixel beyond and both values.
std::string difference(const host::Host_World& world, const Expected_Pixel& expected, double tolerance = -1.0);

}  // namespace nb::test
