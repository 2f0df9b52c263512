// Tests of block averaging for reduced-resolution renders, against sums worked out by hand.
#include "tools/image_downsample.h"

#include <gtest/gtest.h>

namespace nb::tools {
namespace {

TEST(ImageDownsample, AveragesBlocksWeightedByAlphaAndRoundsTheSizeUp) {
    // 3 x 2 pixels by 2: blocks {(0,0),(1,0),(0,1),(1,1)} and the cut-short column {(2,0),(2,1)}.
    Image_Rgba image(3, 2);
    const float values[6][4] = {{1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 1, 0}, {9, 9, 9, 0}, {0.5f, 0.5f, 0.5f, 0}, {0.1f, 0.2f, 0.3f, 0}};
    for (int i = 0; i < 6; ++i) std::copy(values[i], values[i] + 4, image.pixel(i % 3, i / 3));
    image.x = -3;
    image.frame_width = 5;
    const Image_Rgba half = downsample_image(image, 2);
    ASSERT_EQ(half.width, 2);
    ASSERT_EQ(half.height, 1);
    // First block: the two opaque pixels decide the colour (red and green, half each); the transparent
    // 9s lend nothing; alpha is 2 of 4.
    const float first[4] = {0.5f, 0.5f, 0.0f, 0.5f};
    // Second block (the third column) has no alpha at all: the plain mean of (0, 0, 1) and (0.1, 0.2, 0.3).
    const float second[4] = {0.05f, 0.1f, 0.65f, 0.0f};
    for (int k = 0; k < 4; ++k) {
        EXPECT_FLOAT_EQ(half.pixel(0, 0)[k], first[k]) << "component " << k;
        EXPECT_FLOAT_EQ(half.pixel(1, 0)[k], second[k]) << "component " << k;
    }
    EXPECT_EQ(half.x, -2) << "-3 / 2 rounds down";
    EXPECT_EQ(half.frame_width, 3) << "5 / 2 rounds up";
}

}  // namespace
}  // namespace nb::tools
