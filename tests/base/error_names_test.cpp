// Tests of the code-to-identifier tables against values taken from the public SDK headers.
#include "base/error_names.h"

#include <cstdint>
#include <string>

#include <gtest/gtest.h>

namespace nb {
namespace {

struct Name_Case {
    int32_t code;
    const char* expected;
};

TEST(ErrorNames, EffectErrors) {
    const Name_Case cases[] = {
        {0, "PF_Err_NONE"},
        {4, "PF_Err_OUT_OF_MEMORY"},
        {512, "PF_Err_INTERNAL_STRUCT_DAMAGED"},
        {513, "PF_Err_INVALID_INDEX"},
        {514, "PF_Err_UNRECOGNIZED_PARAM_TYPE"},
        {515, "PF_Err_INVALID_CALLBACK"},
        {516, "PF_Err_BAD_CALLBACK_PARAM"},
        {517, "PF_Interrupt_CANCEL"},
        {518, "PF_Err_CANNOT_PARSE_KEYFRAME_TEXT"},
        {519, "unknown error"},
        {-1, "unknown error"},
        {1, "unknown error"},
    };
    for (const auto& c : cases) EXPECT_EQ(pf_err_name(c.code), c.expected) << "code " << c.code;
}

// Four-character codes worked out by hand from their ASCII bytes, first character highest.
TEST(ErrorNames, SweetPeaErrors) {
    const Name_Case cases[] = {
        {0, "kSPNoError"},
        {0x66626172, "fbar - general programming error"},  // 'f' 'b' 'a' 'r'
        {0x73746F70, "kSPUserCanceledError"},              // 's' 't' 'o' 'p'
        {0x696E7472, "kSPOperationInterrupted"},           // 'i' 'n' 't' 'r'
        {0x5061726D, "kSPBadParameterError"},              // 'P' 'a' 'r' 'm'
        {0x21494D50, "kSPUnimplementedError"},             // '!' 'I' 'M' 'P'
        {0x53214664, "kSPSuiteNotFoundError"},             // 'S' '!' 'F' 'd'
        {0x48215374, "kHostCanceledStartupPluginsError"},  // 'H' '!' 'S' 't'
        {0x53495673, "kSPBadSuiteInternalVersionError"},   // 'S' 'I' 'V' 's'
        {-148, "kSPOutOfMemoryError"},                     // 0xFFFFFF6C
        {12345, ""},
        {0x73746F71, ""},  // 'stoq': one off a known code
    };
    for (const auto& c : cases) EXPECT_EQ(sp_err_name(c.code), c.expected) << "code " << c.code;
}

TEST(ErrorNames, PremiereSuiteErrors) {
    const Name_Case cases[] = {
        {99, "malUnknownError"},
        {100, "malSupports7"},
        {101, "malSupports8"},
        {0, "suiteError_NoError"},
        {INT32_MIN, "suiteError_Fail"},                         // 0x80000000
        {-2147483647, "suiteError_InvalidParms"},               // 0x80000001
        {65536, "suiteError_RenderPending"},                    // 0x00010000
        {-2147418112, "suiteError_RenderInvalidPixelFormat"},   // 0x80010000
        {196618, "suiteError_CompilerIterateCompilerCacheable"},  // 0x0003000A
        {-2147287024, "suiteError_ExporterNoMoreFrames"},       // 0x80030010
        {786432, "suiteError_NoMoreData"},                      // 0x000C0000
        {-2146631680, "suiteError_InstanceDestroyed"},          // 0x800D0000
        {7, ""},
        {-1, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(pr_suite_error_name(c.code), c.expected) << "code " << c.code;
}

}  // namespace
}  // namespace nb
