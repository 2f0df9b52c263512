// Smart pre-render of the effect against the host's checkout callbacks: requests, extents and results.
#include "base/after_effects/after_effects_pre_render.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "base/after_effects/after_effects_layers.h"
#include "base/host_context.h"
#include "effect/blurmond_plugin.h"
#include "host/render_frame.h"
#include "tests/support/assertion_check.h"
#include "tests/support/log_sandbox.h"
#include "tests/support/memory_parameter_factory.h"

namespace nb {
namespace {

using host::Host_World;

constexpr host::World_Format argb8{host::Pixel_Depth::bits_8, host::Channel_Order::argb, false};

testing::AssertionResult rect_is(const PF_LRect& got, const PF_LRect& want) {
    if (got.left == want.left && got.top == want.top && got.right == want.right && got.bottom == want.bottom)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "got (" << got.left << ", " << got.top << ", " << got.right << ", "
                                       << got.bottom << "), want (" << want.left << ", " << want.top << ", "
                                       << want.right << ", " << want.bottom << ")";
}

// The effect over parameters in memory, pre-rendered by the headless host's callbacks. The source covers
// (-10, -10) to (200, 200) of the 190 x 190 frame; a 64 x 48 background layer is chosen.
struct AfterEffectsPreRender : testing::Test {
    AfterEffectsPreRender() {
        host::Effect_Settings settings;
        settings.width = 190;
        settings.height = 190;
        effect = std::make_unique<host::Effect_Instance>(headless, settings);
    }

    host::Render_Frame::Checkout checkout_with_id(A_long id) const {
        for (const auto& c : frame().checkouts())
            if (c.id == id) return c;
        ADD_FAILURE() << "no checkout with id " << id;
        return {};
    }

    PF_PreRenderExtra* run(const PF_LRect& request) {
        frame_.reset();  // one frame at a time per effect
        frame_ = std::make_unique<host::Render_Frame>(*effect, &source, &output,
                                                      std::map<int32_t, const Host_World*>{{6, &background}});
        PF_PreRenderExtra* extra = frame_->pre_render_extra(request);
        PF_InData* in_data = effect->in_data();
        Plugin::Context context;
        context.frame_description = [in_data] { return frame_description(in_data); };
        smart_pre_render(in_data, extra, plugin, context);
        return extra;
    }
    const host::Render_Frame& frame() const { return *frame_; }

    test::Log_Sandbox log;
    host::Headless_Host headless{1};
    std::unique_ptr<host::Effect_Instance> effect;
    test::Memory_Parameter_Factory factory;
    Blurmond_Plugin plugin{make_host_context(Plugin_Host::after_effects), factory};
    const Blurmond_Parameters& p = plugin.blurmond_parameters();
    Host_World source{210, 210, argb8, -10, -10};
    Host_World background{64, 48, argb8};
    Host_World output{190, 190, argb8};
    std::unique_ptr<host::Render_Frame> frame_;
};

TEST_F(AfterEffectsPreRender, ProbesEveryLayerThenRequestsTheInputGrownByTheReach) {
    p.radius->set_value(5.0);
    PF_PreRenderExtra* extra = run(PF_LRect{0, 0, 100, 50});
    ASSERT_EQ(frame().checkouts().size(), 8u) << "probe and checkout of the input and three extra layers";
    for (const A_long probe : {10000, 10006, 10010, 10022}) {
        const auto c = checkout_with_id(probe);
        EXPECT_EQ(c.index, probe - 10000);
        EXPECT_TRUE(rect_is(c.request.rect, PF_LRect{0, 0, 0, 0})) << "probe " << probe;
        EXPECT_EQ(c.request.channel_mask, PF_ChannelMask_ARGB);
        EXPECT_TRUE(c.request.preserve_rgb_of_zero_alpha);
    }
    // Reach 5 with no softening: 5 more pixels on every side.
    EXPECT_TRUE(rect_is(checkout_with_id(0).request.rect, PF_LRect{-5, -5, 105, 55}));
    EXPECT_TRUE(rect_is(checkout_with_id(6).request.rect, PF_LRect{0, 0, 64, 48})) << "extra layers come whole";
    EXPECT_TRUE(rect_is(checkout_with_id(10).request.rect, PF_LRect{0, 0, 0, 0})) << "no layer chosen";
    EXPECT_TRUE(rect_is(extra->output->max_result_rect, PF_LRect{-10, -10, 200, 200}));
    EXPECT_TRUE(rect_is(extra->output->result_rect, PF_LRect{0, 0, 100, 50}));
    EXPECT_FALSE(extra->output->solid);
    EXPECT_EQ(extra->output->pre_render_data, nullptr);
}

TEST_F(AfterEffectsPreRender, ExtendingTheNormalBlurGrowsTheOutputByTheReach) {
    p.radius->set_value(5.0);
    p.outside_extend->set_value(true);
    EXPECT_TRUE(rect_is(run(PF_LRect{0, 0, 100, 50})->output->max_result_rect, PF_LRect{-15, -15, 205, 205}));
    p.show->set_value(show_iris);
    EXPECT_TRUE(rect_is(run(PF_LRect{0, 0, 100, 50})->output->max_result_rect, PF_LRect{-10, -10, 200, 200}))
        << "the previews stay inside the source";
}

TEST_F(AfterEffectsPreRender, WithoutRadiusTheInputRequestIsTheOutputRequest) {
    p.radius->set_value(0.0);
    p.iris_soften->set_value(40.0);
    run(PF_LRect{3, 4, 50, 60});
    EXPECT_TRUE(rect_is(checkout_with_id(0).request.rect, PF_LRect{3, 4, 50, 60}));
}

TEST_F(AfterEffectsPreRender, ARequestOutsideTheExtentGivesAnEmptyResultOnTheNearEdge) {
    PF_PreRenderExtra* extra = run(PF_LRect{300, 250, 400, 400});
    EXPECT_TRUE(rect_is(extra->output->result_rect, PF_LRect{200, 200, 200, 200}));
    extra = run(PF_LRect{-50, 20, -20, 40});
    EXPECT_TRUE(rect_is(extra->output->result_rect, PF_LRect{-10, 20, -10, 40}));
}

TEST_F(AfterEffectsPreRender, AFailingCheckoutEndsThePreRenderWithTheHostsCode) {
    headless.faults().inject("checkout_layer", PF_Err_INVALID_INDEX, 1);
    EXPECT_TRUE(test::throws_with<Exception_After_Effects>([&] { run(PF_LRect{0, 0, 10, 10}); }, nullptr,
                                                           PF_Err_INVALID_INDEX));
    headless.faults().inject("checkout_layer", PF_Interrupt_CANCEL, 1);
    EXPECT_THROW(run(PF_LRect{0, 0, 10, 10}), Exception_Abort);
}

}  // namespace
}  // namespace nb
