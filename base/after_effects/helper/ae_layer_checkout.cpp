// Checkout of layer parameters and depth channels, and the translation of world formats.
#include "base/after_effects/helper/ae_layer_checkout.h"

#include <string>
#include <utility>

#include "base/after_effects/helper/ae_check.h"
#include "base/after_effects/helper/ae_host.h"
#include "base/after_effects/helper/ae_param_holder.h"
#include "base/after_effects/helper/ae_suite.h"
#include "base/exception.h"
#include "base/log.h"

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

struct Depth_Lookup {
    PF_Boolean found = 0;
    PF_ChannelRef ref{};
    PF_ChannelDesc desc{};

    bool usable() const { return found != 0 && desc.data_type == PF_DataType_FLOAT; }
};

Depth_Lookup find_depth_channel(PF_InData* in_data, PF_ParamIndex index) {
    Ae_Suite<PF_ChannelSuite1> suite(in_data->pica_basicP, kPFChannelSuite1, kPFChannelSuiteVersion1);
    Depth_Lookup lookup;
    check_pf(suite->PF_GetLayerChannelTypedRefAndDesc(in_data->effect_ref, index, PF_ChannelType_DEPTH, &lookup.found,
                                                      &lookup.ref, &lookup.desc),
             pf_err_message);
    return lookup;
}

// A channel chunk checked out at the call's current time; checked back in, suite and all, when the
// last holder lets go. Made before the checkout, so no allocation can fail between checkout and holder.
class Checked_Out_Channel {
public:
    Checked_Out_Channel(PF_InData* in_data, const PF_ChannelRef& ref) : in_data_(in_data), ref_(ref) {}

    void check_out() {
        Ae_Suite<PF_ChannelSuite1> suite(in_data_->pica_basicP, kPFChannelSuite1, kPFChannelSuiteVersion1);
        check_pf(suite->PF_CheckoutLayerChannel(in_data_->effect_ref, &ref_, in_data_->current_time,
                                                in_data_->time_step, in_data_->time_scale, PF_DataType_FLOAT,
                                                &chunk_),
                 pf_err_message);
        checked_out_ = true;
        layer.data = static_cast<Pixel_Gray_32f*>(chunk_.dataPV);
        layer.row_bytes = chunk_.row_bytesL;
        layer.width = chunk_.widthL;
        layer.height = chunk_.heightL;
        // The channel belongs to the frame being rendered, so it shares the frame's resolution.
        layer.horizontal_factor = ratio(in_data_->downsample_x, 1.0f);
        layer.vertical_factor = ratio(in_data_->downsample_y, 1.0f);
        layer.pixel_aspect = ratio(in_data_->pixel_aspect_ratio, 1.0f);
    }

    ~Checked_Out_Channel() {
        if (!checked_out_) return;
        try {
            Ae_Suite<PF_ChannelSuite1> suite(in_data_->pica_basicP, kPFChannelSuite1, kPFChannelSuiteVersion1);
            const PF_Err error = suite->PF_CheckinLayerChannel(in_data_->effect_ref, &ref_, &chunk_);
            if (error != PF_Err_NONE) {
                log(std::string(warning_prefix) + "PF_CheckinLayerChannel failed. Error code: " +
                        std::to_string(error) + "\n",
                    2);
            }
        } catch (...) {
            // A refused suite has logged its warning already; a release must not throw.
        }
    }
    Checked_Out_Channel(const Checked_Out_Channel&) = delete;
    Checked_Out_Channel& operator=(const Checked_Out_Channel&) = delete;

    Layer<Pixel_Gray_32f> layer;

private:
    PF_InData* in_data_;
    PF_ChannelRef ref_;
    PF_ChannelChunk chunk_{};
    bool checked_out_ = false;
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

bool has_depth_channel(PF_InData* in_data, PF_ParamIndex index) { return find_depth_channel(in_data, index).usable(); }

std::shared_ptr<Layer<Pixel_Gray_32f>> checkout_depth_channel(PF_InData* in_data, PF_ParamIndex index) {
    Depth_Lookup lookup = find_depth_channel(in_data, index);
    if (!lookup.usable()) return nullptr;
    auto held = std::make_shared<Checked_Out_Channel>(in_data, lookup.ref);
    held->check_out();
    return std::shared_ptr<Layer<Pixel_Gray_32f>>(held, &held->layer);
}

}  // namespace nb
