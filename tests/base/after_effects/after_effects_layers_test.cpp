// Host records to plug-in records: layer numbering, the frame at reduced resolution, clearing a world.
#include "base/after_effects/after_effects_layers.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "base/after_effects/after_effects_parameter_factory.h"
#include "base/host_context.h"

namespace nb {
namespace {

// A plug-in whose parameters are a layer, a colour with alpha, the input layer and another layer.
class Numbered_Plugin : public Plugin {
public:
    explicit Numbered_Plugin(const std::vector<Parameter*>& list) : Plugin(make_host_context(Plugin_Host::after_effects)), list_(list) {}
    const std::vector<Parameter*>& parameters() const override { return list_; }
    Rect layer_extent(const Context&, const Layer_Extents&) const override { return {}; }
    Rect layer_extent_for_name(const Context&, const std::string&, const Rect&, const Layer_Extents&) const override { return {}; }

private:
    std::vector<Parameter*> list_;
};

TEST(AfterEffectsLayers, NumberingCountsTwoForAColourWithAlphaAndStopsAtTheInputLayer) {
    PF_InData in_data{};
    Parameter_Factory_After_Effects factory(&in_data, nullptr, nullptr);
    const auto first = factory.create_layer(Layer_Parameter_Description("first", "", 5));
    const auto color = factory.create_rgba(Rgba_Parameter_Description("color", "", 6, 7));
    const auto input = factory.create_layer(Layer_Parameter_Description("input", "", 0));
    const auto second = factory.create_layer(Layer_Parameter_Description("second", "", 8));
    const Numbered_Plugin plugin(factory.parameter_list());
    const std::vector<Extra_Layer> layers = extra_layers(plugin);
    ASSERT_EQ(layers.size(), 1u) << "the layer standing for the input ends the extra layers";
    EXPECT_EQ(layers[0].host_index, 1);
    // 1 first, 2 and 3 the colour, 4 the input, 5 second.
    const Parameter* expected[] = {nullptr, first.get(), color.get(), nullptr, input.get(), second.get(), nullptr};
    for (int32_t index = 0; index < 7; ++index) EXPECT_EQ(parameter_at_host_index(plugin, index), expected[index]) << index;
}

// Exact: a third of 1920 is 640 where a rounded float third would give 639; an undefined factor counts as 1.
TEST(AfterEffectsLayers, FrameAndExtentsAreAtTheCurrentResolution) {
    PF_InData in_data{};
    in_data.width = 1920;
    in_data.height = 1080;
    in_data.downsample_x = PF_RationalScale{1, 3};
    in_data.downsample_y = PF_RationalScale{1, 2};
    in_data.output_origin_x = 7;
    in_data.output_origin_y = -3;
    in_data.pixel_aspect_ratio = PF_RationalScale{9, 10};
    const Layer_Description f = frame_description(&in_data);
    EXPECT_EQ(std::tuple(f.width, f.height, f.x, f.y, f.horizontal_factor, f.vertical_factor, f.pixel_aspect),
              std::tuple(640, 540, 7, -3, 1.0f / 3.0f, 0.5f, 0.9f));
    PF_CheckoutResult result{};
    result.max_result_rect = PF_LRect{-10, -5, 200, 100};
    result.par = PF_RationalScale{4, 3};
    const Layer_Extent e = layer_extent_of(&in_data, result);
    EXPECT_EQ(std::tuple(e.rect, e.downsample_x, e.downsample_y, e.pixel_aspect), std::tuple(Rect{-10, 200, -5, 100}, 1.0f / 3.0f, 0.5f, 4.0f / 3.0f));
    in_data.downsample_x = PF_RationalScale{1, 0};
    EXPECT_EQ(std::pair(frame_description(&in_data).width, frame_description(&in_data).horizontal_factor), std::pair(int64_t{1920}, 1.0f));
}

TEST(AfterEffectsLayers, ClearingAWorldLeavesItsRowPaddingAlone) {
    constexpr int64_t pixel_bytes = 8, width = 3, height = 2, row_bytes = width * pixel_bytes + 5;
    std::vector<unsigned char> memory(row_bytes * height, 0xab);
    PF_EffectWorld world{};
    world.data = reinterpret_cast<PF_PixelPtr>(memory.data());
    world.width = width;
    world.height = height;
    world.rowbytes = row_bytes;
    clear_world(world, pixel_bytes);
    for (int64_t i = 0; i < row_bytes * height; ++i) EXPECT_EQ(memory[i], i % row_bytes < width * pixel_bytes ? 0 : 0xab) << "byte " << i;
}

}  // namespace
}  // namespace nb
