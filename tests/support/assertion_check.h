// Expects a call to fail an assertion and checks the logged expression text and source path.
#pragma once

#include <gtest/gtest.h>

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

}  // namespace nb::test
