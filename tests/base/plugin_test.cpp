// The abstract plug-in's defaults: no change on its own, and an output that covers only the input.
#include "base/plugin.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/exception.h"

namespace nb {
namespace {

// The least an effect must add: its parameter list.
class Bare_Plugin : public Plugin {
public:
    using Plugin::Plugin;
    const std::vector<Parameter*>& parameters() const override { return none_; }

private:
    std::vector<Parameter*> none_;
};

const Layer_Extents extents{{"Source", {Rect{-10, 200, -10, 200}, 0.5f, 0.5f, 1.0f}},
                            {"background_layer", {Rect{0, 1920, 0, 1080}, 0.5f, 0.5f, 1.0f}}};

// Output covers the input; the input is requested where output is wanted, other layers whole.
TEST(Plugin, ExtentsFollowTheInputAndUnknownLayersFailLoudly) {
    const Bare_Plugin plugin(make_host_context(Plugin_Host::after_effects));
    EXPECT_EQ(plugin.layer_extent({}, extents), (Rect{-10, 200, -10, 200}));
    EXPECT_EQ(plugin.layer_extent_for_name({}, "Source", Rect{0, 100, 0, 50}, extents), (Rect{0, 100, 0, 50}));
    EXPECT_EQ(plugin.layer_extent_for_name({}, "background_layer", Rect{0, 100, 0, 50}, extents),
              (Rect{0, 1920, 0, 1080}));
    EXPECT_THROW(plugin.layer_extent_for_name({}, "alternative_iris", Rect{0, 1, 0, 1}, extents), Exception_Assert);
    EXPECT_THROW(plugin.layer_extent({}, Layer_Extents{}), Exception_Assert);
}

TEST(Plugin, DefaultsChangeNothingAndAnswerNo) {
    Bare_Plugin plugin(make_host_context(Plugin_Host::after_effects));
    // A render with no data and no context functions must not reach for either.
    plugin.render({}, {}, Layer_Typeless{}, Layer_Typeless{}, Extra_Layers{}, format_argb_8);
    plugin.update_params_ui({});
    plugin.user_changed_param({}, {}, "radius");
    EXPECT_FALSE(plugin.varies_without_param_change());
}

}  // namespace
}  // namespace nb
