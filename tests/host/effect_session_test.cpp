// The effect session: parameters found by name and set in the host's units (choices and angles show in
// the plug-in's display-mode renders), layers lent for one frame, and what a smart render leaves where
// the effect draws nothing.
#include "host/effect_session.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/support/plugin_binary.h"

namespace nb::host {
namespace {

constexpr World_Format argb8{Pixel_Depth::bits_8, Channel_Order::argb, false};

struct EffectSessionTest : testing::Test {
    EffectSessionTest() {
        EXPECT_EQ(session.global_setup(), PF_Err_NONE);
        EXPECT_EQ(session.params_setup(), PF_Err_NONE);
    }
    test::Plugin_Binary binary{false};
    Effect_Session session{binary.library()};
};

TEST_F(EffectSessionTest, SetsValuesByNameInTheHostsUnits) {
    EXPECT_EQ(session.index_of("background layer"), session.index_of("background_layer"));
    EXPECT_THROW(session.index_of("no such control"), std::out_of_range);
    const int32_t show = session.index_of("show");
    EXPECT_THROW(session.set_choice(show, 4), std::invalid_argument) << "\"show\" has four entries";
    const int32_t color = session.index_of("outside color");
    session.set_color(color, 1.0, 0.5, -1.0);
    const PF_Pixel value = session.effect().parameter(color).u.cd.value;
    EXPECT_EQ(value.red, 255);
    EXPECT_EQ(value.green, 128);
    EXPECT_EQ(value.blue, 0);
    EXPECT_THROW(session.set_float(show, 2.0), std::invalid_argument) << "a choice is no number";
}

TEST_F(EffectSessionTest, LendsAFramesLayersForThatFrameOnly) {
    Host_World input(30, 20, argb8), output(30, 20, argb8), background(5, 5, argb8);
    const int32_t index = session.index_of("background layer");
    session.set_choice(session.index_of("show"), 1);  // the iris alone: quick, and reads no layer
    ASSERT_EQ(session.render(Frame_Layers{&input, &output, {{index, &background}}}, Render_Path::non_smart),
              PF_Err_NONE);
    EXPECT_EQ(session.in_data()->width, 30);
    EXPECT_EQ(session.effect().parameter(0).u.ld.data, input.world()->data);
    EXPECT_EQ(session.effect().parameter(index).u.ld.data, background.world()->data);
    EXPECT_NE(session.effect().parameter(index).u.ld.reserved0, nullptr) << "a chosen layer is marked as chosen";
    ASSERT_EQ(session.render(Frame_Layers{&input, &output, {}}, Render_Path::smart), PF_Err_NONE);
    EXPECT_EQ(session.effect().parameter(index).u.ld.data, nullptr) << "the next frame has no background";
    EXPECT_EQ(session.effect().parameter(index).u.ld.reserved0, nullptr);
}

TEST_F(EffectSessionTest, WhatTheEffectDoesNotCoverComesOutTransparent) {
    Host_World input(6, 4, argb8, 2, 3), output(12, 10, argb8);
    for (int64_t y = 0; y < 10; ++y)
        for (int64_t x = 0; x < 12; ++x) output.set_rgba(x, y, {1, 1, 1, 1});
    session.set_choice(session.index_of("show"), 3);  // the selection alone stays inside the source
    ASSERT_EQ(session.render(Frame_Layers{&input, &output, {}}, Render_Path::smart), PF_Err_NONE);
    for (int64_t y = 0; y < 10; ++y)
        for (int64_t x = 0; x < 12; ++x) {
            const bool covered = x >= 2 && x < 8 && y >= 3 && y < 7;
            ASSERT_EQ(output.rgba(x, y)[0] == 0.0 && output.rgba(x, y)[3] == 0.0, !covered) << x << ", " << y;
        }
    const Pre_Render_Result pre = session.pre_render(Frame_Layers{&input, &output, {}}, PF_LRect{50, 50, 60, 60});
    EXPECT_EQ(pre.result_rect.right - pre.result_rect.left, 0);
    const int64_t outputs = session.host().faults().calls("checkout_output");
    EXPECT_EQ(session.render_smart(Frame_Layers{&input, &output, {}}, PF_LRect{50, 50, 60, 60}), PF_Err_NONE);
    EXPECT_EQ(session.host().faults().calls("checkout_output"), outputs) << "nothing to draw: no smart render";
}

}  // namespace
}  // namespace nb::host
