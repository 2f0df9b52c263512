// The end-to-end rig: session set-up, test frames and byte comparison.
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

}  // namespace

Blurmond_Session::Blurmond_Session(A_long appl_id, int64_t threads, bool log_file)
    : binary(log_file), session(binary.library(), settings_for(appl_id, threads)) {
    global_setup_error = session.global_setup();
    EXPECT_EQ(global_setup_error, PF_Err_NONE);
    EXPECT_EQ(session.params_setup(), PF_Err_NONE);
}

void Blurmond_Session::defocus_with_highlights(double radius) {
    session.set_float(session.index_of("radius"), radius);
    session.set_float(session.index_of("additive highlight"), 2.0);
    session.set_float(session.index_of("preservative highlight"), 1.5);
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
        for (int64_t x = 0; x < a.width(); ++x) {
            if (std::memcmp(a.row(y) + x * pixel_bytes, b.row(y) + x * pixel_bytes, static_cast<size_t>(pixel_bytes)) == 0)
                continue;
            const auto p = a.rgba(x, y);
            const auto q = b.rgba(x, y);
            std::ostringstream text;
            text.precision(9);
            text << "pixel " << x << ", " << y << ": " << p[0] << " " << p[1] << " " << p[2] << " " << p[3]
                 << " against " << q[0] << " " << q[1] << " " << q[2] << " " << q[3];
            return text.str();
        }
    return {};
}

}  // namespace nb::test
