// A loaded plug-in binary ready to render, for the end-to-end tests: a session through global and
// parameter setup, test frames, and a byte-exact comparison of rendered worlds.
#pragma once

#include <cstdint>
#include <array>
#include <string>

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
    // threads: host threads of iterate_generic.
    Blurmond_Session(A_long appl_id, int64_t threads, bool log_file = true);
    // The defocus blur of radius with boosted highlights: the mode that runs every transform.
    void defocus_with_highlights(double radius);

    Plugin_Binary binary;
    host::Effect_Session session;
    PF_Err global_setup_error = PF_Err_NONE;
};

// Smooth but uneven colours and alpha, different for each seed, with a few values far above white
// in float worlds (clamped in the others).
void fill_test_frame(host::Host_World& world, int seed);
void fill_constant(host::Host_World& world, const std::array<double, 4>& rgba);

// Empty when both worlds hold the same bytes; otherwise the first differing pixel and both values.
std::string byte_difference(const host::Host_World& a, const host::Host_World& b);

}  // namespace nb::test
