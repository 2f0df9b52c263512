// The host context built for a known host: its four answers.
#include "base/host_context.h"

#include <gtest/gtest.h>

namespace nb {
namespace {

class HostContext : public ::testing::TestWithParam<Plugin_Host> {};

TEST_P(HostContext, AnswersTheHostTheApiAndTheFixedLayerNames) {
    const Host_Context context = make_host_context(GetParam());
    EXPECT_EQ(context.plugin_host(), GetParam());
    EXPECT_EQ(context.plugin_api(), Plugin_Api::after_effects_api);
    EXPECT_EQ(context.input_layer_name(), "Source");
    EXPECT_EQ(context.output_layer_name(), "Output");
}

INSTANTIATE_TEST_SUITE_P(Hosts, HostContext,
                         ::testing::Values(Plugin_Host::after_effects, Plugin_Host::premiere,
                                           Plugin_Host::other_host));

TEST(HostContext, EmptyQueryIsABadFunctionCall) {
    const Host_Context context;
    EXPECT_THROW(context.plugin_host(), std::bad_function_call);
}

}  // namespace
}  // namespace nb
