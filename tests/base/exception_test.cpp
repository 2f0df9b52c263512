// The exceptions' log entries: a warning naming the host's code, an assertion naming its expression,
// place and call stack, nothing for a cancel.
#include "base/exception.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "base/log.h"
#include "tests/support/assertion_check.h"
#include "tests/support/log_sandbox.h"

namespace nb {
namespace {

using test::Log_Sandbox;

// Codes worked out by hand: 'S!Fd' is 0x53214664, four characters with the first highest; Premiere's
// suiteError_InvalidParms is 0x80000001.
TEST(Exception, CodeCarryingTypesLogOneWarningNamingTheirCode) {
    const std::pair<void (*)(), std::string> cases[] = {
        {[] { Exception_After_Effects("api", 4, "base/x", 500); },
         "After Effects Error: PF_Err_OUT_OF_MEMORY (4). Thrown in file base/x line 500. api\n"},
        {[] { Exception_After_Effects("m", -1, "F", 1); }, "After Effects Error: unknown error (-1). Thrown in file F line 1. m\n"},
        {[] { Exception_Ae_Suite("m", 0x53214664, "G", 3); },
         "After Effects Suite Error: kSPSuiteNotFoundError (1394689636). Thrown in file G line 3. m\n"},
        {[] { Exception_Ae_Suite("m", 12345, "G", 3); }, "After Effects Suite Error:  (12345). Thrown in file G line 3. m\n"},
        {[] { Exception_Premiere("pr", -2147483647, "H", 99); },
         "Premiere Error with code: suiteError_InvalidParms (-2147483647). Thrown in file H line 99. pr\n"},
        {[] { Exception_Premiere("pr", 7, "H", 99); }, "Premiere Error with code:  (7). Thrown in file H line 99. pr\n"},
        {[] { Exception_After_Effects("cancel", 517, "F", 1); }, ""},  // a user's cancel is no warning
        {[] { Exception_Abort(); }, ""},
    };
    for (const auto& [construct, expected] : cases) {
        Log_Sandbox sandbox;
        construct();
        std::string logged;
        for (const std::string& entry : log_instance().remembered()) logged += entry;
        EXPECT_EQ(logged, expected.empty() ? "" : std::string(warning_prefix) + expected);
    }
}

// The first line names the expression, the place and the streamed message; the call stack follows, one
// frame per line. The condition is evaluated once, and a holding one logs nothing.
TEST(Exception, AssertLogsExpressionPlaceMessageAndCallStack) {
    Log_Sandbox sandbox;
    int evaluations = 0;
    EXPECT_NO_THROW(ASSERT(++evaluations == 1, "never built " << evaluations));
    EXPECT_TRUE(evaluations == 1 && log_instance().remembered().empty());
    const void* cp = nullptr;
    const std::string message = "no pointer for layer 2, size 1.5", line = std::to_string(__LINE__ + 1);
    EXPECT_TRUE(test::throws_with<Exception_Assert>([&] { ASSERT(cp, "no pointer for layer " << 2 << ", size " << 1.5); }, message.c_str()));
    const auto entries = log_instance().remembered();
    ASSERT_EQ(entries.size(), 1u);
    const std::string head = std::string(error_prefix) + "-**### ASSERTION FAILED ###** (cp) in tests/base/exception_test line " +
                             line + ". " + message + "\n";
    ASSERT_TRUE(entries[0].starts_with(head)) << entries[0] << "\nwanted start: " << head;
    const std::string stack = entries[0].substr(head.size());
    EXPECT_TRUE(stack.ends_with("\n") && std::count(stack.begin(), stack.end(), '\n') >= 3 && stack.find("\n\n") == std::string::npos)
        << stack;
    // Source paths are relative to the repository, without extension.
    for (const auto& [file, expected] : {std::pair{"base/log.cpp", "base/log"}, {"../checkout/util/memory.cpp", "util/memory"},
                                         {"elsewhere.cpp", "elsewhere"}, {"base/folder.v2/name", "base/folder.v2/name"},
                                         {"C:\\work\\repo\\base\\after_effects\\ae_host.cpp", "base/after_effects/ae_host"}})
        EXPECT_EQ(source_path(file), expected) << file;
    EXPECT_EQ(source_path(std::source_location::current()), "tests/base/exception_test");
}

}  // namespace
}  // namespace nb
