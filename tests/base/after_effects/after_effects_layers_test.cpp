// Host records to plug-in records: layer numbering, the frame at reduced resolution, clearing a world.
#include "base/after_effects/after_effects_layers.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "base/host_context.h"
#include "tests/support/memory_parameter_factory.h"

namespace nb {
namespace {

// A plug-in declaring a layer, a colour with alpha, the input layer itself and another layer.
class Numbered_Plugin : public Plugin {
public:
    explicit Numbered_Plugin(Parameter_Factory& factory) : Plugin(make_host_context(Plugin_Host::after_effects)) {
        first = factory.create_layer(Layer_Parameter_Description("first", "", 5));
        color = factory.create_rgba(Rgba_Parameter_Description("color", "", 6, 7));
        input = factory.create_layer(Layer_Parameter_Description("input", "", 0));
        second = factory.create_layer(Layer_Parameter_Description("second", "", 8));
        list = factory.parameter_list();
    }
    const std::vector<Parameter*>& parameters() const override { return list; }
    Rect layer_extent(const Context&, const Layer_Extents&) const override { return {}; }
    Rect layer_extent_for_name(const Context&, const std::string&, const Rect&, const Layer_Extents&) const override {
        return {};
    }

    std::unique_ptr<Layer_Parameter> first, input, second;
    std::unique_ptr<Rgba_Parameter> color;
    std::vector<Parameter*> list;
};

TEST(AfterEffectsLayers, NumberingCountsTwoForAColourWithAlphaAndStopsAtTheInputLayer) {
    test::Memory_Parameter_Factory factory;
    const Numbered_Plugin plugin(factory);
    const std::vector<Extra_Layer> layers = extra_layers(plugin);
    ASSERT_EQ(layers.size(), 1u) << "the layer standing for the input ends the extra layers";
    EXPECT_EQ(layers[0].host_index, 1);
    EXPECT_EQ(host_index_of_layer(plugin, "Source"), 0);
    EXPECT_EQ(host_index_of_layer(plugin, "input"), 0);
    EXPECT_EQ(host_index_of_layer(plugin, "second"), 5);  // 1 first, 2 and 3 colour, 4 input, 5
    EXPECT_EQ(host_index_of_layer(plugin, "nothing"), -1);
    EXPECT_EQ(parameter_at_host_index(plugin, 2), plugin.color.get());
    EXPECT_EQ(parameter_at_host_index(plugin, 3), nullptr) << "the alpha control belongs to the colour";
    EXPECT_EQ(parameter_at_host_index(plugin, 5), plugin.second.get());
    EXPECT_EQ(parameter_at_host_index(plugin, 6), nullptr);
}

TEST(AfterEffectsLayers, FrameAndExtentsAreAtTheCurrentResolution) {
    PF_InData in_data{};
    in_data.width = 1920;
    in_data.height = 1080;
    in_data.downsample_x = PF_RationalScale{1, 3};
    in_data.downsample_y = PF_RationalScale{1, 2};
    in_data.output_origin_x = 7;
    in_data.output_origin_y = -3;
    in_data.pixel_aspect_ratio = PF_RationalScale{9, 10};
    const Layer_Description frame = frame_description(&in_data);
    EXPECT_EQ(frame.width, 640) << "exact, where a rounded float third would give 639";
    EXPECT_EQ(frame.height, 540);
    EXPECT_EQ(frame.x, 7);
    EXPECT_EQ(frame.y, -3);
    EXPECT_FLOAT_EQ(frame.horizontal_factor, 1.0f / 3.0f);
    EXPECT_FLOAT_EQ(frame.vertical_factor, 0.5f);
    EXPECT_FLOAT_EQ(frame.pixel_aspect, 0.9f);

    PF_CheckoutResult result{};
    result.max_result_rect = PF_LRect{-10, -5, 200, 100};
    result.par = PF_RationalScale{4, 3};
    const Layer_Extent extent = layer_extent_of(&in_data, result);
    EXPECT_EQ(extent.rect, (Rect{-10, 200, -5, 100}));
    EXPECT_FLOAT_EQ(extent.downsample_x, 1.0f / 3.0f);
    EXPECT_FLOAT_EQ(extent.pixel_aspect, 4.0f / 3.0f);

    in_data.downsample_x = PF_RationalScale{1, 0};
    EXPECT_EQ(frame_description(&in_data).width, 1920) << "an undefined factor counts as 1";
    EXPECT_EQ(frame_description(&in_data).horizontal_factor, 1.0f);
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
    for (int64_t y = 0; y < height; ++y)
        for (int64_t i = 0; i < row_bytes; ++i)
            EXPECT_EQ(memory[y * row_bytes + i], i < width * pixel_bytes ? 0 : 0xab) << "row " << y << " byte " << i;
}

}  // namespace
}  // namespace nb
