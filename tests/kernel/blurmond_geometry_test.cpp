// Margins and transform sizes of the defocus buffers against the iris's extent, worked out by hand.
#include "kernel/blurmond_geometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "kernel/fft_image.h"

namespace nb {
namespace {

struct Geometry_Case {
    const char* label;
    int64_t width, height;
    float factor;  // both directions, for the buffer and the iris
    float radius, aspect, soften, pixel_aspect;
    int64_t alternative_width, alternative_height;
    int64_t margin_x, margin_y, buffer_width, buffer_height;
};

const Geometry_Case cases[] = {
    // Radius 10 draws a shape of radius 11 whose last covered pixels are 10 away; soften 2.5 adds 3.
    // 100 + 26 rounds up to 128 = 2^7, 50 + 26 to 80 = 2^4 5 (77, 78 = 2 3 13, 79 are not lengths).
    {"round iris with soften", 100, 50, 1.0f, 10.0f, 0.0f, 2.5f, 1.0f, 0, 0, 13, 13, 128, 80},
    // Aspect 0.75: 1.75 * 11 = 19.25 sideways (19 pixels), 0.25 * 11 = 2.75 up and down (2 pixels,
    // not the radius). 44 + 38 = 82 becomes the even 90 = 2 3^2 5 (84 = 4 3 7, 86 and 88 = 8 11 are
    // not lengths); 10 + 4 = 14 becomes 15 = 3 5.
    {"wide iris", 44, 10, 1.0f, 10.0f, 0.75f, 0.0f, 1.0f, 0, 0, 19, 2, 90, 15},
    // Half resolution: aspect -0.5 makes the iris 0.5 * 0.5 * 13 = 3.25 wide (3 pixels) and
    // 0.5 * 1.5 * 13 = 9.75 tall (9 pixels). 30 + 6 = 36 = 2^2 3^2 and 30 + 18 = 48 are lengths already.
    {"tall iris at half resolution", 30, 30, 0.5f, 12.0f, -0.5f, 0.0f, 1.0f, 0, 0, 3, 9, 36, 48},
    // Pixel aspect 0.5 doubles the horizontal radius: 26 pixels (25 covered), and q = 0.5 keeps 13
    // rows (12 covered), where the reach 12 suffices: 80 by 54 = 2 3^3.
    {"anamorphic pixels", 30, 30, 1.0f, 12.0f, 0.0f, 0.0f, 0.5f, 0, 0, 25, 12, 80, 54},
    // A 7 x 6 image with radius 3 is scaled by 7/6 (zoom 6/7): rows reach |d| < 4 / (6/7) + 0.5 = 5.17,
    // columns 4.5 / (6/7) + 0.5 = 5.75.
    {"small alternative iris", 10, 10, 1.0f, 3.0f, 0.0f, 0.0f, 1.0f, 7, 6, 5, 5, 20, 20},
    // Rows of the real transform are even; columns may be odd.
    {"negative radius reaches nothing", 5, 5, 1.0f, -3.0f, 0.0f, 0.0f, 1.0f, 0, 0, 0, 0, 6, 5},
};

TEST(BlurmondGeometry, MarginsAndBufferSizesFollowTheIrisExtent) {
    for (const Geometry_Case& c : cases) {
        Iris_Extent_Settings s;
        s.radius = c.radius;
        s.aspect = c.aspect;
        s.soften = c.soften;
        s.pixel_aspect = c.pixel_aspect;
        s.horizontal_factor = s.vertical_factor = c.factor;
        s.alternative_width = c.alternative_width;
        s.alternative_height = c.alternative_height;
        const Blurmond_Geometry g = blurmond_geometry(c.width, c.height, s);
        EXPECT_TRUE(g.margin_x == c.margin_x && g.margin_y == c.margin_y && g.width == c.buffer_width &&
                    g.height == c.buffer_height)
            << c.label << ": margins " << g.margin_x << ", " << g.margin_y << ", buffer " << g.width << " x " << g.height;
    }
}

// Periods of 2 (2 columns tiled) and 4 (2 rows mirrored) stop at 300 of the longer one. Linear light
// keeps the blades (radius 200: 401 x 401 pixels) under the curve's linear part: 401 / sqrt(0.081).
// An alternative iris under linear light, and a rule that does not repeat, keep the whole softening.
TEST(BlurmondGeometry, SofteningStopsWhereATiledOrMirroredFrameNoLongerChanges) {
    Iris_Extent_Settings s{.radius = 200.0f, .soften = 1e9f};
    EXPECT_EQ(soften_in_effect(s, 2, 2, Outside::repeated, Outside::mirrored, false), 1200.0f);
    EXPECT_FLOAT_EQ(soften_in_effect(s, 2, 2, Outside::repeated, Outside::mirrored, true), 1408.9703f);
    EXPECT_EQ(soften_in_effect(s, 2, 2, Outside::repeated, Outside::border, false), 1e9f);
    s.alternative_width = s.alternative_height = 8;
    EXPECT_EQ(soften_in_effect(s, 2, 2, Outside::repeated, Outside::mirrored, true), 1e9f);
}

// Every size up to 10000 against the set of all products 2^a 3^b 5^c: the chosen transform length is
// the smallest product that holds it, the row length the smallest even one.
TEST(FftLengths, AreTheSmallestProductsOfTwosThreesAndFives) {
    std::set<int64_t> products;
    for (int64_t a = 1; a <= 20000; a *= 2)
        for (int64_t b = a; b <= 20000; b *= 3)
            for (int64_t c = b; c <= 20000; c *= 5) products.insert(c);
    const auto even = [](int64_t length) { return length % 2 == 0; };
    for (int64_t n = -1; n <= 10000; ++n) {
        const auto holding = products.lower_bound(std::max<int64_t>(n, 1));
        ASSERT_EQ(next_fft_length(n), *holding) << n;
        ASSERT_EQ(next_fft_row_length(n), n <= 1 ? 1 : *std::find_if(holding, products.end(), even)) << n;
        ASSERT_EQ(is_fft_length(n), products.count(n) == 1) << n;
    }
}

}  // namespace
}  // namespace nb
