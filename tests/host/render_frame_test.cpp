// The smart-render callbacks of one frame: the part of a layer handed out, checkouts counted until checked
// in, and the misuse a host refuses.
#include "host/render_frame.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace nb::host {
namespace {

constexpr World_Format argb8{Pixel_Depth::bits_8, Channel_Order::argb, false};

TEST(RenderFrame, HandsOutTheRequestedPartOfALayerAndCountsItUntilCheckedIn) {
    Headless_Host host(1);
    Effect_Instance effect(host);
    const PF_ProgPtr ref = effect.in_data()->effect_ref;
    Host_World input(20, 10, argb8, -5, 0), background(4, 4, argb8), output(10, 10, argb8);
    input.set_rgba(5, 3, {1, 1, 1, 1});  // frame position (0, 3)
    Render_Frame frame(effect, &input, &output, {{6, &background}});
    EXPECT_THROW(Render_Frame(effect, nullptr, &output, {}), std::logic_error) << "one frame at a time";

    PF_PreRenderExtra* pre = frame.pre_render_extra(PF_LRect{0, 0, 10, 10});
    const auto checkout = [&](PF_ParamIndex index, A_long id, const PF_LRect& rect, PF_CheckoutResult& result) {
        PF_RenderRequest request{};
        request.rect = rect;
        return pre->cb->checkout_layer(ref, index, id, &request, 0, 1, 25, &result);
    };
    PF_CheckoutResult result{};
    ASSERT_EQ(checkout(0, 100, PF_LRect{-8, 2, 3, 30}, result), PF_Err_NONE);
    EXPECT_EQ(result.result_rect.left, -5) << "the request within the layer";
    ASSERT_EQ(checkout(10, 10, PF_LRect{0, 0, 4, 4}, result), PF_Err_NONE);
    EXPECT_EQ(result.max_result_rect.right, 0) << "a parameter holding no layer";
    EXPECT_EQ(checkout(6, 10, PF_LRect{0, 0, 4, 4}, result), PF_Err_BAD_CALLBACK_PARAM) << "ids are unique";
    pre->output->result_rect = PF_LRect{2, 2, 6, 5};

    PF_SmartRenderExtra* smart = frame.smart_render_extra();
    PF_EffectWorld* world = nullptr;
    ASSERT_EQ(smart->cb->checkout_layer_pixels(ref, 100, &world), PF_Err_NONE);
    ASSERT_NE(world, nullptr);
    EXPECT_EQ(world->origin_x, -5);
    EXPECT_EQ(world->origin_y, 2);
    EXPECT_EQ(world->width, 8);
    EXPECT_EQ(world->height, 8);
    EXPECT_EQ(reinterpret_cast<const uint8_t*>(world->data)[1 * world->rowbytes + 5 * 4], 255) << "frame (0, 3)";
    EXPECT_EQ(frame.pixels_checked_out(), 1);
    EXPECT_EQ(smart->cb->checkout_layer_pixels(ref, 10, &world), PF_Err_NONE);
    EXPECT_EQ(world, nullptr) << "no layer, no pixels";
    EXPECT_EQ(smart->cb->checkout_layer_pixels(ref, 3, &world), PF_Err_BAD_CALLBACK_PARAM) << "never requested";
    EXPECT_EQ(smart->cb->checkin_layer_pixels(ref, 100), PF_Err_NONE);
    EXPECT_EQ(frame.pixels_checked_out(), 0);
    EXPECT_EQ(smart->cb->checkin_layer_pixels(ref, 100), PF_Err_BAD_CALLBACK_PARAM) << "checked in twice";
}

}  // namespace
}  // namespace nb::host
