// The host's ANSI block: sprintf bounded to a message buffer.
#include "host/ansi_callbacks.h"

#include <gtest/gtest.h>

#include <string>

namespace nb::host {
namespace {

TEST(AnsiCallbacks, SprintfFormatsIntoTheMessageBuffer) {
    const PF_ANSICallbacks ansi = ansi_callbacks();
    A_char buffer[PF_MAX_EFFECT_MSG_LEN + 1] = {};
    EXPECT_EQ(ansi.sprintf(buffer, "%s - V%d.%d", "name", 1, 5), 11);
    EXPECT_EQ(std::string(buffer), "name - V1.5");
}

TEST(AnsiCallbacks, SprintfNeverWritesPastTheMessageBuffer) {
    const PF_ANSICallbacks ansi = ansi_callbacks();
    A_char buffer[PF_MAX_EFFECT_MSG_LEN + 1 + 8];
    std::string(sizeof buffer, '#').copy(buffer, sizeof buffer);
    const std::string long_text(1000, 'x');
    ansi.sprintf(buffer, "%s", long_text.c_str());
    EXPECT_EQ(std::string(buffer).size(), static_cast<size_t>(PF_MAX_EFFECT_MSG_LEN));
    EXPECT_EQ(buffer[PF_MAX_EFFECT_MSG_LEN + 1], '#');
}

}  // namespace
}  // namespace nb::host
