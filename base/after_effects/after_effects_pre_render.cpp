// The layer requests of smart pre-render.
#include "base/after_effects/after_effects_pre_render.h"

#include <string>

#include "base/after_effects/after_effects_layers.h"
#include "base/after_effects/helper/ae_check.h"

namespace nb {
namespace {

PF_RenderRequest probe_request() {
    PF_RenderRequest request{};
    request.field = PF_Field_FRAME;
    request.channel_mask = PF_ChannelMask_ARGB;
    request.preserve_rgb_of_zero_alpha = true;
    return request;
}

PF_CheckoutResult checkout(PF_InData* in_data, PF_PreRenderExtra* extra, PF_ParamIndex index, A_long id,
                           const PF_RenderRequest& request) {
    PF_CheckoutResult result{};
    check_pf(extra->cb->checkout_layer(in_data->effect_ref, index, id, &request, in_data->current_time,
                                       in_data->time_step, in_data->time_scale, &result),
             pf_err_message);
    return result;
}

}  // namespace

void smart_pre_render(PF_InData* in_data, PF_PreRenderExtra* extra, const Plugin& plugin,
                      const Plugin::Context& context) {
    const std::string input_name = plugin.host_context().input_layer_name();
    const std::vector<Extra_Layer> extras = extra_layers(plugin);
    const PF_RenderRequest probe = probe_request();

    Layer_Extents extents;
    extents[input_name] = layer_extent_of(in_data, checkout(in_data, extra, 0, probe_id_offset, probe));
    for (const Extra_Layer& layer : extras) {
        const PF_CheckoutResult result =
            checkout(in_data, extra, layer.host_index, layer.host_index + probe_id_offset, probe);
        extents[layer.key] = layer_extent_of(in_data, result);
    }

    const Rect output = rect_from_host(extra->input->output_request.rect);
    PF_RenderRequest request = extra->input->output_request;
    request.rect = rect_to_host(plugin.layer_extent_for_name(context, input_name, output, extents));
    checkout(in_data, extra, 0, 0, request);
    for (const Extra_Layer& layer : extras) {
        request.rect = rect_to_host(plugin.layer_extent_for_name(context, layer.key, output, extents));
        checkout(in_data, extra, layer.host_index, layer.host_index, request);
    }

    const Rect possible = plugin.layer_extent(context, extents);
    extra->output->max_result_rect = rect_to_host(possible);
    extra->output->result_rect = rect_to_host(clamped_into(output, possible));
    extra->output->solid = false;
}

}  // namespace nb
