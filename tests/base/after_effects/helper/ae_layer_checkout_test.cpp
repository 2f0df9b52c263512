// Pixel formats of worlds and layer parameters checked out as layers.
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

// The formats each host renders are checked through the plug-in binary; these two are the others a
// host could report: Premiere's ARGB at 8 bits is After Effects' own, BGRA from After Effects has no variant.
TEST_F(AeLayerCheckout, WorldFormatsTranslatePerHost) {
    test::Ae_Binding_Rig premiere(test::premiere_settings());
    offer_world_suites(premiere);
    reported_format = PrPixelFormat_ARGB_4444_8u;
    PF_EffectWorld w = world();
    EXPECT_EQ(pixel_format_of_world(premiere.in_data(), &w), format_argb_8);
    test::Ae_Binding_Rig after_effects;
    offer_world_suites(after_effects);
    reported_format = PF_PixelFormat_BGRA32;
    EXPECT_THROW(pixel_format_of_world(after_effects.in_data(), &w), Exception_Assert);
}

// A layer not chosen gives none; a chosen one stays checked out while any holder has it.
TEST_F(AeLayerCheckout, ChosenLayerStaysCheckedOutWhileHeld) {
    host::Effect_Settings settings;
    settings.downsample_x = PF_RationalScale{1, 2};
    settings.downsample_y = PF_RationalScale{1, 4};
    test::Ae_Binding_Rig rig(settings);
    offer_world_suites(rig);
    EXPECT_EQ(checkout_layer(rig.in_data(), 1), nullptr);
    EXPECT_EQ(rig.effect().checked_out(), 0);
    reported_format = PF_PixelFormat_ARGB64;
    host::choose_layer(rig.stored(1), world());
    {
        std::shared_ptr<Layer_Typeless> layer = checkout_layer(rig.in_data(), 1);
        ASSERT_NE(layer, nullptr);
        EXPECT_EQ(layer->y, -7);
        EXPECT_EQ(layer->horizontal_factor, 0.5f);
        EXPECT_EQ(layer->vertical_factor, 0.25f);
        EXPECT_EQ(layer->pixel_aspect, 2.0f);
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

}  // namespace
}  // namespace nb
