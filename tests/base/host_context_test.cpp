// The host context: a made one answers for its host, an empty one refuses loudly.
#include "base/host_context.h"

#include <gtest/gtest.h>

namespace nb {
namespace {

TEST(HostContext, MadeContextAnswersItsHostAndEmptyOneThrows) {
    for (const Plugin_Host host : {Plugin_Host::after_effects, Plugin_Host::premiere, Plugin_Host::other_host}) {
        const Host_Context context = make_host_context(host);
        EXPECT_EQ(context.plugin_host(), host);
        EXPECT_EQ(context.input_layer_name(), "Source");
    }
    EXPECT_THROW(Host_Context().plugin_host(), std::bad_function_call);
}

}  // namespace
}  // namespace nb
