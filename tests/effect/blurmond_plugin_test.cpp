// The extents the effect's blur needs around a requested rectangle and produces beyond the input.
#include "effect/blurmond_plugin.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "tests/support/memory_parameter_factory.h"

namespace nb {

std::ostream& operator<<(std::ostream& out, const Rect& r) {
    return out << "{left " << r.left << ", right " << r.right << ", top " << r.top << ", bottom " << r.bottom << "}";
}

namespace {

Layer_Description frame_of(int64_t width, int64_t height, float horizontal = 1.0f, float vertical = 1.0f) {
    return {.width = width, .height = height, .horizontal_factor = horizontal, .vertical_factor = vertical};
}

Plugin::Context frame_context(const Layer_Description& frame) {
    Plugin::Context context;
    context.frame_description = [frame] { return frame; };
    return context;
}

struct Extent_Case {
    double radius, smooth;
    int32_t show;
    bool extend;
    Layer_Description frame;
    Rect expected_request, expected_extent;
    double aspect = 0.0;
    Rect alternative_iris{};  // empty: none chosen
};

const Rect output_request{0, 100, 0, 50};
const Rect source_extent{-10, 200, -10, 200};

class BlurmondPluginExtent : public ::testing::TestWithParam<Extent_Case> {};

TEST_P(BlurmondPluginExtent, GrowsByTheBlursReach) {
    const Extent_Case& c = GetParam();
    test::Memory_Parameter_Factory factory;
    const Blurmond_Plugin plugin(make_host_context(Plugin_Host::after_effects), factory);
    const Blurmond_Parameters& p = plugin.blurmond_parameters();
    p.radius->set_value(c.radius);
    p.iris_soften->set_value(c.smooth);
    p.show->set_value(c.show);
    p.outside_extend->set_value(c.extend);
    p.iris_aspect->set_value(c.aspect);
    Layer_Extents extents{{"Source", {source_extent, c.frame.horizontal_factor, c.frame.vertical_factor, 1.0f}},
                          {"background_layer", {Rect{3, 4, 5, 6}, 1.0f, 1.0f, 1.0f}}};
    if (!c.alternative_iris.empty()) extents["alternative_iris"] = Layer_Extent{c.alternative_iris, 1.0f, 1.0f, 1.0f};
    const Plugin::Context context = frame_context(c.frame);
    EXPECT_EQ(plugin.layer_extent_for_name(context, "Source", output_request, extents), c.expected_request);
    EXPECT_EQ(plugin.layer_extent(context, extents), c.expected_extent);
    // Extra layers are wanted whole, whatever the blur.
    EXPECT_EQ(plugin.layer_extent_for_name(context, "background_layer", output_request, extents), (Rect{3, 4, 5, 6}));
}

const Layer_Description hd = frame_of(1920, 1080), hd_half = frame_of(960, 540, 0.5f, 0.5f);

// Reaches worked by hand: the larger of radius + soften (soften = radius x smooth x 4 / (1920 + 1080)) times
// the downsample factor, rounded up, and the drawn iris's extent: whole pixels strictly inside
// (1 + aspect)(radius + 1) across, (1 - aspect)(radius + 1) up and down, at the downsample factor, plus
// the soften rounded up. Without aspect both agree. Only the normal blur extends.
INSTANTIATE_TEST_SUITE_P(
    Cases, BlurmondPluginExtent,
    ::testing::Values(
        Extent_Case{0.0, 27.0, 0, true, hd, output_request, source_extent},
        Extent_Case{10.0, 0.0, 0, false, hd, {-10, 110, -10, 60}, source_extent},
        // 10 + 10 x 27 x 4 / 3000 = 10.36: 11 pixels.
        Extent_Case{10.0, 27.0, 0, false, hd, {-11, 111, -11, 61}, source_extent},
        Extent_Case{10.0, 27.0, 0, true, hd, {-11, 111, -11, 61}, {-21, 211, -21, 211}},
        Extent_Case{10.0, 27.0, 1, true, hd, {-11, 111, -11, 61}, source_extent},
        Extent_Case{10.0, 27.0, 3, true, hd, {-11, 111, -11, 61}, source_extent},
        // The same frame at half resolution: 10.36 x 0.5 = 5.18, 6 pixels; x 0.25 = 2.59: 3 rows.
        Extent_Case{10.0, 27.0, 0, true, hd_half, {-6, 106, -6, 56}, {-16, 206, -16, 206}},
        Extent_Case{10.0, 27.0, 0, true, frame_of(960, 270, 0.5f, 0.25f), {-6, 106, -3, 53}, {-16, 206, -13, 203}},
        // 4 x 0.5 = 2 exactly: no rounding up.
        Extent_Case{4.0, 0.0, 0, false, hd_half, {-2, 102, -2, 52}, source_extent},
        // No frame size to relate the softening to: the reach is the radius.
        Extent_Case{10.0, 27.0, 0, false, frame_of(0, 0), {-10, 110, -10, 60}, source_extent},
        // Aspect 0.75 stretches the iris to 1.75 x 11 = 19.25 across: 19 pixels; up and down 0.25 x 11 =
        // 2.75 reaches less than the radius, which stays.
        Extent_Case{10.0, 0.0, 0, true, hd, {-19, 119, -10, 60}, {-29, 219, -20, 210}, 0.75},
        // A 50 x 30 iris image scaled so its shorter side spans 2 x 10 + 1: zoom 30 / 21; it reaches
        // (25 + 1) x 21 / 30 + 0.5 = 18.7 across and (15 + 1) x 21 / 30 + 0.5 = 11.7 up and down.
        Extent_Case{10.0, 0.0, 0, false, hd, {-18, 118, -11, 61}, source_extent, 0.0, Rect{0, 50, 0, 30}},
        // Absurd smoothness stays inside the host's range: 1e30 softens by about 1.3e30 pixels, held at
        // 2^30 beyond the radius; 1e300 is beyond float, and an infinite softening reaches no whole
        // number of pixels, so the radius is what remains.
        Extent_Case{999.0, 1e30, 0, false, hd, {-1073742823, 1073742923, -1073742823, 1073742873}, source_extent},
        Extent_Case{999.0, 1e300, 0, false, hd, {-999, 1099, -999, 1049}, source_extent}));

}  // namespace
}  // namespace nb
