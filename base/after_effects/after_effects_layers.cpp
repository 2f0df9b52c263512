// Conversions between the host's layer records and the plug-in's, and the numbering of layer parameters.
#include "base/after_effects/after_effects_layers.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "base/parameter_index_counter.h"
#include "base/parameter_kind.h"

namespace nb {
namespace {

A_long to_host(int64_t edge) {
    constexpr int64_t low = std::numeric_limits<A_long>::min();
    constexpr int64_t high = std::numeric_limits<A_long>::max();
    return static_cast<A_long>(std::clamp(edge, low, high));
}

float ratio(A_long num, A_u_long den) { return den == 0 ? 1.0f : static_cast<float>(num) / static_cast<float>(den); }

// Exact, so that a third of 1920 is 640 and not the 639 a rounded float factor could give; truncates
// toward zero.
int64_t scaled(A_long size, const PF_RationalScale& factor) {
    if (factor.den == 0) return size;
    return static_cast<int64_t>(size) * factor.num / static_cast<int64_t>(factor.den);
}

// Host controls a parameter occupies, by the numbering every host factory applies.
int32_t host_controls(const Parameter* parameter) {
    if (dynamic_cast<const Rgba_Parameter*>(parameter)) return host_control_count<Rgba_Parameter>();
    if (dynamic_cast<const Custom_Parameter*>(parameter)) return host_control_count<Custom_Parameter>();
    return 1;
}

// Calls visit(layer parameter, host index) in declaration order until it returns false; a layer parameter
// with identifier 0 stands for the input layer, whose host index is 0.
template <class Visit>
void for_each_layer_parameter(const Plugin& plugin, Visit&& visit) {
    int32_t index = 1;
    for (const Parameter* parameter : plugin.parameters()) {
        if (dynamic_cast<const Layer_Parameter*>(parameter)) {
            const int32_t host_index = parameter->description().disc_id == 0 ? 0 : index;
            if (!visit(*parameter, host_index)) return;
        }
        index += host_controls(parameter);
    }
}

}  // namespace

Rect rect_from_host(const PF_LRect& r) { return Rect{r.left, r.right, r.top, r.bottom}; }

PF_LRect rect_to_host(const Rect& r) {
    return PF_LRect{to_host(r.left), to_host(r.top), to_host(r.right), to_host(r.bottom)};
}

std::vector<Extra_Layer> extra_layers(const Plugin& plugin) {
    std::vector<Extra_Layer> layers;
    for_each_layer_parameter(plugin, [&](const Parameter& parameter, int32_t host_index) {
        if (host_index < 1) return false;
        layers.push_back(Extra_Layer{parameter.description().key, host_index});
        return true;
    });
    return layers;
}

const Parameter* parameter_at_host_index(const Plugin& plugin, int32_t index) {
    int32_t next = 1;
    for (const Parameter* parameter : plugin.parameters()) {
        if (next == index) return parameter;
        next += host_controls(parameter);
    }
    return nullptr;
}

Layer_Description frame_description(const PF_InData* in_data) {
    Layer_Description frame;
    frame.horizontal_factor = ratio(in_data->downsample_x.num, in_data->downsample_x.den);
    frame.vertical_factor = ratio(in_data->downsample_y.num, in_data->downsample_y.den);
    frame.width = scaled(in_data->width, in_data->downsample_x);
    frame.height = scaled(in_data->height, in_data->downsample_y);
    frame.x = in_data->output_origin_x;
    frame.y = in_data->output_origin_y;
    frame.pixel_aspect = ratio(in_data->pixel_aspect_ratio.num, in_data->pixel_aspect_ratio.den);
    frame.premultiplied = false;
    return frame;
}

Layer_Extent layer_extent_of(const PF_InData* in_data, const PF_CheckoutResult& result) {
    Layer_Extent extent;
    extent.rect = rect_from_host(result.max_result_rect);
    extent.downsample_x = ratio(in_data->downsample_x.num, in_data->downsample_x.den);
    extent.downsample_y = ratio(in_data->downsample_y.num, in_data->downsample_y.den);
    extent.pixel_aspect = ratio(result.par.num, result.par.den);
    return extent;
}

void centre_on_frame(Layer_Typeless& layer, int64_t frame_width, int64_t frame_height) {
    layer.x = (frame_width - layer.width) / 2;
    layer.y = (frame_height - layer.height) / 2;
}

void clear_world(const PF_EffectWorld& world, int64_t pixel_bytes) {
    if (world.data == nullptr || world.width < 1) return;
    auto* first_row = reinterpret_cast<std::byte*>(world.data);
    for (int64_t row = 0; row < world.height; ++row)
        std::memset(first_row + row * world.rowbytes, 0, static_cast<std::size_t>(world.width * pixel_bytes));
}

}  // namespace nb
