// Margins and power-of-two sizes of the defocus buffers against the iris's extent, worked out by hand.
#include "kernel/blurmond_geometry.h"

#include <gtest/gtest.h>

namespace nb {
namespace {

Iris_Extent_Settings blades(float radius, float aspect = 0.0f, float soften = 0.0f) {
    Iris_Extent_Settings s;
    s.radius = radius;
    s.aspect = aspect;
    s.soften = soften;
    return s;
}

TEST(BlurmondGeometry, SmallestInputWithSubPixelRadiusGivesFourByFourBuffers) {
    // Reach ceil(0.4) = 1; the iris of radius 1.4 covers only the centre's neighbours.
    const Blurmond_Geometry g = blurmond_geometry(1, 1, 1.0f, 1.0f, blades(0.4f));
    EXPECT_EQ(g.margin_x, 1);
    EXPECT_EQ(g.margin_y, 1);
    EXPECT_EQ(g.width, 4);
    EXPECT_EQ(g.height, 4);
}

TEST(BlurmondGeometry, RoundIrisKeepsTheReachOfRadiusAndSoften) {
    // Radius 10 draws a shape of radius 11 whose last covered pixels are 10 away; soften 2.5 adds 3.
    const Blurmond_Geometry g = blurmond_geometry(100, 50, 1.0f, 1.0f, blades(10.0f, 0.0f, 2.5f));
    EXPECT_EQ(g.margin_x, 13);
    EXPECT_EQ(g.margin_y, 13);
    EXPECT_EQ(g.width, 128);  // 100 + 26
    EXPECT_EQ(g.height, 128);  // 50 + 26 = 76
}

TEST(BlurmondGeometry, AspectStretchesTheMarginAlongOneAxis) {
    // Aspect 0.75: 1.75 * 11 = 19.25 sideways (19 pixels), 0.25 * 11 = 2.75 up and down, where the
    // reach 10 stays.
    const Blurmond_Geometry wide = blurmond_geometry(44, 10, 1.0f, 1.0f, blades(10.0f, 0.75f));
    EXPECT_EQ(wide.margin_x, 19);
    EXPECT_EQ(wide.margin_y, 10);
    EXPECT_EQ(wide.width, 128);  // 44 + 38 = 82; the reach alone would give 64
    // Aspect -0.5: 1.5 * 11 = 16.5 vertically (16 pixels).
    const Blurmond_Geometry tall = blurmond_geometry(44, 10, 1.0f, 1.0f, blades(10.0f, -0.5f));
    EXPECT_EQ(tall.margin_x, 10);
    EXPECT_EQ(tall.margin_y, 16);
}

TEST(BlurmondGeometry, ResolutionFactorsAndPixelAspectScaleTheExtent) {
    // Half resolution: the reach ceil(0.5 * 12) = 6 and the iris 0.5 * 13 = 6.5 (6 pixels).
    Iris_Extent_Settings half = blades(12.0f);
    half.horizontal_factor = half.vertical_factor = 0.5f;
    const Blurmond_Geometry g = blurmond_geometry(30, 30, 0.5f, 0.5f, half);
    EXPECT_EQ(g.margin_x, 6);
    EXPECT_EQ(g.margin_y, 6);
    // Pixel aspect 0.5 doubles the horizontal radius: 26 pixels (25 covered), and q = 0.5 keeps 13
    // rows (12 covered), where the reach 12 suffices.
    Iris_Extent_Settings anamorphic = blades(12.0f);
    anamorphic.pixel_aspect = 0.5f;
    const Blurmond_Geometry a = blurmond_geometry(30, 30, 1.0f, 1.0f, anamorphic);
    EXPECT_EQ(a.margin_x, 25);
    EXPECT_EQ(a.margin_y, 12);
}

TEST(BlurmondGeometry, AlternativeIrisExtentFollowsTheScaledImage) {
    // A 100 x 50 image with radius 24.5: the shorter side spans 50 pixels (zoom 1). Pixel d from the
    // centre averages source columns d + 49.5 .. d + 50.5 and weighs the next one too, so the image
    // reaches |d| < 51 + 0.5 sideways (51 pixels) and |d| < 26 + 0.5 up and down (26).
    Iris_Extent_Settings s = blades(24.5f);
    s.alternative_width = 100;
    s.alternative_height = 50;
    const Iris_Extent e = iris_extent(s);
    EXPECT_EQ(e.x, 51);
    EXPECT_EQ(e.y, 26);
    const Blurmond_Geometry g = blurmond_geometry(10, 10, 1.0f, 1.0f, s);
    EXPECT_EQ(g.margin_x, 51);
    EXPECT_EQ(g.margin_y, 26);
    // A 7 x 6 image with radius 3 is scaled by 7/6 (zoom 6/7): rows reach |d| < 4 / (6/7) + 0.5 = 5.17.
    Iris_Extent_Settings small = blades(3.0f);
    small.alternative_width = 7;
    small.alternative_height = 6;
    EXPECT_EQ(iris_extent(small).y, 5);
    EXPECT_EQ(iris_extent(small).x, 5);  // 4.5 / (6/7) + 0.5 = 5.75
}

TEST(BlurmondGeometry, InvalidIrisesReachNoFurtherThanTheRadius) {
    EXPECT_EQ(iris_extent(blades(-3.0f)).x, 0);
    const Blurmond_Geometry g = blurmond_geometry(5, 5, 1.0f, 1.0f, blades(-3.0f));
    EXPECT_EQ(g.margin_x, 0);
    EXPECT_EQ(g.width, 8);
    const Blurmond_Geometry empty = blurmond_geometry(0, 0, 1.0f, 1.0f, blades(2.0f));
    EXPECT_EQ(empty.width, 4);  // margins of 2 around nothing
}

}  // namespace
}  // namespace nb
