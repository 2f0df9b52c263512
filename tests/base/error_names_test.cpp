// Tests of the code-to-identifier tables against values taken from the public SDK headers.
#include "base/error_names.h"

#include <cstdint>
#include <string>

#include <gtest/gtest.h>

namespace nb {
namespace {

struct Name_Case {
    std::string (*name_of)(int32_t);
    int32_t code;
    const char* expected;
};

constexpr auto pf = pf_err_name;
constexpr auto sp = sp_err_name;
constexpr auto pr = pr_suite_error_name;

// Both ends of each table and its neighbours outside; four-character codes worked out by hand from their
// ASCII bytes, first character highest.
TEST(ErrorNames, CodesNameTheirIdentifiersAndOthersNothing) {
    const Name_Case cases[] = {
        {pf, 0, "PF_Err_NONE"},
        {pf, 4, "PF_Err_OUT_OF_MEMORY"},
        {pf, 512, "PF_Err_INTERNAL_STRUCT_DAMAGED"},
        {pf, 517, "PF_Interrupt_CANCEL"},
        {pf, 518, "PF_Err_CANNOT_PARSE_KEYFRAME_TEXT"},
        {pf, 519, "unknown error"},
        {pf, -1, "unknown error"},
        {sp, 0, "kSPNoError"},
        {sp, 0x66626172, "fbar - general programming error"},  // 'f' 'b' 'a' 'r'
        {sp, 0x73746F70, "kSPUserCanceledError"},              // 's' 't' 'o' 'p'
        {sp, 0x21494D50, "kSPUnimplementedError"},             // '!' 'I' 'M' 'P'
        {sp, 0x53495673, "kSPBadSuiteInternalVersionError"},   // 'S' 'I' 'V' 's'
        {sp, -148, "kSPOutOfMemoryError"},                     // 0xFFFFFF6C
        {sp, 0x73746F71, ""},                                  // 'stoq': one off a known code
        {pr, 99, "malUnknownError"},
        {pr, 101, "malSupports8"},
        {pr, INT32_MIN, "suiteError_Fail"},                          // 0x80000000
        {pr, -2147418112, "suiteError_RenderInvalidPixelFormat"},    // 0x80010000
        {pr, 196618, "suiteError_CompilerIterateCompilerCacheable"},  // 0x0003000A
        {pr, -2146631680, "suiteError_InstanceDestroyed"},           // 0x800D0000
        {pr, -1, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(c.name_of(c.code), c.expected) << "code " << c.code;
}

}  // namespace
}  // namespace nb
