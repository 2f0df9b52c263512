// Layer parameters checked out as layers, and the pixel formats only other hosts report.
#include "base/after_effects/helper/ae_layer_checkout.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>
#include <utility>

#include "base/exception.h"
#include "tests/support/ae_binding_rig.h"
#include "tests/support/assertion_check.h"
#include "tests/support/log_sandbox.h"

namespace nb {
namespace {

// What the world suites of these tests report for every world.
PF_PixelFormat reported_format = PF_PixelFormat_ARGB32;

PF_Err world_pixel_format(const PF_EffectWorld*, PF_PixelFormat* format) { return *format = reported_format, PF_Err_NONE; }
PF_Err premiere_pixel_format(PF_EffectWorld*, PrPixelFormat* format) { return *format = reported_format, PF_Err_NONE; }
const PF_WorldSuite2 world_suite{nullptr, nullptr, world_pixel_format};
const PF_PixelFormatSuite1 pixel_format_suite{nullptr, nullptr, nullptr, nullptr, premiere_pixel_format, nullptr, nullptr, nullptr};

// A rig whose host reports formats as set above, with one layer parameter at index 1, chosen as a 3 by 2
// world of 8-bit pixels when a world is given.
void offer_world_suites(test::Ae_Binding_Rig& rig, const PF_EffectWorld* chosen = nullptr) {
    rig.host().register_suite(kPFWorldSuite, kPFWorldSuiteVersion2, &world_suite);
    rig.host().register_suite(kPFPixelFormatSuite, kPFPixelFormatSuiteVersion1, &pixel_format_suite);
    PF_ParamDef layer{};
    layer.param_type = PF_Param_LAYER;
    rig.in_data()->inter.add_param(rig.in_data()->effect_ref, -1, &layer);
    if (chosen) host::choose_layer(rig.stored(1), *chosen);
}

unsigned char pixels[32];

PF_EffectWorld world(PF_RationalScale aspect) {
    PF_EffectWorld w{};
    w.data = reinterpret_cast<PF_PixelPtr>(pixels);
    std::tie(w.width, w.height, w.rowbytes, w.origin_y, w.pix_aspect_ratio) = std::tuple(3, 2, 16, -7, aspect);
    return w;
}

// A layer not chosen gives none; a chosen one stays checked out while any holder has it. The formats
// each host renders are checked through the plug-in binary; Premiere's ARGB at 8 bits is After Effects'
// own, BGRA from After Effects has no variant.
TEST(AeLayerCheckout, ChosenLayerStaysCheckedOutWhileHeldAndFailuresLeaveNothingCheckedOut) {
    test::Log_Sandbox log;
    test::Ae_Binding_Rig empty;
    offer_world_suites(empty);
    EXPECT_EQ(checkout_layer(empty.in_data(), 1), nullptr);
    test::Ae_Binding_Rig rig(host::Effect_Settings{.downsample_x = PF_RationalScale{1, 2}, .downsample_y = PF_RationalScale{1, 4}});
    PF_EffectWorld w = world(PF_RationalScale{2, 1});
    offer_world_suites(rig, &w);
    reported_format = PF_PixelFormat_ARGB64;
    std::shared_ptr<Layer_Typeless> layer = checkout_layer(rig.in_data(), 1);
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(std::tuple(layer->y, layer->horizontal_factor, layer->vertical_factor, layer->pixel_aspect, layer->format),
              std::tuple(int64_t{-7}, 0.5f, 0.25f, 2.0f, format_argb_16));
    std::shared_ptr<Layer_Typeless> second_holder = std::exchange(layer, nullptr);
    EXPECT_EQ(rig.effect().checked_out(), 1);
    second_holder.reset();
    EXPECT_EQ(rig.effect().checked_out(), 0);
    w.pix_aspect_ratio = PF_RationalScale{3, 0};  // no denominator: square pixels
    host::choose_layer(rig.stored(1), w);
    EXPECT_EQ(checkout_layer(rig.in_data(), 1)->pixel_aspect, 1.0f);

    reported_format = PF_PixelFormat_BGRA32;
    EXPECT_THROW(pixel_format_of_world(rig.in_data(), &w), Exception_Assert);
    test::Ae_Binding_Rig premiere(host::Effect_Settings{.appl_id = host::app_id_premiere});
    offer_world_suites(premiere);
    reported_format = PrPixelFormat_ARGB_4444_8u;
    EXPECT_EQ(pixel_format_of_world(premiere.in_data(), &w), format_argb_8);

    // The plug-in binary's tests refuse checkouts and format queries; too old an API is refused before
    // any checkout, and a world without a variant undoes it.
    test::Ae_Binding_Rig old_api(host::Effect_Settings{.version_major = 12, .version_minor = 4});
    offer_world_suites(old_api);
    EXPECT_TRUE(test::fails_assertion([&] { checkout_layer(old_api.in_data(), 1); }, "ASSERT_FAIL",
                                      "base/after_effects/helper/ae_layer_checkout"));
    EXPECT_EQ(old_api.host().faults().calls("checkout_param"), 0);
    reported_format = PF_PixelFormat_GPU_BGRA128;
    EXPECT_THROW(checkout_layer(rig.in_data(), 1), Exception_Assert);
    reported_format = PF_PixelFormat_ARGB32;
    EXPECT_EQ(rig.effect().checked_out(), 0);
}

}  // namespace
}  // namespace nb
