// Pixel formats of worlds, layer parameters checked out as layers, and depth channels.
#include "base/after_effects/helper/ae_layer_checkout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/exception.h"
#include "tests/support/ae_binding_rig.h"
#include "tests/support/assertion_check.h"
#include "tests/support/log_sandbox.h"

namespace nb {
namespace {

// What the world suites of these tests report for every world, and how they answer.
PF_PixelFormat reported_format = PF_PixelFormat_ARGB32;
PF_Err format_error = PF_Err_NONE;

PF_Err world_pixel_format(const PF_EffectWorld*, PF_PixelFormat* format) {
    *format = reported_format;
    return format_error;
}
PF_Err premiere_pixel_format(PF_EffectWorld*, PrPixelFormat* format) {
    *format = reported_format;
    return format_error;
}
const PF_WorldSuite2 world_suite{nullptr, nullptr, world_pixel_format};
const PF_PixelFormatSuite1 pixel_format_suite{nullptr, nullptr, nullptr, nullptr, premiere_pixel_format,
                                              nullptr, nullptr, nullptr};

// A rig whose host reports formats as set above, with one layer parameter at index 1.
class AeLayerCheckout : public ::testing::Test {
protected:
    void SetUp() override {
        reported_format = PF_PixelFormat_ARGB32;
        format_error = PF_Err_NONE;
    }

    static void offer_world_suites(test::Ae_Binding_Rig& rig) {
        rig.host().register_suite(kPFWorldSuite, kPFWorldSuiteVersion2, &world_suite);
        rig.host().register_suite(kPFPixelFormatSuite, kPFPixelFormatSuiteVersion1, &pixel_format_suite);
        PF_ParamDef layer{};
        layer.param_type = PF_Param_LAYER;
        rig.in_data()->inter.add_param(rig.in_data()->effect_ref, -1, &layer);
    }

    // A 3 by 2 world of 8-bit pixels.
    PF_EffectWorld world() {
        PF_EffectWorld w{};
        w.data = reinterpret_cast<PF_PixelPtr>(pixels.data());
        w.width = 3;
        w.height = 2;
        w.rowbytes = 16;
        w.origin_x = 5;
        w.origin_y = -7;
        w.pix_aspect_ratio = PF_RationalScale{2, 1};
        return w;
    }

    test::Log_Sandbox log;
    std::vector<unsigned char> pixels = std::vector<unsigned char>(32, 0);
};

TEST_F(AeLayerCheckout, WorldFormatsTranslatePerHost) {
    struct Case {
        bool premiere;
        PF_PixelFormat host_format;
        const Pixel_Format* expected;  // null: not supported
    };
    const Case cases[] = {
        {false, PF_PixelFormat_ARGB32, &format_argb_8},          {false, PF_PixelFormat_ARGB64, &format_argb_16},
        {false, PF_PixelFormat_ARGB128, &format_argb_32f},       {false, PF_PixelFormat_GPU_BGRA128, nullptr},
        {false, PF_PixelFormat_BGRA32, nullptr},                 {true, PrPixelFormat_BGRA_4444_32f, &format_bgra_32f},
        {true, PrPixelFormat_BGRA_4444_16u, &format_bgra_16},    {true, PrPixelFormat_BGRA_4444_8u, &format_bgra_8},
        {true, PrPixelFormat_ARGB_4444_8u, &format_argb_8},      {true, PrPixelFormat_ARGB_4444_16u, nullptr},
    };
    for (const Case& c : cases) {
        test::Ae_Binding_Rig rig(c.premiere ? test::premiere_settings() : host::Effect_Settings{});
        offer_world_suites(rig);
        reported_format = c.host_format;
        PF_EffectWorld w = world();
        if (c.expected != nullptr) {
            EXPECT_EQ(pixel_format_of_world(rig.in_data(), &w), *c.expected) << std::hex << c.host_format;
        } else {
            EXPECT_THROW(pixel_format_of_world(rig.in_data(), &w), Exception_Assert) << std::hex << c.host_format;
        }
    }
}

TEST_F(AeLayerCheckout, EmptyLayerParameterGivesNoneAndIsCheckedIn) {
    test::Ae_Binding_Rig rig;
    offer_world_suites(rig);
    EXPECT_EQ(checkout_layer(rig.in_data(), 1), nullptr);
    EXPECT_EQ(rig.effect().checked_out(), 0);
    EXPECT_EQ(rig.host().faults().calls("checkout_param"), 1);
    EXPECT_EQ(rig.host().faults().calls("checkin_param"), 1);
}

TEST_F(AeLayerCheckout, ChosenLayerStaysCheckedOutWhileHeld) {
    host::Effect_Settings settings;
    settings.downsample_x = PF_RationalScale{1, 2};
    settings.downsample_y = PF_RationalScale{1, 4};
    test::Ae_Binding_Rig rig(settings);
    offer_world_suites(rig);
    reported_format = PF_PixelFormat_ARGB64;
    host::choose_layer(rig.stored(1), world());
    {
        std::shared_ptr<Layer_Typeless> layer = checkout_layer(rig.in_data(), 1);
        ASSERT_NE(layer, nullptr);
        EXPECT_EQ(layer->data, pixels.data());
        EXPECT_EQ(layer->height, 2);
        EXPECT_EQ(layer->row_bytes, 16);
        EXPECT_EQ(layer->y, -7);
        EXPECT_EQ(layer->horizontal_factor, 0.5f);
        EXPECT_EQ(layer->vertical_factor, 0.25f);
        EXPECT_EQ(layer->pixel_aspect, 2.0f);
        EXPECT_FALSE(layer->premultiplied);
        EXPECT_EQ(layer->format, format_argb_16);
        std::shared_ptr<Layer_Typeless> second_holder = layer;
        layer.reset();
        EXPECT_EQ(rig.effect().checked_out(), 1);
    }
    EXPECT_EQ(rig.effect().checked_out(), 0);

    PF_EffectWorld square = world();
    square.pix_aspect_ratio = PF_RationalScale{3, 0};  // no denominator: square pixels
    host::choose_layer(rig.stored(1), square);
    EXPECT_EQ(checkout_layer(rig.in_data(), 1)->pixel_aspect, 1.0f);
}

TEST_F(AeLayerCheckout, FailuresLeaveNothingCheckedOut) {
    test::Ae_Binding_Rig old_api(host::Effect_Settings{.version_major = 12, .version_minor = 4});
    offer_world_suites(old_api);
    EXPECT_TRUE(test::fails_assertion([&] { checkout_layer(old_api.in_data(), 1); }, "ASSERT_FAIL",
                                      "base/after_effects/helper/ae_layer_checkout"));
    EXPECT_NE(log_instance().remembered().back().find("this version of the After Effects api is to old and not supported"),
              std::string::npos);
    EXPECT_EQ(old_api.host().faults().calls("checkout_param"), 0);

    test::Ae_Binding_Rig rig;
    offer_world_suites(rig);
    host::choose_layer(rig.stored(1), world());
    rig.host().faults().inject("checkout_param", PF_Interrupt_CANCEL, 1);
    EXPECT_THROW(checkout_layer(rig.in_data(), 1), Exception_Abort);
    rig.host().faults().inject("checkout_param", PF_Err_INTERNAL_STRUCT_DAMAGED, 1);
    EXPECT_TRUE(test::throws_with<Exception_After_Effects>([&] { checkout_layer(rig.in_data(), 1); },
                                                           "After Effects api Error (PF_Err)",
                                                           PF_Err_INTERNAL_STRUCT_DAMAGED));
    // A world of a format without a variant or a failing format query: the checkout is undone.
    reported_format = PF_PixelFormat_GPU_BGRA128;
    EXPECT_THROW(checkout_layer(rig.in_data(), 1), Exception_Assert);
    reported_format = PF_PixelFormat_ARGB32;
    format_error = PF_Interrupt_CANCEL;
    EXPECT_THROW(checkout_layer(rig.in_data(), 1), Exception_Abort);
    EXPECT_EQ(rig.effect().checked_out(), 0);
}

TEST_F(AeLayerCheckout, DepthChannelOnlyOfFloatsAndCheckedInWithItsLastHolder) {
    test::Ae_Binding_Rig rig;
    offer_world_suites(rig);
    EXPECT_FALSE(has_depth_channel(rig.in_data(), 1));
    EXPECT_EQ(checkout_depth_channel(rig.in_data(), 1), nullptr);
    rig.effect().parameter_state().set_depth_channel(1, 4, 3, PF_DataType_DOUBLE, 0.5f);
    EXPECT_FALSE(has_depth_channel(rig.in_data(), 1));
    EXPECT_EQ(checkout_depth_channel(rig.in_data(), 1), nullptr);
    rig.effect().parameter_state().set_depth_channel(1, 4, 3, PF_DataType_FLOAT, 7.5f);
    EXPECT_TRUE(has_depth_channel(rig.in_data(), 1));
    {
        auto depth = checkout_depth_channel(rig.in_data(), 1);
        ASSERT_NE(depth, nullptr);
        EXPECT_EQ(depth->width, 4);
        EXPECT_EQ(depth->height, 3);
        EXPECT_EQ(depth->row_bytes, 16);
        EXPECT_EQ(depth->at(3, 2).v(), 7.5f);
        EXPECT_EQ(rig.effect().parameter_state().channels_checked_out(), 1);
    }
    EXPECT_EQ(rig.effect().parameter_state().channels_checked_out(), 0);

    rig.host().faults().inject("PF_CheckoutLayerChannel", PF_Interrupt_CANCEL, 1);
    EXPECT_THROW(checkout_depth_channel(rig.in_data(), 1), Exception_Abort);
    rig.host().faults().inject("PF_GetLayerChannelTypedRefAndDesc", PF_Err_INVALID_CALLBACK, 1);
    EXPECT_THROW(has_depth_channel(rig.in_data(), 1), Exception_After_Effects);
}

}  // namespace
}  // namespace nb
