// The smart-render callbacks of one frame: extents, requests, pixels and their checkout accounting.
#include "host/render_frame.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace nb::host {
namespace {

constexpr World_Format argb8{Pixel_Depth::bits_8, Channel_Order::argb, false};

bool same(const PF_LRect& a, const PF_LRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

testing::AssertionResult rect_is(const PF_LRect& got, const PF_LRect& want) {
    if (same(got, want)) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "got (" << got.left << ", " << got.top << ", " << got.right << ", "
                                       << got.bottom << "), want (" << want.left << ", " << want.top << ", "
                                       << want.right << ", " << want.bottom << ")";
}

struct RenderFrameCallbacks : testing::Test {
    Headless_Host host{1};
    Effect_Instance effect{host};
    Host_World input{20, 10, argb8, -5, 0};  // frame columns -5 .. 14
    Host_World background{4, 4, argb8};
    Host_World output{10, 10, argb8};
    Render_Frame frame{effect, &input, &output, {{6, &background}}};
    PF_ProgPtr ref = effect.in_data()->effect_ref;

    PF_Err checkout(PF_PreRenderExtra* extra, PF_ParamIndex index, A_long id, const PF_LRect& rect,
                    PF_CheckoutResult* result) {
        PF_RenderRequest request{};
        request.rect = rect;
        return extra->cb->checkout_layer(ref, index, id, &request, 0, 1, 25, result);
    }
};

TEST_F(RenderFrameCallbacks, CheckoutsReportTheLayersExtentAndTheRequestInsideIt) {
    PF_PreRenderExtra* extra = frame.pre_render_extra(PF_LRect{0, 0, 10, 10});
    EXPECT_TRUE(rect_is(extra->input->output_request.rect, PF_LRect{0, 0, 10, 10}));
    EXPECT_EQ(extra->input->bitdepth, 8);
    PF_CheckoutResult result{};
    ASSERT_EQ(checkout(extra, 0, 10000, PF_LRect{-8, 2, 3, 30}, &result), PF_Err_NONE);
    EXPECT_TRUE(rect_is(result.max_result_rect, PF_LRect{-5, 0, 15, 10}));
    EXPECT_TRUE(rect_is(result.result_rect, PF_LRect{-5, 2, 3, 10}));
    EXPECT_EQ(result.par.num, 1);
    EXPECT_EQ(result.par.den, 1u);

    ASSERT_EQ(checkout(extra, 6, 6, PF_LRect{0, 0, 4, 4}, &result), PF_Err_NONE);
    EXPECT_TRUE(rect_is(result.max_result_rect, PF_LRect{0, 0, 4, 4}));
    ASSERT_EQ(checkout(extra, 10, 10, PF_LRect{0, 0, 4, 4}, &result), PF_Err_NONE);
    EXPECT_TRUE(rect_is(result.max_result_rect, PF_LRect{0, 0, 0, 0})) << "a parameter holding no layer";
    EXPECT_EQ(checkout(extra, 6, 6, PF_LRect{0, 0, 4, 4}, &result), PF_Err_BAD_CALLBACK_PARAM)
        << "checkout ids are unique within a frame";
    ASSERT_EQ(frame.checkouts().size(), 3u);
    EXPECT_EQ(frame.checkouts()[0].id, 10000);
    EXPECT_EQ(frame.checkouts()[2].index, 10);
}

TEST_F(RenderFrameCallbacks, PixelsAreTheRequestedPartOfTheLayerAndAreCountedUntilCheckedIn) {
    input.set_rgba(5, 3, {1, 1, 1, 1});  // frame position (0, 3)
    PF_PreRenderExtra* pre = frame.pre_render_extra(PF_LRect{0, 0, 10, 10});
    PF_CheckoutResult result{};
    ASSERT_EQ(checkout(pre, 0, 0, PF_LRect{-1, 2, 6, 8}, &result), PF_Err_NONE);
    ASSERT_EQ(checkout(pre, 10, 10, PF_LRect{0, 0, 4, 4}, &result), PF_Err_NONE);
    pre->output->result_rect = PF_LRect{2, 2, 6, 5};

    PF_SmartRenderExtra* smart = frame.smart_render_extra();
    EXPECT_TRUE(rect_is(smart->input->output_request.rect, PF_LRect{2, 2, 6, 5}));
    PF_EffectWorld* world = nullptr;
    ASSERT_EQ(smart->cb->checkout_layer_pixels(ref, 0, &world), PF_Err_NONE);
    ASSERT_NE(world, nullptr);
    EXPECT_EQ(world->origin_x, -1);
    EXPECT_EQ(world->origin_y, 2);
    EXPECT_EQ(world->width, 7);
    EXPECT_EQ(world->height, 6);
    EXPECT_EQ(reinterpret_cast<const uint8_t*>(world->data)[1 * world->rowbytes + 1 * 4], 255)
        << "frame (0, 3) is row 1, column 1 of the view";
    EXPECT_EQ(frame.pixels_checked_out(), 1);

    PF_EffectWorld* none = reinterpret_cast<PF_EffectWorld*>(&world);
    EXPECT_EQ(smart->cb->checkout_layer_pixels(ref, 10, &none), PF_Err_NONE);
    EXPECT_EQ(none, nullptr) << "no layer, no pixels";
    EXPECT_EQ(smart->cb->checkout_layer_pixels(ref, 3, &none), PF_Err_BAD_CALLBACK_PARAM) << "never requested";

    PF_EffectWorld* out = nullptr;
    ASSERT_EQ(smart->cb->checkout_output(ref, &out), PF_Err_NONE);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(out->origin_x, 2);
    EXPECT_EQ(out->width, 4);
    EXPECT_EQ(out->height, 3);

    EXPECT_EQ(smart->cb->checkin_layer_pixels(ref, 0), PF_Err_NONE);
    EXPECT_EQ(frame.pixels_checked_out(), 0);
    EXPECT_EQ(smart->cb->checkin_layer_pixels(ref, 0), PF_Err_BAD_CALLBACK_PARAM) << "checked in twice";
    EXPECT_EQ(frame.pixel_checkouts(), 1);
    EXPECT_EQ(frame.output_checkouts(), 1);
}

TEST(RenderFrame, BelongsToItsEffectWhileItLives) {
    Headless_Host host(1);
    Effect_Instance effect(host);
    Host_World output(2, 2, argb8);
    {
        Render_Frame frame(effect, nullptr, &output, {});
        EXPECT_EQ(effect.records().frame, &frame);
        EXPECT_THROW(Render_Frame(effect, nullptr, &output, {}), std::logic_error);
    }
    EXPECT_EQ(effect.records().frame, nullptr);
    PF_PreRenderCallbacks callbacks{};
    {
        Render_Frame frame(effect, nullptr, &output, {});
        callbacks = *frame.pre_render_extra(PF_LRect{0, 0, 2, 2})->cb;
    }
    PF_RenderRequest request{};
    PF_CheckoutResult result{};
    EXPECT_EQ(callbacks.checkout_layer(effect.in_data()->effect_ref, 0, 0, &request, 0, 1, 1, &result),
              PF_Err_BAD_CALLBACK_PARAM)
        << "outside a frame";
}

}  // namespace
}  // namespace nb::host
