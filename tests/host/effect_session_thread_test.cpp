// Two effects of one loaded plug-in rendering at the same time, each on its own thread, as a host with
// threaded rendering does.
#include "host/effect_session.h"

#include <gtest/gtest.h>

#include <thread>

#include "tests/support/plugin_binary.h"

namespace nb::host {
namespace {

TEST(EffectSessionThreads, ConcurrentRendersOfTwoEffectsMatchTheSerialOnes) {
    test::Plugin_Binary binary;
    const World_Format format{Pixel_Depth::bits_16, Channel_Order::argb, false};
    Effect_Session first(binary.library()), second(binary.library());
    for (Effect_Session* session : {&first, &second}) {
        ASSERT_EQ(session->global_setup(), PF_Err_NONE);
        ASSERT_EQ(session->params_setup(), PF_Err_NONE);
        session->set_choice(session->index_of("show"), 1);
    }
    Host_World input(96, 64, format), serial(96, 64, format), out_first(96, 64, format), out_second(96, 64, format);
    ASSERT_EQ(first.render(Frame_Layers{&input, &serial, {}}, Render_Path::smart), PF_Err_NONE);

    PF_Err first_result = -1, second_result = -1;
    std::thread other([&] { second_result = second.render(Frame_Layers{&input, &out_second, {}}, Render_Path::smart); });
    first_result = first.render(Frame_Layers{&input, &out_first, {}}, Render_Path::non_smart);
    other.join();
    ASSERT_EQ(first_result, PF_Err_NONE);
    ASSERT_EQ(second_result, PF_Err_NONE);
    for (int64_t y = 0; y < 64; ++y)
        for (int64_t x = 0; x < 96; ++x) {
            ASSERT_EQ(out_first.rgba(x, y), serial.rgba(x, y)) << "pixel " << x << ", " << y;
            ASSERT_EQ(out_second.rgba(x, y), serial.rgba(x, y)) << "pixel " << x << ", " << y;
        }
}

}  // namespace
}  // namespace nb::host
