// Layer numbering and clearing a world; the command renders at reduced resolution cover the frame.
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
