// Checkout of layer parameters and the translation of world formats.
#include "base/after_effects/helper/ae_layer_checkout.h"

#include <utility>

#include "base/after_effects/helper/ae_check.h"
#include "base/after_effects/helper/ae_host.h"
#include "base/after_effects/helper/ae_param_holder.h"
#include "base/after_effects/helper/ae_suite.h"
#include "base/exception.h"

namespace nb {
namespace {

Pixel_Format premiere_format(const PF_InData* in_data, PF_EffectWorld* world) {
    Ae_Suite<PF_PixelFormatSuite1> suite(in_data->pica_basicP, kPFPixelFormatSuite, kPFPixelFormatSuiteVersion1);
    PrPixelFormat format = PrPixelFormat_Invalid;
    check_pf(suite->GetPixelFormat(world, &format), pf_err_message);
    switch (format) {
        case PrPixelFormat_BGRA_4444_32f: return format_bgra_32f;
        case PrPixelFormat_BGRA_4444_16u: return format_bgra_16;
        case PrPixelFormat_BGRA_4444_8u: return format_bgra_8;
        case PrPixelFormat_ARGB_4444_8u: return format_argb_8;
        default: ASSERT_INCOMPLETE;
    }
}

Pixel_Format world_suite_format(const PF_InData* in_data, const PF_EffectWorld* world) {
    Ae_Suite<PF_WorldSuite2> suite(in_data->pica_basicP, kPFWorldSuite, kPFWorldSuiteVersion2);
    PF_PixelFormat format = PF_PixelFormat_INVALID;
    check_pf(suite->PF_GetPixelFormat(world, &format), pf_err_message);
    switch (format) {
        case PF_PixelFormat_ARGB128: return format_argb_32f;
        case PF_PixelFormat_ARGB64: return format_argb_16;
        case PF_PixelFormat_ARGB32: return format_argb_8;
        default: ASSERT_INCOMPLETE;  // device worlds (PF_PixelFormat_GPU_BGRA128) included
    }
}

float ratio(const PF_RationalScale& scale, float when_undefined) {
    return scale.den == 0 ? when_undefined : static_cast<float>(scale.num) / static_cast<float>(scale.den);
}

// A checked-out layer parameter and the record made from it; destroying it checks the parameter in.
struct Checked_Out_Layer {
    Layer_Typeless layer;
    std::shared_ptr<PF_ParamDef> param;
};

}  // namespace

Pixel_Format pixel_format_of_world(const PF_InData* in_data, PF_EffectWorld* world) {
    ASSERT(world != nullptr);
    return host_is_premiere(in_data) ? premiere_format(in_data, world) : world_suite_format(in_data, world);
}

Layer_Typeless layer_from_world(const PF_InData* in_data, const PF_EffectWorld& world, const Pixel_Format& format) {
    Layer_Typeless layer;
    layer.width = world.width;
    layer.height = world.height;
    layer.x = world.origin_x;
    layer.y = world.origin_y;
    layer.horizontal_factor = ratio(in_data->downsample_x, 1.0f);
    layer.vertical_factor = ratio(in_data->downsample_y, 1.0f);
    layer.pixel_aspect = ratio(world.pix_aspect_ratio, 1.0f);
    layer.premultiplied = false;
    layer.data = world.data;
    layer.row_bytes = world.rowbytes;
    layer.format = format;
    return layer;
}

std::shared_ptr<Layer_Typeless> checkout_layer(PF_InData* in_data, PF_ParamIndex index) {
    if (!api_version_at_least(in_data, 12, 5))
        ASSERT_FAIL("this version of the After Effects api is to old and not supported");
    // Everything that may fail to allocate comes before the checkout, which is then never left dangling.
    auto held = std::make_shared<Checked_Out_Layer>();
    auto def = std::make_unique<PF_ParamDef>();
    check_pf(in_data->inter.checkout_param(in_data->effect_ref, index, in_data->current_time, in_data->time_step,
                                           in_data->time_scale, def.get()),
             pf_err_message);
    held->param = hold_checked_out_param(in_data, std::move(def));
    PF_LayerDef& world = held->param->u.ld;
    if (world.data == nullptr) return nullptr;
    held->layer = layer_from_world(in_data, world, pixel_format_of_world(in_data, &world));
    return std::shared_ptr<Layer_Typeless>(held, &held->layer);
}

}  // namespace nb
