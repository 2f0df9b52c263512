// The end-to-end rig: session set-up, test frames and comparisons.
#include "tests/support/blurmond_session_rig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <sstream>

namespace nb::test {
namespace {

host::Session_Settings settings_for(A_long appl_id, int64_t threads) {
    host::Session_Settings settings;
    settings.effect.appl_id = appl_id;
    settings.threads = threads;
    return settings;
}

std::string describe(int64_t x, int64_t y, const std::array<double, 4>& p, const std::array<double, 4>& q) {
    std::ostringstream text;
    text.precision(9);
    text << "pixel " << x << ", " << y << ": " << p[0] << " " << p[1] << " " << p[2] << " " << p[3] << " against "
         << q[0] << " " << q[1] << " " << q[2] << " " << q[3];
    return text.str();
}

}  // namespace

Blurmond_Session::Blurmond_Session(const Blurmond_Variant& variant_, int64_t threads, bool log_file)
    : variant(variant_), binary(log_file), session(binary.library(), settings_for(variant.appl_id, threads)) {
    EXPECT_EQ(session.global_setup(), PF_Err_NONE);
    EXPECT_EQ(session.params_setup(), PF_Err_NONE);
}

int32_t Blurmond_Session::index_of(std::string_view after_effects, std::string_view premiere) const {
    return session.index_of(variant.premiere() && !premiere.empty() ? premiere : after_effects);
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
    const double phase = 0.9 * seed;
    for (int64_t y = 0; y < world.height(); ++y)
        for (int64_t x = 0; x < world.width(); ++x) {
            const double v = 0.5 + 0.45 * std::sin(0.61 * x + 0.37 * y + phase) * std::cos(0.13 * x * y / 5.0 - phase);
            const bool light = (x * 7 + y * 3 + seed) % 23 == 0;
            world.set_rgba(x, y, {light ? 6.0 : v, 1.0 - v, 0.2 + 0.6 * v * v, (x + seed) % 5 == 0 ? 0.5 : 1.0});
        }
}

void fill_constant(host::Host_World& world, const std::array<double, 4>& rgba) {
    for (int64_t y = 0; y < world.height(); ++y)
        for (int64_t x = 0; x < world.width(); ++x) world.set_rgba(x, y, rgba);
}

std::string byte_difference(const host::Host_World& a, const host::Host_World& b) {
    if (a.width() != b.width() || a.height() != b.height()) return "the worlds differ in size";
    const int64_t pixel_bytes = a.format().pixel_bytes();
    for (int64_t y = 0; y < a.height(); ++y)
        for (int64_t x = 0; x < a.width(); ++x)
            if (std::memcmp(a.row(y) + x * pixel_bytes, b.row(y) + x * pixel_bytes, static_cast<size_t>(pixel_bytes)) != 0)
                return describe(x, y, a.rgba(x, y), b.rgba(x, y));
    return {};
}

std::string difference(const host::Host_World& world, const std::function<std::array<double, 4>(int64_t, int64_t)>& expected,
                       double tolerance) {
    double worst = tolerance;
    std::string text;
    for (int64_t y = 0; y < world.height(); ++y)
        for (int64_t x = 0; x < world.width(); ++x) {
            const std::array<double, 4> p = world.rgba(x, y), q = expected(x, y);
            for (int k = 0; k < 4; ++k)
                if (!(std::abs(p[k] - q[k]) <= worst)) {
                    worst = std::isnan(p[k] - q[k]) ? INFINITY : std::abs(p[k] - q[k]);
                    text = describe(x, y, p, q);
                }
        }
    return text;
}

double code_value(const host::World_Format& format) {
    return format.depth == host::Pixel_Depth::bits_32 ? 1e-4 : 1.0 / format.white() + 1e-6;
}

}  // namespace nb::test
