// Exception types of the plug-in and the assertion forms; every failure inside is one of these.
#pragma once

#include <cstdint>
#include <source_location>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>

namespace nb {

// Source file as log texts name it: relative to the repository root, without extension.
std::string source_path(std::string_view file);
// The same for a call site captured as a default argument.
inline std::string source_path(const std::source_location& where) { return source_path(where.file_name()); }

// Base of every exception of the plug-in; never thrown by itself.
struct Exception_Runtime : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The user cancelled: a host call answered PF_Interrupt_CANCEL. Logs nothing.
struct Exception_Abort : Exception_Runtime {
    Exception_Abort();
};

// A PF callback or suite returned a non-zero PF_Err. Logs a warning when constructed (not for a cancel).
struct Exception_After_Effects : Exception_Runtime {
    Exception_After_Effects(const std::string& message, int32_t code, std::string_view file, int64_t line);
    int32_t code;
};

// Acquiring a suite failed, or an AEGP/PF suite returned a non-zero A_Err or SPErr. Logs a warning.
struct Exception_Ae_Suite : Exception_Runtime {
    Exception_Ae_Suite(const std::string& message, int32_t code, std::string_view file, int64_t line);
    int32_t code;
};

// A Premiere suite returned a non-zero prSuiteError. Logs a warning.
struct Exception_Premiere : Exception_Runtime {
    Exception_Premiere(const std::string& message, int32_t code, std::string_view file, int64_t line);
    int32_t code;
};

// The work needs more memory than the host can give. what() says, in one line for the user, how much and
// which setting asks for it; the host is told it ran out of memory and shown that line. Logs nothing,
// as the host's own refusal of memory does not.
struct Exception_Out_Of_Memory : Exception_Runtime {
    using Exception_Runtime::Exception_Runtime;
};

// The settings ask for a frame that cannot be rendered (an iris without light, say). what() says why in
// one line for the user; the host is told of a bad parameter and shown that line. Logs nothing.
struct Exception_Unrenderable : Exception_Runtime {
    using Exception_Runtime::Exception_Runtime;
};

// A broken invariant. Logs an error with the expression, place and call stack when constructed.
struct Exception_Assert : Exception_Runtime {
    Exception_Assert(const std::string& message, std::string_view expression, std::string_view file, int64_t line);
};

}  // namespace nb

#define NB_ASSERT_THROW(message, expression) \
    throw ::nb::Exception_Assert((message), (expression), ::nb::source_path(__FILE__), __LINE__)

#define NB_ASSERT_1(condition)                                   \
    do {                                                         \
        if (!(condition)) [[unlikely]]                           \
            NB_ASSERT_THROW("ASSERT()", #condition);             \
    } while (false)

#define NB_ASSERT_2(condition, message)                          \
    do {                                                         \
        if (!(condition)) [[unlikely]] {                         \
            std::ostringstream nb_assert_text_;                  \
            nb_assert_text_ << message;                          \
            NB_ASSERT_THROW(nb_assert_text_.str(), #condition);  \
        }                                                        \
    } while (false)

#define NB_ASSERT_PICK(_1, _2, chosen, ...) chosen

// ASSERT(condition) or ASSERT(condition, message << parts): active in every build.
#define ASSERT(...) NB_ASSERT_PICK(__VA_ARGS__, NB_ASSERT_2, NB_ASSERT_1, unused)(__VA_ARGS__)

// A state that must not occur; the message is built with stream insertion.
#define ASSERT_FAIL(message)                                     \
    do {                                                         \
        std::ostringstream nb_assert_text_;                      \
        nb_assert_text_ << message;                              \
        NB_ASSERT_THROW(nb_assert_text_.str(), "ASSERT_FAIL");   \
    } while (false)

// A path this plug-in does not implement.
#define ASSERT_INCOMPLETE NB_ASSERT_THROW("found something that needs implementation", "ASSERT_INCOMPLETE")
