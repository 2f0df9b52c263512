// The effect session: parameters found by name and set by kind, layers lent to the effect, frame sizes.
#include "host/effect_session.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/support/plugin_binary.h"

namespace nb::host {
namespace {

struct EffectSessionTest : testing::Test {
    EffectSessionTest() {
        EXPECT_EQ(session.global_setup(), PF_Err_NONE);
        EXPECT_EQ(session.params_setup(), PF_Err_NONE);
    }
    test::Plugin_Binary binary;
    Effect_Session session{binary.library()};
};

TEST_F(EffectSessionTest, FindsParametersByNameOrUnderscoredName) {
    EXPECT_EQ(session.index_of("show"), 1);
    EXPECT_EQ(session.index_of("radius"), 2);
    EXPECT_EQ(session.index_of("background layer"), 6);
    EXPECT_EQ(session.index_of("background_layer"), 6);
    EXPECT_THROW(session.index_of("no such control"), std::out_of_range);
    EXPECT_EQ(session.out_data().num_params, 52);
}

TEST_F(EffectSessionTest, SetsValuesInTheHostsUnitsAndRefusesOtherKinds) {
    session.set_choice(1, 2);
    EXPECT_EQ(session.effect().parameter(1).u.pd.value, 3) << "the host counts entries from 1";
    EXPECT_THROW(session.set_choice(1, 4), std::invalid_argument) << "\"show\" has four entries";
    session.set_angle(session.index_of("angle"), 90.0);
    EXPECT_EQ(session.effect().parameter(session.index_of("angle")).u.ad.value, 90 * 65536);
    session.set_color(session.index_of("outside color"), 1.0, 0.5, 0.0);
    const PF_Pixel color = session.effect().parameter(session.index_of("outside color")).u.cd.value;
    EXPECT_EQ(color.red, 255);
    EXPECT_EQ(color.green, 128);
    EXPECT_EQ(color.blue, 0);
    EXPECT_THROW(session.set_float(1, 2.0), std::invalid_argument);
    EXPECT_THROW(session.set_checkbox(2, true), std::invalid_argument);
    EXPECT_THROW(session.set_int(2, 3), std::invalid_argument);
}

TEST_F(EffectSessionTest, LendsTheFramesLayersToTheEffectsParameters) {
    const World_Format format{Pixel_Depth::bits_8, Channel_Order::argb, false};
    Host_World input(30, 20, format), output(30, 20, format), background(5, 5, format);
    session.set_choice(1, 1);  // the iris alone: quick, and reads no layer
    ASSERT_EQ(session.render(Frame_Layers{&input, &output, {{6, &background}}}, Render_Path::non_smart), PF_Err_NONE);
    EXPECT_EQ(session.in_data()->width, 30);
    EXPECT_EQ(session.in_data()->height, 20);
    EXPECT_EQ(session.effect().parameter(0).u.ld.data, input.world()->data);
    EXPECT_EQ(session.effect().parameter(6).u.ld.data, background.world()->data);
    EXPECT_NE(session.effect().parameter(6).u.ld.reserved0, nullptr) << "a chosen layer is marked as chosen";
    EXPECT_EQ(session.effect().parameter(10).u.ld.data, nullptr);
    ASSERT_EQ(session.render(Frame_Layers{&input, &output, {}}, Render_Path::smart), PF_Err_NONE);
    EXPECT_EQ(session.effect().parameter(6).u.ld.data, nullptr) << "the next frame has no background";
    EXPECT_EQ(session.effect().parameter(6).u.ld.reserved0, nullptr);
}

TEST_F(EffectSessionTest, WhatTheEffectDoesNotCoverComesOutTransparent) {
    const World_Format format{Pixel_Depth::bits_8, Channel_Order::argb, false};
    Host_World input(6, 4, format, 2, 3), output(12, 10, format);
    for (int64_t y = 0; y < 10; ++y)
        for (int64_t x = 0; x < 12; ++x) output.set_rgba(x, y, {1, 1, 1, 1});
    session.set_choice(1, 3);  // the selection alone stays inside the source: frame (2, 3) to (8, 7)
    ASSERT_EQ(session.render(Frame_Layers{&input, &output, {}}, Render_Path::smart), PF_Err_NONE);
    for (int64_t y = 0; y < 10; ++y)
        for (int64_t x = 0; x < 12; ++x) {
            const bool covered = x >= 2 && x < 8 && y >= 3 && y < 7;
            ASSERT_EQ(output.rgba(x, y)[0] == 0.0 && output.rgba(x, y)[3] == 0.0, !covered)
                << "pixel " << x << ", " << y;
        }
}

TEST_F(EffectSessionTest, ASmartRenderWithNothingToDrawIsSkipped) {
    const World_Format format{Pixel_Depth::bits_8, Channel_Order::argb, false};
    Host_World input(10, 10, format), output(10, 10, format);
    const Pre_Render_Result pre = session.pre_render(Frame_Layers{&input, &output, {}}, PF_LRect{50, 50, 60, 60});
    EXPECT_EQ(pre.result_rect.right - pre.result_rect.left, 0);
    EXPECT_EQ(session.render_smart(Frame_Layers{&input, &output, {}}, PF_LRect{50, 50, 60, 60}), PF_Err_NONE);
    EXPECT_EQ(session.host().faults().calls("checkout_output"), 0);
}

}  // namespace
}  // namespace nb::host
