// Tests of the exception types: their log entries, codes, copies and the assertion forms.
#include "base/exception.h"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/log.h"
#include "tests/support/log_sandbox.h"

namespace nb {
namespace {

using test::Log_Sandbox;

struct Code_Case {
    const char* type;
    std::function<void()> construct;
    std::string expected;
};

// Prefix, the type's lead, the code's name, the signed code, the place, then the message.
std::vector<Code_Case> code_cases() {
    return {
        {"After Effects, out of memory",
         [] { Exception_After_Effects("After Effects api Error (PF_Err)", 4, "base/after_effects/x", 500); },
         "-**### WARNING ###**-: After Effects Error: PF_Err_OUT_OF_MEMORY (4). Thrown in file "
         "base/after_effects/x line 500. After Effects api Error (PF_Err)\n"},
        {"After Effects, code without a name",
         [] { Exception_After_Effects("m", -1, "F", 1); },
         "-**### WARNING ###**-: After Effects Error: unknown error (-1). Thrown in file F line 1. m\n"},
        {"suite, code without a name",
         [] { Exception_Ae_Suite("m", 12345, "G", 3); },
         "-**### WARNING ###**-: After Effects Suite Error:  (12345). Thrown in file G line 3. m\n"},
        {"Premiere, negative code",
         [] { Exception_Premiere("Premiere Api Error (prSuiteError)", -2147483647, "H", 99); },
         "-**### WARNING ###**-: Premiere Error with code: suiteError_InvalidParms (-2147483647). Thrown in file "
         "H line 99. Premiere Api Error (prSuiteError)\n"},
    };
}

TEST(Exception, CodeCarryingTypesLogOneWarningWhenConstructed) {
    for (const Code_Case& c : code_cases()) {
        Log_Sandbox sandbox;
        c.construct();
        const auto entries = log_instance().remembered();
        ASSERT_EQ(entries.size(), 1u) << c.type;
        EXPECT_EQ(entries.front(), c.expected) << c.type;
    }
}

TEST(Exception, CarriesMessageAndCodeAndCopiesDoNotLogAgain) {
    Log_Sandbox sandbox;
    try {
        try {
            throw Exception_Premiere("Premiere Api Error (prSuiteError)", 99, "F", 1);
        } catch (const Exception_Premiere& thrown) {
            const Exception_Premiere copy = thrown;
            EXPECT_EQ(copy.code, 99);
            throw copy;
        }
    } catch (const Exception_Runtime& caught) {
        EXPECT_STREQ(caught.what(), "Premiere Api Error (prSuiteError)");
        EXPECT_EQ(dynamic_cast<const Exception_Premiere&>(caught).code, 99);
    }
    EXPECT_EQ(log_instance().remembered().size(), 1u);
}

TEST(Exception, EveryTypeIsARuntimeError) {
    Log_Sandbox sandbox;
    const std::vector<std::function<void()>> throws = {
        [] { throw Exception_Abort(); },
        [] { throw Exception_After_Effects("m", 4, "F", 1); },
        [] { throw Exception_Ae_Suite("m", 0, "F", 1); },
        [] { throw Exception_Premiere("m", 0, "F", 1); },
        [] { ASSERT_FAIL("m"); },
    };
    for (std::size_t i = 0; i < throws.size(); ++i) {
        EXPECT_THROW(throws[i](), Exception_Runtime) << "thrower " << i;
        EXPECT_THROW(throws[i](), std::runtime_error) << "thrower " << i;
    }
}

struct Assertion {
    std::string message;
    std::string entry;
};

template <class F>
Assertion catch_assertion(F&& fail) {
    Log_Sandbox sandbox;
    Assertion result;
    try {
        fail();
        ADD_FAILURE() << "nothing was thrown";
    } catch (const Exception_Assert& e) {
        result.message = e.what();
    }
    const auto entries = log_instance().remembered();
    EXPECT_EQ(entries.size(), 1u);
    if (!entries.empty()) result.entry = entries.front();
    return result;
}

// The entry's first line names the expression, the place and the message; the call stack follows,
// one frame per line, and a final newline ends the entry.
void expect_assertion_entry(const Assertion& a, const std::string& expression, int64_t line,
                            const std::string& message) {
    const std::string head = std::string("-**###  ERROR  ###**-: ") + "-**### ASSERTION FAILED ###** (" +
                             expression + ") in " + "tests/base/exception_test" + " line " +
                             std::to_string(line) + ". " + message + "\n";
    EXPECT_EQ(a.message, message);
    ASSERT_TRUE(a.entry.starts_with(head)) << "entry: " << a.entry << "\nexpected start: " << head;
    const std::string stack = a.entry.substr(head.size());
    EXPECT_TRUE(stack.ends_with("\n")) << stack;
    EXPECT_GE(std::count(stack.begin(), stack.end(), '\n'), 3) << "too few frames:\n" << stack;
    EXPECT_EQ(stack.find("\n\n"), std::string::npos) << "empty frame line:\n" << stack;
}

TEST(Exception, AssertNamesExpressionFileAndTheRealLine) {
    const int64_t index = 3, iterations = 3;
    int64_t line = 0;
    const Assertion a = catch_assertion([&] {
        line = __LINE__ + 1;
        ASSERT(index < iterations);
    });
    expect_assertion_entry(a, "index < iterations", line, "ASSERT()");
}

// A message is streamed; the unconditional forms use their names as the expression.
TEST(Exception, AssertFormsNameTheirMessageAndExpression) {
    int64_t line = 0;
    const void* cp = nullptr;
    const Assertion streamed = catch_assertion([&] {
        line = __LINE__ + 1;
        ASSERT(cp, "no pointer for layer " << 2 << ", size " << 1.5);
    });
    expect_assertion_entry(streamed, "cp", line, "no pointer for layer 2, size 1.5");
    const Assertion fail = catch_assertion([&] {
        line = __LINE__ + 1;
        ASSERT_FAIL("this version of the After Effects api is to old and not supported");
    });
    expect_assertion_entry(fail, "ASSERT_FAIL", line,
                           "this version of the After Effects api is to old and not supported");
    const Assertion incomplete = catch_assertion([&] {
        line = __LINE__ + 1;
        ASSERT_INCOMPLETE;
    });
    expect_assertion_entry(incomplete, "ASSERT_INCOMPLETE", line, "found something that needs implementation");
}

TEST(Exception, CancelAbortAndHoldingAssertionsLogNothing) {
    Log_Sandbox sandbox;
    const Exception_After_Effects cancel("After Effects api Error (PF_Err)", 517, "F", 1);
    const Exception_Abort abort;
    int evaluations = 0;
    EXPECT_NO_THROW(ASSERT(++evaluations == 1));
    EXPECT_NO_THROW(ASSERT(++evaluations == 2, "never built " << evaluations));
    EXPECT_EQ(evaluations, 2) << "the condition must be evaluated exactly once";
    EXPECT_TRUE(log_instance().remembered().empty());
}

TEST(Exception, SourcePathIsRepositoryRelativeWithoutExtension) {
    const struct {
        const char* file;
        const char* expected;
    } cases[] = {
        {"base/log.cpp", "base/log"},
        {"./effect/plugin.cpp", "effect/plugin"},
        {"../checkout/util/memory.cpp", "util/memory"},
        {"elsewhere.cpp", "elsewhere"},
        {"/home/someone/checkout/kernel/kernel_fft_cpu.cpp", "kernel/kernel_fft_cpu"},
        {"C:\\work\\repo\\base\\after_effects\\ae_host.cpp", "base/after_effects/ae_host"},
        {"base/folder.v2/name", "base/folder.v2/name"},
        {"base/archive.tar.gz", "base/archive.tar"},
    };
    for (const auto& c : cases) EXPECT_EQ(source_path(c.file), c.expected) << c.file;
    EXPECT_EQ(source_path(std::source_location::current()), "tests/base/exception_test");
}

}  // namespace
}  // namespace nb
