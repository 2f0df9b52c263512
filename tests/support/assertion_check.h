// Expects a call to throw: a failed assertion with its logged expression, or an exception with its message and code.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "base/exception.h"
#include "base/log.h"

namespace nb::test {

// Success when f throws Exception_Assert and the entry it logged names "(expression) in source line".
template <class F>
testing::AssertionResult fails_assertion(F&& f, const std::string& expression, const std::string& source) {
    try {
        f();
    } catch (const Exception_Assert&) {
        const auto entries = log_instance().remembered();
        const std::string wanted = "(" + expression + ") in " + source + " line ";
        if (!entries.empty() && entries.back().find(wanted) != std::string::npos) return testing::AssertionSuccess();
        return testing::AssertionFailure() << "logged " << (entries.empty() ? "nothing" : entries.back())
                                           << ", wanted " << wanted;
    }
    return testing::AssertionFailure() << "no assertion failed, wanted " << expression;
}

// Success when f throws E with what() equal to message (any message when null) and, for the types carrying
// a host code, that code when one is given. Other exceptions pass through to the test.
template <class E, class F>
testing::AssertionResult throws_with(F&& f, const char* message, std::optional<int32_t> code = {}) {
    try {
        f();
    } catch (const E& e) {
        if (message != nullptr && std::string(e.what()) != message)
            return testing::AssertionFailure() << "message \"" << e.what() << "\", wanted \"" << message << "\"";
        if constexpr (requires { e.code; }) {
            if (code && e.code != *code) return testing::AssertionFailure() << "code " << e.code << ", wanted " << *code;
        }
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure() << "nothing thrown, wanted " << (message ? message : "an exception");
}

}  // namespace nb::test
