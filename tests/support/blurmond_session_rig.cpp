// The end-to-end rig: session set-up, test frames and comparisons.
#include "tests/support/blurmond_session_rig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ranges>
#include <sstream>

namespace nb::test {
namespace {

// The first pixel of world further than tolerance from expected(x, y) in a component, with both values;
// empty when there is none.
std::string first_difference(const host::Host_World& world, const Expected_Pixel& expected, double tolerance) {
    for (int64_t y = 0; y < world.height(); ++y)
        for (int64_t x = 0; x < world.width(); ++x) {
            const std::array<double, 4> p = world.rgba(x, y), q = expected(x, y);
            if (std::ranges::all_of(std::views::iota(0, 4), [&](int k) { return std::abs(p[k] - q[k]) <= tolerance; }))
                continue;
            std::ostringstream text;
            text << "pixel " << x << ", " << y << ": " << p[0] << " " << p[1] << " " << p[2] << " " << p[3] << " against "
                 << q[0] << " " << q[1] << " " << q[2] << " " << q[3];
            return text.str();
        }
    return {};
}

}  // namespace

Blurmond_Session::Blurmond_Session(const Blurmond_Variant& variant_, int64_t threads, bool log_file, int64_t budget)
    : variant(variant_), binary(log_file),
      session(binary.library(), {.effect = {.appl_id = variant.appl_id}, .threads = threads, .memory_budget = budget}) {
    EXPECT_TRUE(session.global_setup() == PF_Err_NONE && session.params_setup() == PF_Err_NONE) << variant.name;
}

void Blurmond_Session::defocus_with_highlights(double radius) {
    session.set_float(index_of("radius"), radius);
    session.set_float(index_of("additive highlight"), 2.0);
    session.set_float(index_of("preservative highlight"), 1.5);
}

PF_Err Blurmond_Session::render(const host::Frame_Layers& frame) {
    const PF_Err error = session.render(frame, variant.path);
    EXPECT_TRUE(error != PF_Err_NONE || session.outstanding_checkouts() == 0) << variant.name << ": a checkout left out";
    return error;
}

void fill_test_frame(host::Host_World& world, int seed) {
    for (int64_t y = 0; y < world.height(); ++y)
        for (int64_t x = 0; x < world.width(); ++x) {
            const double v = 0.5 + 0.45 * std::sin(0.61 * x + 0.37 * y + 0.9 * seed) * std::cos(0.13 * x * y / 5.0 - 0.9 * seed);
            // A few lights far above white, and some pixels half transparent.
            world.set_rgba(x, y, {(x * 7 + y * 3 + seed) % 23 ? v : 6.0, 1.0 - v, 0.2 + 0.6 * v * v, (x + seed) % 5 ? 1.0 : 0.5});
        }
}

void fill_constant(host::Host_World& world, const std::array<double, 4>& rgba) {
    for (int64_t y = 0; y < world.height(); ++y)
        for (int64_t x = 0; x < world.width(); ++x) world.set_rgba(x, y, rgba);
}

std::string byte_difference(const host::Host_World& a, const host::Host_World& b) {
    return first_difference(a, [&b](int64_t x, int64_t y) { return b.rgba(x, y); }, 0.0);
}

std::string difference(const host::Host_World& world, const Expected_Pixel& expected, double tolerance) {
    if (tolerance >= 0.0) return first_difference(world, expected, tolerance);
    // One code value of the world's depth (rounding of its conversions), or 1e-4 in float.
    const double code_value = world.format().depth == host::Pixel_Depth::bits_32 ? 1e-4 : 1.0 / world.format().white();
    return first_difference(world, expected, code_value + 1e-6);
}

}  // namespace nb::test
